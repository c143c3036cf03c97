#pragma once

#include <QString>

namespace fx::db {
class Connection;
}

namespace fx::accounts {

// Writes the hash of password (empty: no password) into the `users` row of user. Returns false
// when there is no such user. Throws db::DbError.
bool storePassword(db::Connection& current, const QString& user, const QString& password);
// Replaces every password kept in clear in `users` by its hash, in one transaction, and returns
// how many were replaced. Throws db::DbError.
int hashAllPasswords(db::Connection& current);

}  // namespace fx::accounts
