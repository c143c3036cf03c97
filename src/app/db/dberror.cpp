#include "dberror.h"

#include <sqlite3.h>

namespace fx::db {

namespace {

struct EngineText {
    const char* english;
    const char* chinese;
};

// The engine's texts are fixed (sqlite3ErrStr); these are the ones a user meets in normal work.
constexpr EngineText kEngineTexts[] = {
    {"database disk image is malformed", "数据库文件已经损坏"},
    {"attempt to write a readonly database", "数据库文件是只读的，不能写入"},
    {"database or disk is full", "磁盘已满，数据库不能写入"},
    {"database is locked", "数据库正被其他用户锁定"},
};

}  // namespace

QString explainEngineText(const QString& text) {
    QString result = text;
    for (const EngineText& t : kEngineTexts) {
        const QString english = QString::fromLatin1(t.english);
        const QString explained = QString::fromUtf8(t.chinese) + QStringLiteral(" (") + english;
        if (!result.contains(english) || result.contains(explained)) continue;
        result.replace(english, explained + QLatin1Char(')'));
    }
    return result;
}

DbError::DbError(const QString& message, int code, const QString& statement)
    : std::runtime_error(explainEngineText(message).toStdString()),
      message_(explainEngineText(message)),
      code_(code),
      statement_(statement) {}

bool DbError::isConstraint() const {
    return (code_ & 0xff) == SQLITE_CONSTRAINT;
}

bool DbError::isWrongKey() const {
    return (code_ & 0xff) == SQLITE_NOTADB;
}

bool DbError::isLoginRefused() const {
    return (code_ & 0xff) == SQLITE_AUTH;
}

bool DbError::isBusy() const {
    const int primary = code_ & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

}  // namespace fx::db
