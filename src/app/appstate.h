#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "migration.h"
#include "organisationkey.h"
#include "settings.h"
#include "theme.h"

namespace fx::db {
class Connection;
}

namespace fx {

// The eight rights of a user account, fixed at sign-in.
struct Rights {
    bool ins = false;     // add assets
    bool modi = false;    // modify assets
    bool del = false;     // scrap assets
    bool view = false;    // maintain the data dictionary
    bool jc = false;      // approve lending
    bool gh = false;      // check returns
    bool db = false;      // transfer
    bool spmodi = false;  // super-modify: every field of the card may be changed
};

// The database server a program works on instead of the two files of a data folder: a libpq
// connection string without the password (host, port, database name, user), the password given
// at sign-in (kept in memory only) and the two schemas (the current data and the history).
struct ServerLocation {
    QString conninfo;
    QString password;
    QString currentSchema = QStringLiteral("gdzc");
    QString historySchema = QStringLiteral("dbjl");
    // conninfo with the password added as a quoted keyword value (none when empty).
    QString connectionString() const;
};

// Opens the current database's schema on the server and checks that this program can work on
// it. Throws db::DbError with a message for the user when the server cannot be reached,
// refuses the user or password, has no such database or schema, or holds data of a newer
// layout than this program knows.
std::unique_ptr<db::Connection> openServerCurrent(const ServerLocation& server);

// Program-wide state that outlives the windows: where the data is, who is signed in, the
// settings, and the two connections. One object, passed to the windows that need it.
class AppState {
public:
    AppState();
    ~AppState();

    QString startDir;         // where the program was started; help and layouts are found here
    QString appPath;          // the installation directory
    QString dataDir;          // folder of the databases and fxasset.ini, ending with "/"
    QString currentPassword;  // the current database's password
    QString historyPassword;  // the history database's password (the fixed one unless rekeyed)
    // The organisation's keys and the shipped ones, tried in this order before currentPassword
    // and historyPassword (organisationkey.h); empty for an installation told its passwords.
    schema::KeyRing keys;

    // Set when the databases are on a server; dataDir then still holds the settings file.
    std::optional<ServerLocation> server;
    bool onServer() const { return server.has_value(); }

    QString userName;
    Rights rights;
    int firstUseMark = 1;

    Settings settings;
    bool showExitDialog = true;
    Theme theme = Theme::Colourful;

    std::unique_ptr<db::Connection> current;  // gdzc.qsk, open for the whole run
    std::unique_ptr<db::Connection> history;  // dbjl.his; null when it could not be opened

    bool isAdministrator() const;
    // keys followed by the pair currentPassword, historyPassword: every key tried on a file.
    schema::KeyRing keyRing() const;
    // Opens a database of that kind with the first key of keyRing() that fits and remembers it
    // as currentPassword or historyPassword (for backups and reopening). Throws db::DbError.
    std::unique_ptr<db::Connection> openKeyed(const QString& path, schema::DatabaseKind kind);
    QString settingsPath() const;
    QString currentDatabasePath() const;
    QString historyDatabasePath() const;
    // Opens the current database (throws db::DbError) and the history database (returns false
    // when it could not be opened; the program runs on without it): the two files of dataDir,
    // or the two schemas of the server. For the administrator, a database of an earlier layout
    // is migrated as it is opened.
    void openCurrent();
    bool openHistory();
    void closeConnections();

private:
    void migrateForAdministrator(db::Connection& c, schema::DatabaseKind kind);
};

}  // namespace fx
