#include "sharefolders.h"

#include <QDir>

namespace fx::schema {

QStringList shareDirCandidates(const QString& programDir) {
    const QDir dir(programDir);
    // FX_SHARE_FROM_BIN is the installed share folder relative to the installed program, so an
    // installation moved to another prefix still finds its files.
    return {QDir::cleanPath(dir.filePath(QStringLiteral(FX_SHARE_FROM_BIN))),
            QDir::cleanPath(dir.filePath(QStringLiteral("share"))),
            QDir::cleanPath(dir.filePath(QStringLiteral("../share")))};
}

}  // namespace fx::schema
