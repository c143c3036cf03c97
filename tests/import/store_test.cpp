#include <gtest/gtest.h>

#include "changerecorder.h"
#include "dberror.h"
#include "importfixture.h"
#include "importstore.h"
#include "rowset.h"

namespace fx::import {
namespace {

const QStringList kHeader = {
    QStringLiteral("编号"),     QStringLiteral("资产类别"), QStringLiteral("名称"),
    QStringLiteral("型号"),     QStringLiteral("设备配置"), QStringLiteral("用途"),
    QStringLiteral("位置"),     QStringLiteral("保管人"),   QStringLiteral("来源方式"),
    QStringLiteral("使用年限"), QStringLiteral("购买日期"), QStringLiteral("购买价格"),
    QStringLiteral("备注"),     QStringLiteral("是否报废")};

SheetTable sheet(int rows, const QString& badName = QString(), int badRow = -1) {
    SheetTable t;
    t.rows.push_back({1, kHeader});
    for (int i = 0; i < rows; ++i) {
        t.rows.push_back(
            {i + 2,
             {QString(), QStringLiteral("电脑"), i == badRow ? badName : QStringLiteral("台式机"),
              QStringLiteral("M720"), QStringLiteral("i5/8G"), QStringLiteral("办公"),
              QStringLiteral("财务科"), QStringLiteral("张三"), QStringLiteral("购置"),
              QStringLiteral("5年"), QStringLiteral("2020/1/15"), QStringLiteral("¥4,999.50"),
              QStringLiteral("第一行\n第二行"), QStringLiteral("否")}});
    }
    return t;
}

class ImportStoreTest : public ::testing::Test {
protected:
    // Everything an import can change, counted.
    QString snapshot() {
        QStringList parts;
        for (const char* table : {"sbjl", "sortproc", "sortb", "xhpz", "ytb", "wzb", "person",
                                  "syq", "lyfs", "idupper"})
            parts << QString::number(
                f_.count(QStringLiteral("select count(*) from ") + QString::fromLatin1(table)));
        return parts.join(u',');
    }
    test::ImportFixture f_;
};

TEST_F(ImportStoreTest, StoresEveryRowWithItsDictionaryItemsAndTheRegistry) {
    const ImportResult r = runImport(f_.db(), sheet(3), {});
    EXPECT_EQ(r.added, 3);
    EXPECT_EQ(r.lastSerial - r.firstSerial, 2);
    EXPECT_EQ(
        f_.count(QStringLiteral("select count(*) from sbjl where id='DN-' and zclb='电脑' and "
                                "sbmc='台式机' and sbxh='M720' and sbpz='i5/8G' and yt='办公' and "
                                "wz='财务科' and bgr='张三' and ly='购置' and bxq='5年' and "
                                "gmrq=#01/15/2020# and pzrq=#01/15/2020# and gmjg=4999.5 and "
                                "worp and not ybf and not yjc and not wx")),
        3);
    EXPECT_EQ(f_.count(QStringLiteral("select max from idupper where idup='DN-'")), 3);
    EXPECT_EQ(f_.count(QStringLiteral("select cz from sortproc where sort='电脑' and title='DN'")),
              5);
    EXPECT_EQ(
        f_.count(QStringLiteral("select count(*) from sortb where name='台式机' and sort='电脑' "
                                "and bht='DN' and wzorgr")),
        1);
    EXPECT_EQ(
        f_.count(QStringLiteral("select count(*) from xhpz where sbmc='台式机' and sbxh='M720' "
                                "and sbpz='i5/8G'")),
        1);
    EXPECT_EQ(f_.count(QStringLiteral("select count(*) from ytb where sort='电脑' and yt='办公'")),
              1);
    EXPECT_EQ(f_.count(QStringLiteral("select count(*) from wzb where wz='财务科' and not isbm")),
              1);
    EXPECT_EQ(f_.count(QStringLiteral("select count(*) from person where pname='张三'")), 1);
    EXPECT_EQ(f_.count(QStringLiteral("select yue from syq where qx='5年'")), 60);
    EXPECT_EQ(f_.count(QStringLiteral("select count(*) from lyfs where ly='购置'")), 1);
    EXPECT_EQ(f_.db()
                  .queryValue(QStringLiteral(
                      "select count(*) from sbjl where other='第一行'||char(10)||'第二行'"))
                  .toInt(),
              3);
}

TEST_F(ImportStoreTest, ASecondImportNumbersOnAndAddsNothingTwice) {
    runImport(f_.db(), sheet(2), {});
    const ImportResult r = runImport(f_.db(), sheet(2), {});
    EXPECT_EQ(r.plan.additions.size(), 0u);
    EXPECT_EQ(f_.count(QStringLiteral("select max(num) from sbjl where id='DN-'")), 4);
    EXPECT_EQ(f_.count(QStringLiteral("select max from idupper where idup='DN-'")), 4);
}

TEST_F(ImportStoreTest, RefusedRowsAreLeftOutAndTheRestStored) {
    SheetTable t = sheet(3);
    t.rows[2].cells[11] = QStringLiteral("很贵");
    const ImportResult r = runImport(f_.db(), t, {});
    EXPECT_EQ(r.added, 2);
    EXPECT_EQ(r.plan.refusedRows, std::vector<int>{3});
}

TEST_F(ImportStoreTest, AFailureHalfWayLeavesTheRegisterUnchanged) {
    runImport(f_.db(), sheet(2), {});
    const QString before = snapshot();
    // The engine refuses the 600th row, after 599 rows and every dictionary item were written.
    f_.db().executeNative(
        QStringLiteral("create trigger refuse before insert on sbjl when new.sbmc='坏' "
                       "begin select raise(abort,'refused by the test'); end"));
    EXPECT_THROW(runImport(f_.db(), sheet(1000, QStringLiteral("坏"), 599), {}), db::DbError);
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(f_.db().inTransaction());
}

TEST_F(ImportStoreTest, ACancelLeavesNothing) {
    const QString before = snapshot();
    int calls = 0;
    EXPECT_THROW(runImport(f_.db(), sheet(1000), {},
                           [&](int done, int) { return ++calls < 3 && done < 600; }),
                 ImportCancelled);
    EXPECT_EQ(snapshot(), before);
    EXPECT_GE(calls, 3);
}

TEST_F(ImportStoreTest, EachStoredAssetGetsAnImportRowInTheChangeHistory) {
    runImport(f_.db(), sheet(1), {});  // DN-1, before the recorded import
    history::ChangeRecorder recorder(&f_.history(), QStringLiteral("张三"));
    recorder.begin();
    SheetTable t = sheet(3);
    t.rows[2].cells[0] = QStringLiteral("DN-20");
    const ImportResult r =
        runImport(f_.db(), t, {}, {}, &recorder, QStringLiteral("/home/x/旧台账.xlsx"));
    recorder.commit();
    ASSERT_EQ(r.added, 3);
    EXPECT_EQ(recorder.recorded(), 3);
    db::RowSet rows(f_.history(), QStringLiteral("select * from czjl order by id"));
    rows.open();
    ASSERT_EQ(rows.count(), 3);
    const QStringList numbers = {QStringLiteral("DN-2"), QStringLiteral("DN-20"),
                                 QStringLiteral("DN-3")};
    for (int i = 0; i < 3; ++i, rows.next()) {
        EXPECT_EQ(rows.text(QStringLiteral("cz")), QStringLiteral("导入"));
        EXPECT_EQ(rows.integer(QStringLiteral("id")), r.firstSerial + i);
        EXPECT_EQ(rows.text(QStringLiteral("zcbh")), numbers[i]);
        EXPECT_EQ(rows.text(QStringLiteral("czy")), QStringLiteral("张三"));
        EXPECT_EQ(rows.text(QStringLiteral("bgnr")), QStringLiteral("从文件导入：旧台账.xlsx"));
        // The row names the asset the register holds under that serial.
        EXPECT_EQ(
            f_.count(QStringLiteral("select count(*) from sbjl where ID1=%1 and id & num='%2'")
                         .arg(r.firstSerial + i)
                         .arg(numbers[i])),
            1);
    }
}

TEST_F(ImportStoreTest, AHistoryRowTheEngineRefusesStopsTheImportBeforeTheRegisterChanges) {
    const QString before = snapshot();
    history::ChangeRecorder recorder(&f_.history(), QStringLiteral("张三"));
    recorder.begin();
    f_.history().executeNative(
        QStringLiteral("create trigger refuse before insert on czjl "
                       "begin select raise(abort,'refused by the test'); end"));
    EXPECT_THROW(runImport(f_.db(), sheet(10), {}, {}, &recorder), db::DbError);
    recorder.rollback();
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(f_.db().inTransaction());
    EXPECT_FALSE(f_.history().inTransaction());
}

}  // namespace
}  // namespace fx::import
