#pragma once

#include <QString>
#include <stdexcept>

namespace fx::db {

// The one error type of the data-access layer. It carries the engine's own message, which the
// windows show to the user, and the engine's result code. The engine's English texts that users
// meet most (a damaged file, a read-only file, a full disk, a lock held by another workstation)
// are given Chinese words first, the engine's text after them in brackets.
// The text with Chinese words put before each of the engine's well-known English texts it
// holds: "database is locked" -> "数据库正被其他用户锁定 (database is locked)". A text already
// explained is returned unchanged.
QString explainEngineText(const QString& text);

class DbError : public std::runtime_error {
public:
    // code is the engine's (extended) result code; statement the text the engine was given,
    // kept for diagnostics and never shown to the user.
    DbError(const QString& message, int code = 0, const QString& statement = QString());

    const QString& message() const { return message_; }
    int code() const { return code_; }
    const QString& statement() const { return statement_; }
    // True when the failure is a violated UNIQUE index (a taken asset number, a second open loan).
    bool isConstraint() const;
    // True when the database stayed locked by another connection beyond the busy timeout.
    bool isBusy() const;
    // True when the engine found no database under the key: a wrong password, or a file that
    // is not a database at all.
    bool isWrongKey() const;
    // True when a database server refused the user or the password (or wanted a password and
    // was given none).
    bool isLoginRefused() const;

private:
    QString message_;
    int code_;
    QString statement_;
};

}  // namespace fx::db
