#include "readlock.h"

#include <QFile>

#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlite3.h>

#include "dberror.h"

namespace fx::backup {

ReadLock::~ReadLock() {
    release();
}

QString ReadLock::take(const QString& databasePath, const QString& password, int waitMs) {
    release();
    busy_ = false;
    const QByteArray name = QFile::encodeName(databasePath);
    if (sqlite3_open_v2(name.constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString problem =
            db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("cannot open");
        release();
        return db::explainEngineText(problem);
    }
    const QByteArray key = password.toUtf8();
    if (!key.isEmpty()) sqlite3_key(db_, key.constData(), int(key.size()));
    sqlite3_busy_timeout(db_, waitMs);
    // The first read of a transaction takes the engine's shared lock on the file and keeps it
    // to the end of the transaction.
    char* error = nullptr;
    const int rc =
        sqlite3_exec(db_, "BEGIN; SELECT count(*) FROM sqlite_master;", nullptr, nullptr, &error);
    if (rc == SQLITE_OK) return QString();
    const QString problem = QString::fromUtf8(error ? error : sqlite3_errmsg(db_));
    sqlite3_free(error);
    busy_ = (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
    release();
    return db::explainEngineText(problem);
}

void ReadLock::release() {
    if (!db_) return;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

}  // namespace fx::backup
