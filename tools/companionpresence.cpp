#include "companionpresence.h"

#include <QDir>

#include "adminerror.h"
#include "backupmessages.h"
#include "schema.h"

namespace fx::admin {

CompanionPresence::CompanionPresence(const QString& dataDir, int waitMs) {
    const QDir dir(dataDir);
    for (const char* file : {schema::kCurrentFile, schema::kHistoryFile}) {
        const QString database = dir.absoluteFilePath(QString::fromLatin1(file));
        if (backup::holdsPresence(database)) continue;
        QString problem;
        switch (backup::takePresence(database, waitMs, &problem)) {
            case backup::Presence::Held:
                taken_ << database;
                break;
            case backup::Presence::Busy:
                for (const QString& d : taken_) backup::releasePresence(d);
                throw AdminError(backup::text::busyElsewhere());
            case backup::Presence::Unavailable:
                for (const QString& d : taken_) backup::releasePresence(d);
                throw AdminError(backup::text::folderUnwritable(dir.absolutePath(), problem));
        }
    }
}

CompanionPresence::~CompanionPresence() {
    for (const QString& d : taken_) backup::releasePresence(d);
}

}  // namespace fx::admin
