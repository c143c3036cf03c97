#pragma once

#include <QString>
#include <stdexcept>

namespace fx::admin {

// A failure of an administration command that the user can act on (a refused target folder, a
// missing key file). The command line prints the message on stderr and exits non-zero.
class AdminError : public std::runtime_error {
public:
    explicit AdminError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

}  // namespace fx::admin
