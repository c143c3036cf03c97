#pragma once

#include <QString>

namespace fx::db {

class Connection;

// Every connection of this program to a server names itself after the schema it works on
// (the server's application_name), so that a restore can tell whether other workstations are
// working on that schema: the server's list of connections stands in for the presence lock of
// the files.

// The name a connection to schema gives itself: "fxasset:" + schema.
QString sessionName(const QString& schema);

// How many other connections of this program work on c's schema of the same server database
// right now (other workstations, and other connections of this very program); c itself is not
// counted. Only on the server; throws DbError on the file engine.
int otherSessions(Connection& c);

}  // namespace fx::db
