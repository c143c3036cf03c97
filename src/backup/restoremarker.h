#pragma once

#include <QString>

namespace fx::backup {

// A restore writes a marker beside the database ("gdzc.qsk.restoring") before it touches the
// database file and removes it once the restored file has been checked. The marker records
// what the database file was before (present or not, its size and modification time), so a
// marker found later tells apart:
//  - a restore that never got to replace the file (the file is still the recorded one),
//  - a restore killed after the old file went to the .sav file (the file is missing or half
//    copied, the previous database waits in the .sav file),
//  - a restore killed with no previous file to keep (the file is half copied).

QString restoreMarkerPath(const QString& databasePath);

// Writes the marker for a restore about to replace databasePath, flushed to the disk. Returns
// an empty string on success, else the system's message.
QString writeRestoreMarker(const QString& databasePath, const QString& backupFile);
// Removes the marker (restore finished or undone).
void removeRestoreMarker(const QString& databasePath);

enum class InterruptedRestore {
    None,           // no marker, or the database file is still the one the marker recorded
    PreviousInSav,  // the database file is not to be trusted; the previous one is the .sav file
    Incomplete,     // the database file is not to be trusted and nothing was kept
};

// What an interrupted restore left behind for a database. Reads only.
InterruptedRestore interruptedRestore(const QString& databasePath);

// For the start of the program: the message that tells the user how to get the previous
// database back after an interrupted restore of this database, or an empty string when there
// is nothing to say. A marker that no longer means anything (the restore never replaced the
// file, or the user has put the .sav file back) is removed, but only while no other program
// works on the database. Call it after holdPresence(), so that a restore running elsewhere has
// finished first.
QString interruptedRestoreMessage(const QString& databasePath);

}  // namespace fx::backup
