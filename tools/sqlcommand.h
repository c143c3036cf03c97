#pragma once

#include <QString>
#include <QTextStream>
#include <memory>

#include "organisationkey.h"

namespace fx::db {
class Connection;
}

namespace fx::admin {

struct SqlOptions {
    QString dataDir;       // folder of gdzc.qsk and dbjl.his
    QString statement;     // one Jet SQL statement
    bool history = false;  // run on the history database (its password is fixed)
    QString keyFile;       // key file to take the current password from; empty: look it up
    // A database server's connection string (--server): the command works on the server's
    // two schemas instead of the files of dataDir, which is then not used.
    QString server;
    bool onServer() const { return !server.isEmpty(); }
};

// The options of the commands that work on a data folder's databases: "--server CONNINFO"
// (or "--server=CONNINFO") is taken out of args into options.server. Throws AdminError when
// the option has no value.
void takeServerOption(QStringList& args, SqlOptions& options);

// The key file whose password opens the current database of dataDir: the given one, else
// qslkeyf2.dll in the folder above dataDir (the installation the data folder belongs to), else
// the one in the registry stand-in's AppPath. Throws AdminError when none exists.
QString resolveKeyFile(const QString& dataDir, const QString& keyFile);

// The keys tried on the databases of dataDir, in order: the organisation key file
// (organisationkey.h) in the folder of the companion key file resolveKeyFile finds, then the
// shipped keys of that companion key file. keyFile may name either kind of key file; an
// organisation key file given so is tried first. Throws AdminError when no companion key file
// is found or it gives no password.
schema::KeyRing resolveKeys(const QString& dataDir, const QString& keyFile);

// Opens the chosen database of options.dataDir, or its schema on options.server (the statement
// is not used), and proves it is one of this system's: the key opens it and it has the tables
// every such database has; an earlier layout is migrated. The one way every command that takes
// DATADIR or --server reaches the two databases. Throws AdminError (the file unchanged) or
// db::DbError.
std::unique_ptr<db::Connection> openDatabase(const SqlOptions& options);

// Runs one statement through the data-access layer, holding the companion's presence on the
// data folder (companionpresence.h) throughout. A statement that returns rows (a select, a
// pragma that answers such as integrity_check) prints a header
// line of field names and one line per row, tab-separated (values as fieldText writes them); a
// change statement runs in one transaction and prints "N rows changed". Failures print a
// message on err and return 1: a missing database file (never created), a wrong password or a
// file that is not a database of this system (left unchanged), a statement the engine refuses
// (nothing of it applied). Returns 0 on success.
int runSql(const SqlOptions& options, QTextStream& out, QTextStream& err);

// True when the statement returns rows (it begins with select, possibly after parentheses).
bool isRowStatement(const QString& statement);

}  // namespace fx::admin
