#include "backupfiles.h"

#include <QDir>
#include <QFileInfo>

#include "schema.h"

namespace fx::backup {

QString defaultBackupName(const QDate& today) {
    return today.toString(QStringLiteral("yyyyMMdd"));
}

QString changeExtension(const QString& path, const QString& suffix) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > slash + 1 ? path.left(dot) : path;
    return stem + QLatin1Char('.') + suffix;
}

QString withDefaultSuffix(const QString& chosen) {
    if (chosen.isEmpty()) return chosen;
    if (!QFileInfo(chosen).suffix().isEmpty()) return chosen;
    return chosen + QLatin1Char('.') + QLatin1String(kCurrentBackupSuffix);
}

QString currentBackupTarget(const QString& chosen, bool bothDatabases) {
    const bool historySuffix = QFileInfo(chosen).suffix().compare(
                                   QLatin1String(kHistoryBackupSuffix), Qt::CaseInsensitive) == 0;
    if (bothDatabases && historySuffix)
        return changeExtension(chosen, QLatin1String(kCurrentBackupSuffix));
    return chosen;
}

QString historyBackupTarget(const QString& chosen) {
    return changeExtension(chosen, QLatin1String(kHistoryBackupSuffix));
}

QString keptBackupPath(const QString& target, DatabaseKind kind) {
    return changeExtension(
        target,
        QLatin1String(kind == DatabaseKind::Current ? kKeptCurrentSuffix : kKeptHistorySuffix));
}

QString savedDatabasePath(const QString& databasePath) {
    return changeExtension(databasePath, QLatin1String(kSavedSuffix));
}

bool namesDatabaseFile(const QString& path, const QString& dataDir) {
    const auto same = [](const QString& a, const QString& b) {
        const QFileInfo fa(a), fb(b);
        if (fa.exists() && fb.exists()) return fa.canonicalFilePath() == fb.canonicalFilePath();
        return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
    };
    return same(path, dataDir + QLatin1String(schema::kCurrentFile)) ||
           same(path, dataDir + QLatin1String(schema::kHistoryFile));
}

QString journalPath(const QString& databasePath) {
    return databasePath + QStringLiteral("-journal");
}

}  // namespace fx::backup
