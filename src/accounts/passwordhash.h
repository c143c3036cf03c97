#pragma once

#include <QString>

namespace fx::accounts {

// Passwords are kept as salted Argon2id hashes in libsodium's string form ("$argon2id$..."),
// so that a copy of the data does not give away the passwords. An empty or null stored value
// still means "no password".

// The hash of a non-empty password; an empty password gives an empty text (no password).
// Throws std::runtime_error when libsodium cannot hash (out of memory).
QString hashPassword(const QString& password);
// True when stored is a hash made by hashPassword (rather than a password kept in clear by an
// older version of the program).
bool isPasswordHash(const QString& stored);
// True when typed is the password stored: against a hash it is verified, an empty stored value
// matches only an empty entry, and a password kept in clear is compared as it is.
bool passwordMatches(const QString& stored, const QString& typed);
// True when stored is a password in clear that should be replaced by its hash.
bool needsHashing(const QString& stored);

}  // namespace fx::accounts
