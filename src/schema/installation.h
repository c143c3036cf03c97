#pragma once

#include <QByteArray>
#include <QString>

namespace fx::schema {

// The installation's registry stand-in: QSettings NativeFormat, organisation "云杉软件屋",
// application "青石岭固定资产管理", group "V1.0", values "AppPath" and "组织名称". Written only by
// the installer (fxasset-admin init); the program reads it. User scope first, then system scope.
struct InstallationKey {
    QString appPath;           // installation directory, no trailing separator; empty if missing
    QString organisationName;  // "组织名称"
};
InstallationKey readInstallationKey();
// Writes both values in user scope, or in system scope when the user's cannot be written.
// Returns false when neither could be written.
bool writeInstallationKey(const InstallationKey& key);

// The companion key file installed into AppPath; workstations that share data agree on the
// password because every installation ships the same file.
inline constexpr const char* kKeyFileName = "qslkeyf2.dll";

// Reads the 30 bytes at offset 1138 of the key file and turns them into the current database's
// password (at most 30 characters). Returns an empty string when the file is missing or short.
QString currentPasswordFromKeyFile(const QString& keyFilePath);
// The transformation itself, applied to the (at most 30) bytes read from the key file.
QString passwordFromKeyBytes(const QByteArray& bytes);

// The local data directory of an installation: AppPath + "/data/".
QString localDataDir(const QString& appPath);

}  // namespace fx::schema
