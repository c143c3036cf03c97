#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace fx::db::detail {

// The program's schema statements (written for the file engine: CREATE TABLE with the
// program's column types, CREATE [UNIQUE] INDEX, ALTER TABLE ... ADD [COLUMN], DROP, and plain
// INSERT / UPDATE / DELETE) as statements for the server:
//  - TEXT(n), LONGTEXT -> text; INTEGER -> integer; DOUBLE -> double precision; DATE -> date;
//    YESNO -> integer 0/1 (statements compare yes/no with 0 and 1 and add them up, so the
//    server keeps the file's integers and every row set reads the same values);
//    INTEGER PRIMARY KEY AUTOINCREMENT -> an identity column;
//  - every table gets the key column fx_row, through which row sets find their rows again;
//  - column names folded to lower case and quoted; each column's declared name and type are
//    kept as its comment, so that the layer knows its kind and spelling as on the file;
//  - PRAGMA statements are refused (they have no meaning on the server).
// Other statements go through the Jet translation for the server. Throws DbError.
QStringList serverSchemaStatements(const QString& sql,
                                   const std::function<bool(const QString&)>& isText);

// The objects every server schema holds besides the tables: the Jet functions (jet_year, ...)
// and the collation jettext (Chinese pinyin order through ICU).
QStringList serverJetObjects();

// Splits statements at the semicolons outside quotes.
QStringList splitStatements(const QString& sql);

// The key column of every server table.
inline constexpr const char* kServerRowKey = "fx_row";

}  // namespace fx::db::detail
