// Recording changes: what a row carries, transactions, and a history without the table.
#include "changerecorder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "clock.h"
#include "connection.h"
#include "rowset.h"
#include "schema.h"

namespace {

using fx::db::Connection;
using fx::db::RowSet;
using namespace fx::history;

class Recorder : public ::testing::Test {
protected:
    void SetUp() override {
        fx::schema::createDatabases(dir.path(), QStringLiteral("CurrentPw30"));
        history = Connection::open(dir.filePath(QStringLiteral("dbjl.his")),
                                   QString::fromLatin1(fx::schema::kHistoryPassword));
        fx::Clock::set(QDateTime(QDate(2026, 3, 4), QTime(9, 8, 7)));
    }
    void TearDown() override { fx::Clock::set(QDateTime()); }
    int rows() { return history->queryValue(QStringLiteral("select count(*) from czjl")).toInt(); }

    QTemporaryDir dir;
    std::unique_ptr<Connection> history;
};

TEST_F(Recorder, ARowCarriesTimeUserWorkstationOperationAssetAndChanges) {
    ChangeRecorder r(history.get(), QStringLiteral("张三"));
    ASSERT_TRUE(r.available());
    r.begin();
    r.record(QString::fromUtf8(op::kModify), 12, QStringLiteral("JSJ-7"),
             {{QStringLiteral("sbmc"), QStringLiteral("电脑"), QStringLiteral("笔记本")},
              {QStringLiteral("gmjg"), QStringLiteral("100"), QStringLiteral("2500.5")}});
    r.commit();
    RowSet rs(*history, QStringLiteral("select * from czjl"));
    rs.open();
    ASSERT_EQ(rs.count(), 1);
    EXPECT_EQ(rs.text(QStringLiteral("sj")), QStringLiteral("2026-03-04 09:08:07"));
    EXPECT_EQ(rs.text(QStringLiteral("czy")), QStringLiteral("张三"));
    EXPECT_EQ(rs.text(QStringLiteral("gzz")), workstationName());
    EXPECT_FALSE(workstationName().isEmpty());
    EXPECT_EQ(rs.text(QStringLiteral("cz")), QStringLiteral("修改"));
    EXPECT_EQ(rs.integer(QStringLiteral("id")), 12);
    EXPECT_EQ(rs.text(QStringLiteral("zcbh")), QStringLiteral("JSJ-7"));
    EXPECT_EQ(rs.text(QStringLiteral("bgnr")),
              QStringLiteral("名称：电脑 → 笔记本；购买价格：100 → 2500.5"));
}

TEST_F(Recorder, RowsAreKeptOnlyWhenCommitted) {
    {
        ChangeRecorder r(history.get(), QStringLiteral("张三"));
        r.begin();
        for (int i = 1; i <= 5; ++i) r.record(QString::fromUtf8(op::kAdd), i, QString());
        EXPECT_EQ(r.recorded(), 5);
    }  // destroyed without commit
    EXPECT_EQ(rows(), 0);
    ChangeRecorder r(history.get(), QStringLiteral("张三"));
    r.begin();
    r.record(QString::fromUtf8(op::kAdd), 1, QString());
    r.rollback();
    EXPECT_EQ(rows(), 0);
    r.begin();
    for (int i = 1; i <= 5; ++i) r.record(QString::fromUtf8(op::kAdd), i, QString());
    r.commit();
    EXPECT_EQ(rows(), 5);
}

TEST_F(Recorder, NothingIsAvailableWithoutTheDatabaseOrItsTable) {
    ChangeRecorder none(nullptr, QStringLiteral("张三"));
    EXPECT_FALSE(none.available());
    none.begin();
    none.record(QString::fromUtf8(op::kAdd), 1, QString());
    none.commit();
    EXPECT_EQ(none.recorded(), 0);

    history->executeNative(QStringLiteral("DROP TABLE czjl"));
    history->reloadSchema();
    ChangeRecorder older(history.get(), QStringLiteral("张三"));
    EXPECT_FALSE(older.available());
}

TEST_F(Recorder, ManyAssetsAreRecordedOneRowEachWithTheSharedFields) {
    // More rows than one statement takes, and texts with apostrophes.
    QList<RecordedAsset> assets;
    for (int i = 1; i <= 1203; ++i) assets.push_back({i + 10, QStringLiteral("D'N-%1").arg(i)});
    ChangeRecorder r(history.get(), QStringLiteral("O'Neil"));
    r.begin();
    r.recordAssets(QString::fromUtf8(op::kImport), assets, QStringLiteral("从文件导入：a'b.xlsx"));
    EXPECT_EQ(r.recorded(), 1203);
    r.commit();
    EXPECT_EQ(rows(), 1203);
    RowSet rs(*history, QStringLiteral("select * from czjl order by index"));
    rs.open();
    ASSERT_EQ(rs.count(), 1203);
    rs.seek(1202);
    EXPECT_EQ(rs.text(QStringLiteral("sj")), QStringLiteral("2026-03-04 09:08:07"));
    EXPECT_EQ(rs.text(QStringLiteral("czy")), QStringLiteral("O'Neil"));
    EXPECT_EQ(rs.text(QStringLiteral("gzz")), workstationName());
    EXPECT_EQ(rs.text(QStringLiteral("cz")), QStringLiteral("导入"));
    EXPECT_EQ(rs.integer(QStringLiteral("id")), 1213);
    EXPECT_EQ(rs.text(QStringLiteral("zcbh")), QStringLiteral("D'N-1203"));
    EXPECT_EQ(rs.text(QStringLiteral("bgnr")), QStringLiteral("从文件导入：a'b.xlsx"));
    EXPECT_EQ(history
                  ->queryValue(
                      QStringLiteral("select count(*) from czjl where zcbh = 'D''N-' || (id - 10)"))
                  .toInt(),
              1203);
}

TEST_F(Recorder, ManyAssetsAreKeptOnlyWhenCommitted) {
    ChangeRecorder r(history.get(), QStringLiteral("张三"));
    r.begin();
    r.recordAssets(QString::fromUtf8(op::kImport), {{1, QStringLiteral("DN-1")}});
    r.rollback();
    EXPECT_EQ(rows(), 0);
    ChangeRecorder none(nullptr, QStringLiteral("张三"));
    none.begin();
    none.recordAssets(QString::fromUtf8(op::kImport), {{1, QStringLiteral("DN-1")}});
    EXPECT_EQ(none.recorded(), 0);
}

TEST(ChangedFields, OnlyFieldsWhoseShownValueDiffers) {
    const QStringList names = {QStringLiteral("sbmc"), QStringLiteral("gmjg"),
                               QStringLiteral("gmrq"), QStringLiteral("ybf"),
                               QStringLiteral("other")};
    const QList<QVariant> before = {QStringLiteral("电脑"), 100.0, QDate(2020, 1, 2), false,
                                    QVariant()};
    const QList<QVariant> after = {QStringLiteral("电脑"), 100.0, QDate(2020, 1, 3), true,
                                   QString()};
    const QList<FieldChange> expected = {
        {QStringLiteral("gmrq"), QStringLiteral("2020-01-02"), QStringLiteral("2020-01-03")},
        {QStringLiteral("ybf"), QStringLiteral("否"), QStringLiteral("是")},
    };
    EXPECT_EQ(changedFields(names, before, after), expected);
}

}  // namespace
