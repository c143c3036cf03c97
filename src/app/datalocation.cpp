#include "datalocation.h"

#include <QDir>
#include <QSettings>
#include <QStorageInfo>
#include <algorithm>

#include "installation.h"

namespace fx {

namespace {

VolumeLister& volumeLister() {
    static VolumeLister lister;
    return lister;
}

QStringList mountedRoots() {
    QStringList roots;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (v.isValid() && v.isReady()) roots << v.rootPath();
    }
    return roots;
}

// A root path in the form the drive list keeps: clean, no trailing "/" but for "/" itself.
QString normalRoot(const QString& path) {
    QString root = QDir::cleanPath(QDir::fromNativeSeparators(path));
    while (root.size() > 1 && root.endsWith(QLatin1Char('/'))) root.chop(1);
    return root;
}

QString withSlash(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

const QString kSection = QStringLiteral("path");

}  // namespace

QString Drive::displayText() const {
    return QString(letter) + QStringLiteral(":  ") + root;
}

void setVolumeLister(VolumeLister lister) {
    volumeLister() = std::move(lister);
}

QList<Drive> availableDrives() {
    QStringList roots = volumeLister() ? volumeLister()() : mountedRoots();
    for (QString& r : roots) r = normalRoot(r);
    roots.removeAll(QString());
    roots.sort();
    roots.removeDuplicates();

    QList<Drive> drives;
    char16_t letter = kFirstDriveLetter;
    for (const QString& r : std::as_const(roots)) {
        if (letter > u'Z') break;
        drives.append({QChar(letter++), r});
    }
    return drives;
}

std::optional<Drive> findDrive(const QList<Drive>& drives, const DataLocation& location) {
    if (!location.root.isEmpty()) {
        const QString root = normalRoot(location.root);
        auto it = std::find_if(drives.begin(), drives.end(),
                               [&](const Drive& d) { return d.root == root; });
        if (it != drives.end()) return *it;
    }
    auto it = std::find_if(drives.begin(), drives.end(),
                           [&](const Drive& d) { return d.letter.unicode() == location.driver; });
    if (it != drives.end()) return *it;
    return std::nullopt;
}

QString locationFilePath(const QString& startDir) {
    return withSlash(startDir) + QString::fromLatin1(kLocationFile);
}

DataLocation readDataLocation(const QString& startDir) {
    QSettings ini(locationFilePath(startDir), QSettings::IniFormat);
    ini.beginGroup(kSection);
    DataLocation loc;
    loc.network = ini.value(QStringLiteral("net"), 0).toInt() == 1;
    loc.driver = ini.value(QStringLiteral("driver"), 0).toInt();
    loc.root = ini.value(QStringLiteral("root")).toString();
    loc.server = ini.value(QStringLiteral("server"), 0).toInt() == 1;
    loc.host = ini.value(QStringLiteral("host")).toString();
    loc.port = ini.value(QStringLiteral("port"), kDefaultServerPort).toInt();
    if (loc.port <= 0) loc.port = kDefaultServerPort;
    loc.dbname = ini.value(QStringLiteral("dbname")).toString();
    loc.user = ini.value(QStringLiteral("user")).toString();
    loc.prefix = ini.value(QStringLiteral("prefix")).toString();
    ini.endGroup();
    return loc;
}

void writeDataLocation(const QString& startDir, const DataLocation& location) {
    QSettings ini(locationFilePath(startDir), QSettings::IniFormat);
    ini.beginGroup(kSection);
    ini.setValue(QStringLiteral("net"), location.network ? 1 : 0);
    ini.setValue(QStringLiteral("driver"), location.driver);
    ini.setValue(QStringLiteral("root"), location.root);
    ini.setValue(QStringLiteral("server"), location.server ? 1 : 0);
    ini.setValue(QStringLiteral("host"), location.host);
    ini.setValue(QStringLiteral("port"), location.port);
    ini.setValue(QStringLiteral("dbname"), location.dbname);
    ini.setValue(QStringLiteral("user"), location.user);
    if (location.prefix.isEmpty())
        ini.remove(QStringLiteral("prefix"));
    else
        ini.setValue(QStringLiteral("prefix"), location.prefix);
    ini.endGroup();
    ini.sync();
}

QString driveDataDir(const Drive& drive) {
    return withSlash(drive.root);
}

namespace {

// A libpq keyword value in single quotes, backslash and quote escaped.
QString conninfoValue(const QString& value) {
    QString v = value;
    v.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    v.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

}  // namespace

QString serverConninfo(const DataLocation& location) {
    return QStringLiteral("host=%1 port=%2 dbname=%3 user=%4")
        .arg(conninfoValue(location.host), QString::number(location.port),
             conninfoValue(location.dbname), conninfoValue(location.user));
}

QString determineDataDir(const QString& startDir, const QString& appPath) {
    const DataLocation loc = readDataLocation(startDir);
    if (loc.server || !loc.network) return schema::localDataDir(appPath);
    if (!loc.root.isEmpty()) return withSlash(normalRoot(loc.root));
    if (const auto drive = findDrive(availableDrives(), loc)) return driveDataDir(*drive);
    // Neither a root nor a known letter: name the drive as the file does; opening fails there.
    const bool isLetter = loc.driver >= 'A' && loc.driver <= 'Z';
    return QString(QChar(char16_t(isLetter ? loc.driver : '?'))) + QStringLiteral(":/");
}

}  // namespace fx
