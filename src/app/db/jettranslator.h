#pragma once

#include <QString>
#include <functional>

struct sqlite3;

namespace fx::db {

// The engine a translation is for: the file engine (SQLite's dialect) or the database server
// (PostgreSQL's). On the server, quoted names are folded to lower case as the server folds the
// schema's names, "user" is quoted, the Jet functions are called by their jet_ names (the
// schema creates them; the server's own LEFT, NOW and the rest differ), and LIKE ignores case
// as on the file engine.
enum class Dialect { File, Server };

// Translates a statement written in Jet SQL into the engine's dialect. Works on tokens:
//  - #mm/dd/yyyy# and #yyyy-mm-dd# date literals -> 'yyyy-mm-dd';
//  - true / false (and yes / no) -> 1 / 0;
//  - + with a text operand (string literal, text function, text column, parenthesised text
//    expression) -> ||, with parentheses where the engine's precedence of || differs; & -> ||;
//  - reserved column names (index, ...) -> quoted identifiers; [name] -> "name";
//  - "text" (Jet's double-quoted string) -> 'text';
//  - X not in (null,' ') -> a test that X holds a non-blank text;
//  - LEFT( and RIGHT( -> "LEFT"( and "RIGHT"( (the engine reads the bare words as joins);
//  - mod -> %, distinctrow -> distinct;
//  - ORDER BY on a text column sorts as Jet does, in the Chinese (pinyin) order of the
//    database's locale: the column gets COLLATE JETTEXT.
// isTextColumn tells whether a (possibly table-qualified, lower-case) column name is text. For
// an unqualified name the translation asks with each table of the statement's FROM clause
// ("sbjl.wz") and, when it knows no table, with the bare name.
// Throws DbError for a date literal that is not a date.
QString translateJet(const QString& jetSql,
                     const std::function<bool(const QString& column)>& isTextColumn,
                     Dialect dialect = Dialect::File);

// A plain SELECT on one table (one table in FROM, no join, union, grouping, DISTINCT or
// aggregate), whose rows can be changed through a row set.
struct SingleTableSelect {
    QString table;             // lower-case table name; empty when the statement is not one
    qsizetype selectEnd = -1;  // offset in the text just after the SELECT keyword
    bool ordered = false;      // the statement has an ORDER BY
    bool isValid() const { return selectEnd >= 0; }
};
// Recognises a single-table SELECT in a Jet statement text.
SingleTableSelect findSingleTableSelect(const QString& jetSql);

// The collation registered with the Jet functions: Chinese (pinyin) order, case ignored,
// identical texts only equal.
inline constexpr const char* kJetTextCollation = "JETTEXT";

// Registers the Jet functions the program's statements use (YEAR, MONTH, DAY, NOW, DATE, STR,
// RIGHT, LEFT, MID, LEN, UCASE, LCASE, IIF, NZ) and the JETTEXT collation with a connection
// handle.
void registerJetFunctions(::sqlite3* db);

}  // namespace fx::db
