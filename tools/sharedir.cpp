#include "sharedir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "installation.h"
#include "sharefolders.h"

namespace fx::admin {

bool isShareDir(const QString& dir) {
    return !dir.isEmpty() &&
           QFileInfo(QDir(dir).filePath(QString::fromLatin1(schema::kKeyFileName))).isFile();
}

QString findShareDir() {
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QString exeDir = QCoreApplication::applicationDirPath();
        candidates << schema::shareDirCandidates(exeDir)
                   << QDir(exeDir).filePath(QStringLiteral("../../share"));
    }
#ifdef FX_BUILD_SHARE_DIR
    candidates << QStringLiteral(FX_BUILD_SHARE_DIR);
#endif
#ifdef FX_SOURCE_SHARE_DIR
    candidates << QStringLiteral(FX_SOURCE_SHARE_DIR);
#endif
    for (const QString& c : candidates) {
        if (isShareDir(c)) return QDir::cleanPath(QFileInfo(c).absoluteFilePath());
    }
    return QString();
}

}  // namespace fx::admin
