#pragma once

#include <QString>
#include <stdexcept>

namespace fx::db {

// The one error type of the data-access layer. It carries the engine's own message, which the
// windows show to the user unchanged, and the engine's result code.
class DbError : public std::runtime_error {
public:
    DbError(const QString& message, int code = 0);

    const QString& message() const { return message_; }
    int code() const { return code_; }
    // True when the failure is a violated UNIQUE index (a taken asset number, a second open loan).
    bool isConstraint() const;

private:
    QString message_;
    int code_;
};

}  // namespace fx::db
