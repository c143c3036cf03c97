#include "databasecheck.h"

#include <QFile>
#include <QFileInfo>

#include "backupfiles.h"
#include "dberror.h"

#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlite3.h>

namespace fx::backup {

namespace {

QString engineMessage(sqlite3* db) {
    return db::explainEngineText(QString::fromUtf8(sqlite3_errmsg(db)));
}

// Runs a check pragma and collects its answer; "ok" alone means nothing was found.
bool runCheck(sqlite3* db, const char* pragma, QString& problem) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, pragma, -1, &stmt, nullptr) != SQLITE_OK) {
        problem = engineMessage(db);
        return false;
    }
    QStringList lines;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        lines << QString::fromUtf8(text ? text : "");
    }
    if (rc != SQLITE_DONE) {
        problem = engineMessage(db);
        sqlite3_finalize(stmt);
        return false;
    }
    sqlite3_finalize(stmt);
    if (lines == QStringList{QStringLiteral("ok")}) return true;
    problem = lines.isEmpty() ? QStringLiteral("the check gave no answer") : lines.join(u'\n');
    return false;
}

bool readUsername(sqlite3* db, int& version, QString& problem) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "select mm,version from username", -1, &stmt, nullptr) !=
        SQLITE_OK) {
        problem = engineMessage(db);
        return false;
    }
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        version = sqlite3_column_int(stmt, 1);
    } else if (rc != SQLITE_DONE) {
        problem = engineMessage(db);
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_ROW || rc == SQLITE_DONE;
}

QStringList readTables(sqlite3* db) {
    QStringList tables;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT lower(name) FROM sqlite_master WHERE type='table'", -1,
                           &stmt, nullptr) != SQLITE_OK)
        return tables;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        tables << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return tables;
}

}  // namespace

DatabaseProbe probeDatabase(const QString& path, const QString& password, IntegrityCheck check) {
    DatabaseProbe probe;
    if (!QFileInfo(path).isFile()) {
        probe.problem = QStringLiteral("no such file");
        return probe;
    }
    if (QFileInfo::exists(journalPath(path))) {
        probe.problem = QStringLiteral("a rollback journal lies beside the file");
        return probe;
    }
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        probe.problem = db ? engineMessage(db) : QStringLiteral("cannot open");
        sqlite3_close(db);
        return probe;
    }
    const QByteArray key = password.toUtf8();
    if (!key.isEmpty()) sqlite3_key(db, key.constData(), int(key.size()));
    if (readUsername(db, probe.version, probe.problem)) {
        probe.opened = true;
        probe.tables = readTables(db);
        switch (check) {
            case IntegrityCheck::None:
                probe.intact = true;
                break;
            case IntegrityCheck::Quick:
                probe.intact = runCheck(db, "PRAGMA quick_check", probe.problem);
                break;
            case IntegrityCheck::Full:
                probe.intact = runCheck(db, "PRAGMA integrity_check", probe.problem);
                break;
        }
    }
    sqlite3_close(db);
    return probe;
}

}  // namespace fx::backup
