#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include "admincommand.h"
#include "connection.h"
#include "installation.h"
#include "presencelock.h"
#include "schema.h"
#include "testfiles.h"

namespace fx::import {
namespace {

struct AdminRun {
    int code = -1;
    QString out, err;
};

AdminRun admin(const QStringList& args) {
    AdminRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = admin::runCommand(args, out, err);
    return r;
}

class ImportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = dir_.filePath(QStringLiteral("app"));
        ASSERT_EQ(admin({QStringLiteral("init"), app_}).code, 0);
        data_ = app_ + QStringLiteral("/data");
        file_ = dir_.filePath(QStringLiteral("清单.csv"));
        test::writeAll(file_, QStringLiteral("资产编号,类别,资产名称,存放地点,原值,购置日期,年限\n"
                                             ",电脑,台式机,财务科,\"1,200\",2020/1/15,5年\n"
                                             "DN-9,电脑,台式机,财务科,¥800,20200115,5年\n"
                                             "DN-9,电脑,台式机,财务科,800,2020-1-15,5年\n")
                                  .toUtf8());
    }
    qint64 assets() {
        const QString password = schema::currentPasswordFromKeyFile(
            app_ + QStringLiteral("/") + QLatin1String(schema::kKeyFileName));
        auto c = db::Connection::open(data_ + QStringLiteral("/gdzc.qsk"), password);
        return c->queryValue(QStringLiteral("select count(*) from sbjl")).toLongLong();
    }
    std::unique_ptr<db::Connection> history() {
        return db::Connection::open(
            data_ + QStringLiteral("/") + QLatin1String(schema::kHistoryFile),
            QString::fromLatin1(schema::kHistoryPassword));
    }
    QTemporaryDir dir_;
    QString app_, data_, file_;
};

TEST_F(ImportCommand, CheckPrintsProblemsByRowAndStoresNothing) {
    const AdminRun r = admin({QStringLiteral("import"), data_, file_, QStringLiteral("--check")});
    EXPECT_EQ(r.code, 1) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("第4行 [资产编号] 编号DN-9与第3行重复。")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("新增资产类别 电脑 编号头 DN")));
    EXPECT_EQ(assets(), 0);
}

TEST_F(ImportCommand, ImportStoresTheAcceptedRowsAndFailsForTheRefusedOne) {
    const AdminRun r = admin({QStringLiteral("import"), data_, file_});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains(QStringLiteral("added 2 assets"))) << r.out.toStdString();
    EXPECT_EQ(assets(), 2);
}

TEST_F(ImportCommand, AMappingMakesAColumnIgnoredOrRead) {
    const AdminRun r = admin({QStringLiteral("import"), data_, file_, QStringLiteral("--map"),
                              QStringLiteral("资产编号=无"), QStringLiteral("--check")});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    const AdminRun bad = admin({QStringLiteral("import"), data_, file_, QStringLiteral("--map"),
                                QStringLiteral("资产编号=颜色")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("unknown field")));
}

TEST_F(ImportCommand, RefusedWhileABackupHoldsTheData) {
    backup::ExclusiveAccess held(data_ + QStringLiteral("/gdzc.qsk"));
    ASSERT_TRUE(held.acquired());
    const AdminRun r = admin({QStringLiteral("import"), data_, file_});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("backup or restore")));
    EXPECT_EQ(assets(), 0);
}

TEST_F(ImportCommand, TheStoredAssetsAreRecordedInTheChangeHistory) {
    const AdminRun r = admin({QStringLiteral("import"), data_, file_});
    EXPECT_TRUE(r.out.contains(QStringLiteral("added 2 assets"))) << r.out.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    auto h = history();
    EXPECT_EQ(h->queryValue(QStringLiteral("select count(*) from czjl where cz='导入' and "
                                           "czy='fxasset-admin' and bgnr='从文件导入：清单.csv'"))
                  .toInt(),
              2);
    EXPECT_EQ(h->queryValue(QStringLiteral("select group_concat(zcbh) from czjl")).toString(),
              QStringLiteral("DN-1,DN-9"));
}

TEST_F(ImportCommand, AHistoryRowRefusedStoresNothing) {
    history()->executeNative(
        QStringLiteral("create trigger refuse before insert on czjl "
                       "begin select raise(abort,'refused by the test'); end"));
    const AdminRun r = admin({QStringLiteral("import"), data_, file_});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nothing was imported"))) << r.err.toStdString();
    EXPECT_EQ(assets(), 0);
}

TEST_F(ImportCommand, AHistoryThatCannotBeCommittedIsToldWithTheAssetsStored) {
    // A reader holds the history database past the import's wait for it.
    auto reader = history();
    reader->executeNative(QStringLiteral("BEGIN"));
    reader->executeNative(QStringLiteral("select count(*) from czjl"));
    const AdminRun r = admin({QStringLiteral("import"), data_, file_});
    reader->executeNative(QStringLiteral("COMMIT"));
    EXPECT_TRUE(r.out.contains(QStringLiteral("added 2 assets")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("操作已经保存，但操作记录未能写入")))
        << r.err.toStdString();
    EXPECT_EQ(assets(), 2);
    EXPECT_EQ(reader->queryValue(QStringLiteral("select count(*) from czjl")).toInt(), 0);
}

TEST_F(ImportCommand, WithoutAHistoryDatabaseTheImportIsStoredAndToldNotRecorded) {
    ASSERT_TRUE(QFile::remove(data_ + QStringLiteral("/") + QLatin1String(schema::kHistoryFile)));
    const AdminRun r = admin({QStringLiteral("import"), data_, file_});
    EXPECT_TRUE(r.out.contains(QStringLiteral("added 2 assets")));
    EXPECT_TRUE(r.err.contains(QStringLiteral("没有记入操作记录"))) << r.err.toStdString();
    EXPECT_EQ(assets(), 2);
}

TEST_F(ImportCommand, ADamagedFileIsRefusedWithItsMessage) {
    const QString bad = dir_.filePath(QStringLiteral("bad.xlsx"));
    test::writeAll(bad, "PK\x03\x04 not really a zip");
    const AdminRun r = admin({QStringLiteral("import"), data_, bad});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("已损坏")));
}

}  // namespace
}  // namespace fx::import
