#pragma once

#include <QString>
#include <QStringList>

#include "presencelock.h"

namespace fx::admin {

// The presence of a companion command on the two databases of a data folder, held the way the
// program holds it from start to end: a backup or restore elsewhere refuses while it lives, and
// it waits for one running elsewhere to finish. Every command that writes to a data folder
// (sql, import, stocktake, ...) holds one for as long as it works:
//
//     CompanionPresence presence(options.dataDir);  // throws AdminError when refused
//
// The constructor throws AdminError with the reason (a backup or restore that does not finish
// in time, a data folder that cannot be written). Locks this process held already are kept and
// not given up at the end.
class CompanionPresence {
public:
    explicit CompanionPresence(const QString& dataDir, int waitMs = backup::kPresenceWaitMs);
    ~CompanionPresence();
    CompanionPresence(const CompanionPresence&) = delete;
    CompanionPresence& operator=(const CompanionPresence&) = delete;

private:
    QStringList taken_;  // the databases whose lock this object took
};

}  // namespace fx::admin
