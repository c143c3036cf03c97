#pragma once

#include <QString>

struct sqlite3;

namespace fx::backup {

// A read transaction of the engine held on a database file while its bytes are copied: for as
// long as it lives, no writer of any program (holding the presence lock or not) can change the
// file, so the copy holds exactly what was committed. Taking it rolls a hot journal left by a
// crashed writer back into the file first, as any read of the engine would.
class ReadLock {
public:
    ReadLock() = default;
    ~ReadLock();
    ReadLock(const ReadLock&) = delete;
    ReadLock& operator=(const ReadLock&) = delete;

    // Opens the file with its password and starts the read transaction, waiting up to waitMs
    // for a writer to finish. Returns an empty string when held, else the engine's message.
    QString take(const QString& databasePath, const QString& password, int waitMs = 5000);
    // True when take() failed because a writer held the file beyond the wait.
    bool busy() const { return busy_; }
    // Ends the transaction and closes the file.
    void release();

private:
    sqlite3* db_ = nullptr;
    bool busy_ = false;
};

}  // namespace fx::backup
