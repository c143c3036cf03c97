#include "installation.h"

#include <gtest/gtest.h>

#include "qtprint.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace fx::schema {
namespace {

// Points both scopes of the native settings at temporary folders, so nothing touches the
// developer's own registry stand-in.
class InstallationKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(user_.isValid());
        ASSERT_TRUE(system_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, user_.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, system_.path());
    }

    QTemporaryDir user_;
    QTemporaryDir system_;
};

TEST_F(InstallationKeyTest, MissingKeyReadsEmpty) {
    const InstallationKey key = readInstallationKey();
    EXPECT_TRUE(key.appPath.isEmpty());
    EXPECT_TRUE(key.organisationName.isEmpty());
}

TEST_F(InstallationKeyTest, WrittenValuesReadBack) {
    ASSERT_TRUE(writeInstallationKey({QStringLiteral("/opt/青石岭/"), QStringLiteral("某某大学")}));
    const InstallationKey key = readInstallationKey();
    EXPECT_EQ(key.appPath, QStringLiteral("/opt/青石岭"));
    EXPECT_EQ(key.organisationName, QStringLiteral("某某大学"));
    // Stored where the installer's registry stand-in says.
    QSettings direct(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("云杉软件屋"),
                     QStringLiteral("青石岭固定资产管理"));
    EXPECT_EQ(direct.value(QStringLiteral("V1.0/AppPath")).toString(),
              QStringLiteral("/opt/青石岭"));
    EXPECT_EQ(direct.value(QStringLiteral("V1.0/组织名称")).toString(), QStringLiteral("某某大学"));
}

TEST_F(InstallationKeyTest, SystemScopeWhenTheUserHasNone) {
    {
        QSettings system(QSettings::NativeFormat, QSettings::SystemScope,
                         QStringLiteral("云杉软件屋"), QStringLiteral("青石岭固定资产管理"));
        system.setValue(QStringLiteral("V1.0/AppPath"), QStringLiteral("/usr/local/qsl"));
        system.setValue(QStringLiteral("V1.0/组织名称"), QStringLiteral("系统单位"));
    }
    InstallationKey key = readInstallationKey();
    EXPECT_EQ(key.appPath, QStringLiteral("/usr/local/qsl"));
    EXPECT_EQ(key.organisationName, QStringLiteral("系统单位"));
    // The user's own key comes first.
    ASSERT_TRUE(writeInstallationKey({QStringLiteral("/home/me/qsl"), QStringLiteral("我的单位")}));
    key = readInstallationKey();
    EXPECT_EQ(key.appPath, QStringLiteral("/home/me/qsl"));
    EXPECT_EQ(key.organisationName, QStringLiteral("我的单位"));
}

TEST(LocalDataDir, IsTheDataFolderOfTheInstallation) {
    EXPECT_EQ(localDataDir(QStringLiteral("/opt/qsl")), QStringLiteral("/opt/qsl/data/"));
    EXPECT_EQ(localDataDir(QStringLiteral("/opt/qsl/")), QStringLiteral("/opt/qsl/data/"));
}

class KeyFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        for (int i = 0; i < 2048; ++i) bytes_.append(char((i * 131 + 7) & 0xff));
    }
    QString write(const QByteArray& bytes, const char* name = "qslkeyf2.dll") {
        const QString path = dir_.filePath(QString::fromLatin1(name));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }

    QTemporaryDir dir_;
    QByteArray bytes_;
};

TEST_F(KeyFile, GivesAPrintablePasswordOfThirtyCharacters) {
    const QString password = currentPasswordFromKeyFile(write(bytes_));
    ASSERT_EQ(password.size(), 30);
    for (const QChar c : password) {
        EXPECT_TRUE((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                    (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                    (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            << password.toStdString();
    }
    // The same file gives the same password (workstations agree).
    EXPECT_EQ(currentPasswordFromKeyFile(write(bytes_, "copy.dll")), password);
    EXPECT_EQ(passwordFromKeyBytes(bytes_.mid(1138, 30)), password);
}

TEST_F(KeyFile, OnlyTheThirtyBytesAtOffset1138Count) {
    const QString password = currentPasswordFromKeyFile(write(bytes_));
    QByteArray outside = bytes_;
    outside[1137] = char(outside[1137] ^ 0x5a);
    outside[1168] = char(outside[1168] ^ 0x5a);
    outside[0] = char(outside[0] ^ 0x5a);
    EXPECT_EQ(currentPasswordFromKeyFile(write(outside)), password);
    for (int offset : {1138, 1150, 1167}) {
        QByteArray inside = bytes_;
        inside[offset] = char(inside[offset] ^ 0x01);
        EXPECT_NE(currentPasswordFromKeyFile(write(inside)), password) << offset;
    }
}

TEST_F(KeyFile, BytesThatDifferGiveDifferentPasswords) {
    // Not a constant, nor a plain copy of the bytes.
    QByteArray zeros(30, '\0');
    QByteArray ones(30, '\1');
    EXPECT_NE(passwordFromKeyBytes(zeros), passwordFromKeyBytes(ones));
    EXPECT_NE(passwordFromKeyBytes(bytes_.mid(0, 30)), passwordFromKeyBytes(bytes_.mid(30, 30)));
    const QString fromZeros = passwordFromKeyBytes(zeros);
    EXPECT_GT(QSet<QChar>(fromZeros.begin(), fromZeros.end()).size(), 5);
}

TEST_F(KeyFile, MissingOrShortFileGivesNoPassword) {
    EXPECT_TRUE(currentPasswordFromKeyFile(dir_.filePath(QStringLiteral("none.dll"))).isEmpty());
    EXPECT_TRUE(currentPasswordFromKeyFile(write(bytes_.left(1167))).isEmpty());
    EXPECT_EQ(currentPasswordFromKeyFile(write(bytes_.left(1168))).size(), 30);
    EXPECT_TRUE(currentPasswordFromKeyFile(write(QByteArray())).isEmpty());
}

}  // namespace
}  // namespace fx::schema
