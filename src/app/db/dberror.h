#pragma once

#include <QString>
#include <stdexcept>

namespace fx::db {

// The one error type of the data-access layer. It carries the engine's own message, which the
// windows show to the user unchanged, and the engine's result code.
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

private:
    QString message_;
    int code_;
    QString statement_;
};

}  // namespace fx::db
