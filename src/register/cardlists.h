#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

namespace fx::db {
class Connection;
class RowSet;
}  // namespace fx::db

namespace fx {

// Every value of one field of a row set, in row order. The row set is left on its last row.
QStringList fieldValues(db::RowSet& rows, const QString& field);
// Every value of one field of a statement's rows, in row order.
QStringList queryValues(db::Connection& connection, const QString& jetSql, const QString& field);

// Replaces a list's entries; the text shown stays as it was.
void replaceListEntries(QComboBox* list, const QStringList& entries);
// The text a list shows: typed into a typing list, chosen from the entries of a choose-only one
// (nothing chosen when the text is not among them).
void setListText(QComboBox* list, const QString& text);
// Makes a list a typing list or a choose-only one, keeping the text it shows where it can.
void setListTyping(QComboBox* list, bool typing);

// Makes an editable list turn typed letters to upper case.
void makeUpperCase(QComboBox* list);

}  // namespace fx
