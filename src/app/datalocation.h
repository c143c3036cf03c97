#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace fx {

// Where the databases live. The program works either on the local data folder of the
// installation (AppPath + "/data/") or on the root of a "network drive". A network drive here is
// a mounted volume: each ready volume is given a drive letter, in the order of its root path
// starting at "D", so the location dialog can show and store drives the way users know them.

// One drive of the drive list: its letter and the volume's root path (no trailing "/", except
// for the file system root itself).
struct Drive {
    QChar letter;
    QString root;
    // The text the drive list shows, e.g. "E:  /mnt/share".
    QString displayText() const;
};

inline constexpr int kDefaultServerPort = 5432;

// The choice kept in qslpath.ini in the start directory, section `path`: `net` (1 network,
// anything else local), `driver` (character code of the drive letter) and `root` (the volume's
// root path; the letter alone would point elsewhere once the volume list changes). `server` 1
// means a database server instead, reached at `host`, `port`, `dbname` as `user` (a `prefix`,
// when set, goes before the two schema names, so that several registers share one database);
// the password is never kept here. A file without `server` reads as before, and the keys of the
// file location keep their values while the server is chosen.
struct DataLocation {
    bool network = false;
    int driver = 0;
    QString root;
    bool server = false;
    QString host{};
    int port = kDefaultServerPort;
    QString dbname{};
    QString user{};
    QString prefix{};
};

inline constexpr const char* kLocationFile = "qslpath.ini";
inline constexpr char16_t kFirstDriveLetter = u'D';

// Supplies the root paths of the mounted volumes. The default lists QStorageInfo's valid and
// ready volumes; tests install their own so that a temporary folder acts as a network drive.
// An empty function restores the default.
using VolumeLister = std::function<QStringList()>;
void setVolumeLister(VolumeLister lister);

// The drives, lettered from "D" in the order of their root paths (at most up to "Z").
QList<Drive> availableDrives();

// The drive a stored location names: the one with the stored root when it is mounted,
// otherwise the one with the stored letter. Nothing when neither is in the list.
std::optional<Drive> findDrive(const QList<Drive>& drives, const DataLocation& location);

// The path of qslpath.ini in a start directory.
QString locationFilePath(const QString& startDir);
// Reads qslpath.ini; a missing file or missing keys mean the local database.
DataLocation readDataLocation(const QString& startDir);
// Writes every key of the location to section `path` of qslpath.ini.
void writeDataLocation(const QString& startDir, const DataLocation& location);

// The data directory of a network drive: its root ending with "/".
QString driveDataDir(const Drive& drive);

// The libpq connection string of a server location (no password): host, port, dbname, user.
QString serverConninfo(const DataLocation& location);

// The data directory the program works on, ending with "/": the local data folder of the
// installation (also when the databases are on a server: the settings stay there), or the root
// of the network drive chosen in qslpath.ini. A drive that is no
// longer mounted still gives its stored root, so that opening the database there fails with a
// message naming the file rather than silently working on other data.
QString determineDataDir(const QString& startDir, const QString& appPath);

}  // namespace fx
