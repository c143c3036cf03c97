#pragma once

#include <QDate>
#include <QString>
#include <QTextStream>

namespace fx::db {
class Connection;
}

namespace fx::history {

// What the administrator's query of the change history asks for; empty parts ask for nothing.
struct HistoryFilter {
    QDate from;  // first day included
    QDate to;    // last day included
    QString user;
    QString operation;
    QString assetNumber;
};

// The statement (Jet SQL, without ORDER BY) listing the change history of one asset.
QString assetHistoryStatement(int serial);
// The statement (Jet SQL, without ORDER BY) listing the rows of the change history that
// filter asks for.
QString historyStatement(const HistoryFilter& filter);
// The ORDER BY the lists use: newest first.
QString newestFirst();

// Prints the rows filter asks for, oldest first, one per line, tab-separated: time, user,
// workstation, operation, serial, asset number, changes. Returns how many. Throws db::DbError.
int printHistory(db::Connection& history, const HistoryFilter& filter, QTextStream& out);

}  // namespace fx::history
