#include "dberror.h"

#include <sqlite3.h>

namespace fx::db {

DbError::DbError(const QString& message, int code, const QString& statement)
    : std::runtime_error(message.toStdString()),
      message_(message),
      code_(code),
      statement_(statement) {}

bool DbError::isConstraint() const {
    return (code_ & 0xff) == SQLITE_CONSTRAINT;
}

bool DbError::isBusy() const {
    const int primary = code_ & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

}  // namespace fx::db
