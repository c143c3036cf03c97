#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>

#include "datalocation.h"
#include "locationdialog.h"
#include "prompt.h"
#include "schema.h"
#include "scripts.h"

namespace {

using fx::test::Messages;

// Installs a fixed drive list for the life of a test.
class Volumes {
public:
    explicit Volumes(const QStringList& roots) {
        fx::setVolumeLister([roots] { return roots; });
    }
    ~Volumes() { fx::setVolumeLister({}); }
};

QString iniPath(const QTemporaryDir& start) {
    return fx::locationFilePath(start.path());
}

void writeIni(const QTemporaryDir& start, const QVariantMap& values) {
    QSettings ini(iniPath(start), QSettings::IniFormat);
    for (auto it = values.begin(); it != values.end(); ++it) ini.setValue(it.key(), it.value());
}

void createDatabaseFile(const QString& folder) {
    QFile f(folder + QStringLiteral("/gdzc.qsk"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

// ---- drive letters ----

TEST(Drives, AreLetteredFromDInTheOrderOfTheirRoots) {
    Volumes v({QStringLiteral("/mnt/b"), QStringLiteral("/"), QStringLiteral("/mnt/a/"),
               QStringLiteral("/mnt/b")});
    const QList<fx::Drive> drives = fx::availableDrives();
    ASSERT_EQ(drives.size(), 3);
    EXPECT_EQ(drives[0].letter, QLatin1Char('D'));
    EXPECT_EQ(drives[0].root, QStringLiteral("/"));
    EXPECT_EQ(drives[1].letter, QLatin1Char('E'));
    EXPECT_EQ(drives[1].root, QStringLiteral("/mnt/a"));
    EXPECT_EQ(drives[2].letter, QLatin1Char('F'));
    EXPECT_EQ(drives[2].root, QStringLiteral("/mnt/b"));
    EXPECT_EQ(drives[2].displayText(), QStringLiteral("F:  /mnt/b"));
    EXPECT_EQ(fx::driveDataDir(drives[0]), QStringLiteral("/"));
    EXPECT_EQ(fx::driveDataDir(drives[1]), QStringLiteral("/mnt/a/"));
}

TEST(Drives, StopAtZ) {
    QStringList roots;
    for (int i = 0; i < 30; ++i) roots << QStringLiteral("/v%1").arg(i, 2, 10, QLatin1Char('0'));
    Volumes v(roots);
    const QList<fx::Drive> drives = fx::availableDrives();
    ASSERT_EQ(drives.size(), 23);
    EXPECT_EQ(drives.last().letter, QLatin1Char('Z'));
    EXPECT_EQ(drives.last().root, QStringLiteral("/v22"));
}

TEST(Drives, TheRealVolumeListHasTheFileSystemRoot) {
    fx::setVolumeLister({});
    const QList<fx::Drive> drives = fx::availableDrives();
    const bool hasRoot = std::any_of(drives.begin(), drives.end(),
                                     [](const fx::Drive& d) { return d.root == u"/"; });
    EXPECT_TRUE(hasRoot);
}

TEST(Drives, AStoredRootWinsOverAShiftedLetter) {
    Volumes v({QStringLiteral("/mnt/a"), QStringLiteral("/mnt/b")});
    const QList<fx::Drive> drives = fx::availableDrives();
    // Stored when /mnt/b was drive D; a new volume /mnt/a has pushed it to E since.
    const auto byRoot = fx::findDrive(drives, {true, 'D', QStringLiteral("/mnt/b")});
    ASSERT_TRUE(byRoot);
    EXPECT_EQ(byRoot->letter, QLatin1Char('E'));
    // An older file without a root: the letter decides.
    const auto byLetter = fx::findDrive(drives, {true, 'D', QString()});
    ASSERT_TRUE(byLetter);
    EXPECT_EQ(byLetter->root, QStringLiteral("/mnt/a"));
    // A root that is gone falls back to the letter; an unknown letter finds nothing.
    EXPECT_EQ(fx::findDrive(drives, {true, 'E', QStringLiteral("/gone")})->root,
              QStringLiteral("/mnt/b"));
    EXPECT_FALSE(fx::findDrive(drives, {true, 'Q', QString()}));
}

// ---- qslpath.ini and the data directory ----

TEST(DataDir, MissingLocationFileMeansTheLocalDatabase) {
    QTemporaryDir start;
    const fx::DataLocation loc = fx::readDataLocation(start.path());
    EXPECT_FALSE(loc.network);
    EXPECT_EQ(loc.driver, 0);
    EXPECT_EQ(fx::determineDataDir(start.path(), QStringLiteral("/opt/qsl")),
              QStringLiteral("/opt/qsl/data/"));
    EXPECT_FALSE(QFile::exists(iniPath(start)));
}

TEST(DataDir, NetOtherThanOneMeansLocal) {
    QTemporaryDir start;
    writeIni(start, {{QStringLiteral("path/net"), 2},
                     {QStringLiteral("path/driver"), int('D')},
                     {QStringLiteral("path/root"), QStringLiteral("/mnt/a")}});
    EXPECT_FALSE(fx::readDataLocation(start.path()).network);
    EXPECT_EQ(fx::determineDataDir(start.path(), QStringLiteral("/opt/qsl")),
              QStringLiteral("/opt/qsl/data/"));
}

TEST(DataDir, NetworkDatabaseIsTheRootOfTheStoredVolume) {
    QTemporaryDir start;
    Volumes v({QStringLiteral("/mnt/a"), QStringLiteral("/mnt/b")});
    writeIni(start, {{QStringLiteral("path/net"), 1},
                     {QStringLiteral("path/driver"), int('D')},
                     {QStringLiteral("path/root"), QStringLiteral("/mnt/b")}});
    EXPECT_EQ(fx::determineDataDir(start.path(), QStringLiteral("/opt/qsl")),
              QStringLiteral("/mnt/b/"));
}

TEST(DataDir, NetworkDatabaseWithoutRootFollowsTheLetter) {
    QTemporaryDir start;
    Volumes v({QStringLiteral("/mnt/a"), QStringLiteral("/mnt/b")});
    writeIni(start, {{QStringLiteral("path/net"), 1}, {QStringLiteral("path/driver"), int('E')}});
    EXPECT_EQ(fx::determineDataDir(start.path(), QStringLiteral("/opt/qsl")),
              QStringLiteral("/mnt/b/"));
}

TEST(DataDir, UnknownDriveNamesTheLetterSoOpeningFails) {
    QTemporaryDir start;
    Volumes v({QStringLiteral("/mnt/a")});
    writeIni(start, {{QStringLiteral("path/net"), 1}, {QStringLiteral("path/driver"), int('K')}});
    EXPECT_EQ(fx::determineDataDir(start.path(), QStringLiteral("/opt/qsl")),
              QStringLiteral("K:/"));
}

TEST(DataDir, WrittenLocationReadsBack) {
    QTemporaryDir start;
    fx::writeDataLocation(start.path(), {true, 'F', QStringLiteral("/srv/share")});
    QSettings ini(iniPath(start), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("path/net")).toInt(), 1);
    EXPECT_EQ(ini.value(QStringLiteral("path/driver")).toInt(), 70);
    EXPECT_EQ(ini.value(QStringLiteral("path/root")).toString(), QStringLiteral("/srv/share"));
    const fx::DataLocation back = fx::readDataLocation(start.path());
    EXPECT_TRUE(back.network);
    EXPECT_EQ(back.driver, 'F');
    EXPECT_EQ(back.root, QStringLiteral("/srv/share"));
}

// ---- the database-location dialog ----

class LocationDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(start.isValid());
        ASSERT_TRUE(withDatabase.isValid());
        ASSERT_TRUE(empty.isValid());
        createDatabaseFile(withDatabase.path());
        roots = {withDatabase.path(), empty.path()};
        roots.sort();
        fx::setVolumeLister([this] { return roots; });
    }
    void TearDown() override { fx::setVolumeLister({}); }

    // Selects the drive with the given root in the dialog's list.
    static void chooseDrive(fx::TLocationDlg& d, const QString& root) {
        for (int i = 0; i < d.DriveComboBox1->count(); ++i) {
            if (d.DriveComboBox1->itemText(i).endsWith(root)) d.DriveComboBox1->setCurrentIndex(i);
        }
        ASSERT_TRUE(d.DriveComboBox1->currentText().endsWith(root));
    }

    QTemporaryDir start, withDatabase, empty;
    QStringList roots;
};

TEST_F(LocationDialog, HasItsCaptionAndControls) {
    fx::TLocationDlg d(start.path());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("选择数据库"));
    auto* local = d.findChild<QRadioButton*>(QStringLiteral("RadioButton1"));
    auto* network = d.findChild<QRadioButton*>(QStringLiteral("RadioButton2"));
    ASSERT_TRUE(local && network);
    EXPECT_EQ(local->text(), QStringLiteral("采用本地数据库"));
    EXPECT_EQ(network->text(), QStringLiteral("采用网络数据库"));
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("请选择已经映射好的网络驱动器"));
    EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("Button1"))->text(), QStringLiteral("确定"));
    EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("Button2"))->text(), QStringLiteral("取消"));
    auto* list = d.findChild<QComboBox*>(QStringLiteral("DriveComboBox1"));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), QStringLiteral("D:  ") + roots[0]);
    EXPECT_EQ(list->itemText(1), QStringLiteral("E:  ") + roots[1]);
}

TEST_F(LocationDialog, WithoutLocationFileOpensOnTheLocalChoiceWithTheDriveListDisabled) {
    fx::TLocationDlg d(start.path());
    EXPECT_TRUE(d.RadioButton1->isChecked());
    EXPECT_FALSE(d.RadioButton2->isChecked());
    EXPECT_FALSE(d.Label1->isEnabled());
    EXPECT_FALSE(d.DriveComboBox1->isEnabled());

    d.RadioButton2->click();
    EXPECT_TRUE(d.Label1->isEnabled());
    EXPECT_TRUE(d.DriveComboBox1->isEnabled());
    d.RadioButton1->click();
    EXPECT_FALSE(d.Label1->isEnabled());
    EXPECT_FALSE(d.DriveComboBox1->isEnabled());
}

TEST_F(LocationDialog, OpensOnTheStoredNetworkDrive) {
    fx::writeDataLocation(start.path(), {true, 'D', roots[1]});
    fx::TLocationDlg d(start.path());
    EXPECT_TRUE(d.RadioButton2->isChecked());
    EXPECT_TRUE(d.DriveComboBox1->isEnabled());
    EXPECT_TRUE(d.Label1->isEnabled());
    EXPECT_EQ(d.DriveComboBox1->currentIndex(), 1);
    ASSERT_TRUE(d.chosenDrive());
    EXPECT_EQ(d.chosenDrive()->root, roots[1]);
}

TEST_F(LocationDialog, RefusesANetworkDriveWithoutDatabaseAndWritesNothing) {
    Messages messages;
    fx::TLocationDlg d(start.path());
    d.RadioButton2->click();
    chooseDrive(d, empty.path());
    d.Button1->click();

    ASSERT_EQ(messages.seen.size(), 1u);
    EXPECT_EQ(messages.seen[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(messages.seen[0].text, QStringLiteral("该驱动器不存在数据库文件,请重新选择。"));
    EXPECT_EQ(messages.seen[0].icon, fx::ui::Icon::Warning);
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_FALSE(QFile::exists(iniPath(start)));
}

TEST_F(LocationDialog, RefusesTheNetworkChoiceWhenThereIsNoDriveAtAll) {
    roots.clear();
    Messages messages;
    fx::TLocationDlg d(start.path());
    EXPECT_EQ(d.DriveComboBox1->count(), 0);
    d.RadioButton2->click();
    d.Button1Click();
    ASSERT_EQ(messages.seen.size(), 1u);
    EXPECT_EQ(messages.seen[0].text, QStringLiteral("该驱动器不存在数据库文件,请重新选择。"));
    EXPECT_FALSE(QFile::exists(iniPath(start)));
}

TEST_F(LocationDialog, AcceptsANetworkDriveWithDatabaseAndStoresLetterAndRoot) {
    Messages messages;
    fx::TLocationDlg d(start.path());
    d.RadioButton2->click();
    chooseDrive(d, withDatabase.path());
    const QChar letter = d.chosenDrive()->letter;
    d.Button1->click();

    EXPECT_TRUE(messages.seen.empty());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    QSettings ini(iniPath(start), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("path/net")).toInt(), 1);
    EXPECT_EQ(ini.value(QStringLiteral("path/driver")).toInt(), letter.unicode());
    EXPECT_EQ(ini.value(QStringLiteral("path/root")).toString(), withDatabase.path());
    EXPECT_EQ(fx::determineDataDir(start.path(), QStringLiteral("/opt/qsl")),
              withDatabase.path() + QLatin1Char('/'));
}

TEST_F(LocationDialog, LocalChoiceIsStoredWithoutCheckingTheDrive) {
    fx::writeDataLocation(start.path(), {true, 'D', withDatabase.path()});
    Messages messages;
    fx::TLocationDlg d(start.path());
    d.RadioButton1->click();
    chooseDrive(d, empty.path());
    d.Button1->click();

    EXPECT_TRUE(messages.seen.empty());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(fx::readDataLocation(start.path()).network);
    EXPECT_EQ(fx::determineDataDir(start.path(), QStringLiteral("/opt/qsl")),
              QStringLiteral("/opt/qsl/data/"));
}

TEST_F(LocationDialog, CancelWritesNothing) {
    fx::TLocationDlg d(start.path());
    d.RadioButton2->click();
    chooseDrive(d, withDatabase.path());
    d.Button2->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(iniPath(start)));
}

}  // namespace
