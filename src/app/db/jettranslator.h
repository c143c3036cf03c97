#pragma once

#include <QString>
#include <functional>

struct sqlite3;

namespace fx::db {

// Translates a statement written in Jet SQL into the engine's dialect. Works on tokens:
//  - #mm/dd/yyyy# and #yyyy-mm-dd# date literals -> 'yyyy-mm-dd';
//  - true / false -> 1 / 0;
//  - + with a text operand (string literal, text function, text column) -> ||;
//  - reserved column names (index, ...) -> quoted identifiers;
//  - X not in (null,' ') -> a test that X holds a non-blank text.
// isTextColumn tells whether a (possibly table-qualified, lower-case) column name is text.
QString translateJet(const QString& jetSql,
                     const std::function<bool(const QString& column)>& isTextColumn);

// Registers the Jet functions the program's statements use (YEAR, MONTH, NOW, STR, RIGHT, ...)
// with a connection handle.
void registerJetFunctions(::sqlite3* db);

}  // namespace fx::db
