#include "installation.h"

#include <QFile>
#include <QSettings>

namespace fx::schema {

namespace {

const QString& organisation() {
    static const QString s = QStringLiteral("云杉软件屋");
    return s;
}
const QString& application() {
    static const QString s = QStringLiteral("青石岭固定资产管理");
    return s;
}
const QString& group() {
    static const QString s = QStringLiteral("V1.0");
    return s;
}
const QString& appPathKey() {
    static const QString s = QStringLiteral("AppPath");
    return s;
}
const QString& organisationKey() {
    static const QString s = QStringLiteral("组织名称");
    return s;
}

QString withoutTrailingSeparator(QString path) {
    while (path.size() > 1 &&
           (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))) {
        path.chop(1);
    }
    return path;
}

// Offsets in the key file: the program reads 20, then 30, then 30 bytes from offset 1088 into
// one 30-byte buffer, which therefore ends up holding the bytes at 1138..1167.
constexpr qint64 kKeyOffset = 1088 + 20 + 30;
constexpr int kKeyLength = 30;

}  // namespace

InstallationKey readInstallationKey() {
    InstallationKey key;
    for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
        QSettings settings(QSettings::NativeFormat, scope, organisation(), application());
        settings.setFallbacksEnabled(false);
        settings.beginGroup(group());
        if (!settings.contains(appPathKey())) continue;
        key.appPath = withoutTrailingSeparator(settings.value(appPathKey()).toString());
        key.organisationName = settings.value(organisationKey()).toString();
        return key;
    }
    return key;
}

bool writeInstallationKey(const InstallationKey& key) {
    for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope}) {
        QSettings settings(QSettings::NativeFormat, scope, organisation(), application());
        settings.beginGroup(group());
        settings.setValue(appPathKey(), withoutTrailingSeparator(key.appPath));
        settings.setValue(organisationKey(), key.organisationName);
        settings.endGroup();
        settings.sync();
        if (settings.status() == QSettings::NoError) return true;
    }
    return false;
}

QString passwordFromKeyBytes(const QByteArray& bytes) {
    // The program's own routine: each byte is mixed with a fixed key, its position and the
    // previous result, and mapped onto 62 letters and digits, so the password is printable and
    // every installation with the same key file derives the same one.
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static const unsigned char kMix[] = {0x5a, 0xc3, 0x17, 0x8e, 0x29, 0xf4, 0x6b,
                                         0xd0, 0x3c, 0x91, 0x47, 0xb8, 0x02, 0xe5};
    QString password;
    unsigned int carry = 0x2f;
    const int n = int(qMin<qsizetype>(bytes.size(), kKeyLength));
    for (int i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const unsigned int mixed =
            (b ^ kMix[i % int(sizeof kMix)]) + carry * 31u + unsigned(i) * 7u;
        carry = mixed & 0xffu;
        password += QLatin1Char(kAlphabet[mixed % 62u]);
    }
    return password;
}

QString currentPasswordFromKeyFile(const QString& keyFilePath) {
    QFile file(keyFilePath);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    if (!file.seek(kKeyOffset)) return QString();
    const QByteArray bytes = file.read(kKeyLength);
    if (bytes.size() < kKeyLength) return QString();
    return passwordFromKeyBytes(bytes);
}

QString localDataDir(const QString& appPath) {
    return withoutTrailingSeparator(appPath) + QStringLiteral("/data/");
}

}  // namespace fx::schema
