#pragma once

#include <QString>
#include <QtGlobal>

namespace fx::backup {

// A backup run writes the .qsl and the .qsh file of one name. Both files of one run carry the
// run's start time, to the nanosecond, as their modification time: the shared run id. A pair
// whose times differ was written by two runs (a run cut off between the two databases, or one
// database backed up alone later), and the user is told so at the next backup. The time is
// set on the copy before it is flushed and survives the rename; file systems with coarse
// times round both files alike.
struct BackupRun {
    qint64 startNs = 0;  // the run id: nanoseconds since the epoch
    // A run starting now.
    static BackupRun now();
};

// Gives an open copy the run's time. Returns an empty string on success, else the system's
// message.
QString stampRun(int fd, const BackupRun& run);

// False when both files exist and were written by different runs; true otherwise (a pair of
// one run, or one of the two missing).
bool pairBelongsTogether(const QString& currentBackup, const QString& historyBackup);

}  // namespace fx::backup
