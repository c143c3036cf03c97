#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>

namespace fx::test {

QByteArray fileBytes(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);
// Bytes that differ from position to position, so a misplaced chunk shows.
QByteArray patternBytes(qint64 size, quint32 seed = 1);

// Another program on the machine holding the presence lock of a database: a child process
// that takes a flock on the lock file and keeps it until this object ends.
class OtherProgram {
public:
    explicit OtherProgram(const QString& lockPath, bool exclusive = false);
    ~OtherProgram();
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;
    bool holding() const { return holding_; }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool holding_ = false;
};

// True when a separate process could take the lock file exclusively right now (nobody, this
// process included, holds it).
bool freeForAnotherProcess(const QString& lockPath);

// Sets the organisation name of a database (the username row), the value tests change between
// a backup and a restore.
void setOrganisation(const QString& databasePath, const QString& password, const QString& name);
QString organisation(const QString& databasePath, const QString& password);

// Leaves databasePath with a hot rollback journal beside it, the way a program killed in the
// middle of a large write leaves it: the file holds part of an unfinished change and the
// journal the pages it replaced. The committed content has `rows` assets whose remark is
// empty; the unfinished change set every remark to "未提交". Returns false when the engine did
// not write the unfinished change into the file (the situation could not be produced).
bool leaveHotJournal(const QString& databasePath, const QString& password, int rows = 3000);
// How many assets of a database (opened without any journal beside it) carry the unfinished
// remark; -1 when the file does not open or read.
int unfinishedRows(const QString& databasePath, const QString& password);

}  // namespace fx::test
