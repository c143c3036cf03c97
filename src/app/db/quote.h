#pragma once

#include <QDate>
#include <QString>

namespace fx::db {

// Returns the value between single quotes with every apostrophe doubled. Every user value that
// is placed into a statement text goes through here, so a pasted apostrophe can neither break a
// statement nor change its meaning.
QString quoted(const QString& value);

// Returns the value with apostrophes doubled but without the surrounding quotes, for the places
// where a statement text already supplies the quotes ("... where idup='" + escaped(x) + "'").
QString escaped(const QString& value);

// Formats a date as the program writes it into statements: #mm/dd/yyyy#.
QString jetDate(const QDate& date);

}  // namespace fx::db
