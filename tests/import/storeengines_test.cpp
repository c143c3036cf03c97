#include <gtest/gtest.h>

#include "appstate.h"
#include "changerecorder.h"
#include "connection.h"
#include "importstore.h"
#include "rowset.h"
#include "testinstallation.h"

namespace fx::import {
namespace {

FX_BOTH_ENGINES(ImportStoreEngines);

QVariant first(db::Connection& c, const QString& sql) {
    db::RowSet r(c, sql);
    r.open();
    return r.eof() ? QVariant() : r.value(0);
}

// The assets are written through one prepared insert: each gets its counter back, empty texts
// stay empty texts, and a row the engine refuses takes the rows before it with it.
TEST_P(ImportStoreEngines, StoresRowsWithTheirCountersAndEmptyTexts) {
    test::TestInstallation install(GetParam());
    auto state = install.signedIn();
    db::Connection& c = *state->current;
    SheetTable t;
    t.rows.push_back({1,
                      {QStringLiteral("编号"), QStringLiteral("资产类别"), QStringLiteral("名称"),
                       QStringLiteral("型号"), QStringLiteral("位置"), QStringLiteral("使用年限"),
                       QStringLiteral("购买日期"), QStringLiteral("购买价格")}});
    for (int i = 0; i < 3; ++i)
        t.rows.push_back(
            {i + 2,
             {i == 1 ? QStringLiteral("IMP-7") : QString(), QStringLiteral("电脑"),
              QStringLiteral("台式机"), QString(), QStringLiteral("财务科"), QStringLiteral("5年"),
              QStringLiteral("2021-03-04"), QStringLiteral("12.5")}});
    const qint64 before = first(c, QStringLiteral("select count(*) from sbjl")).toLongLong();
    history::ChangeRecorder recorder(state->history.get(), QStringLiteral("测试"));
    recorder.begin();
    const ImportResult r = runImport(c, t, {}, {}, &recorder, QStringLiteral("/tmp/清单.xlsx"));
    recorder.commit();
    ASSERT_EQ(r.added, 3);
    EXPECT_EQ(first(c, QStringLiteral("select count(*) from sbjl")).toLongLong(), before + 3);
    EXPECT_EQ(first(c, QStringLiteral("select min(ID1) from sbjl where zclb='电脑' and "
                                      "sbmc='台式机' and gmrq=#03/04/2021#"))
                  .toLongLong(),
              r.firstSerial);
    EXPECT_EQ(first(c, QStringLiteral("select max(ID1) from sbjl where zclb='电脑'")).toLongLong(),
              r.lastSerial);
    EXPECT_EQ(first(c, QStringLiteral("select num from sbjl where id='IMP-'")).toInt(), 7);
    EXPECT_EQ(
        first(c, QStringLiteral("select count(*) from sbjl where sbxh='' and sbpz='' and bgr='' "
                                "and gmjg=12.5 and worp and not ybf and not yjc and not wx"))
            .toInt(),
        3);
    EXPECT_EQ(
        first(*state->history, QStringLiteral("select count(*) from czjl where cz='导入' and id=") +
                                   QString::number(r.lastSerial))
            .toInt(),
        1);
}

}  // namespace
}  // namespace fx::import
