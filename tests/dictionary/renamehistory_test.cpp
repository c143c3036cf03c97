// A rename carried into the assets records one change history row per asset it changed.
#include <gtest/gtest.h>

#include "changerecorder.h"
#include "connection.h"
#include "dberror.h"
#include "dictionaryedits.h"
#include "dictionaryfixture.h"
#include "rowset.h"

namespace {

using namespace fx::dictionary;

class RenameHistory : public ::testing::Test, public fx::test::DictionaryFixture {
protected:
    fx::db::Connection& db() { return *state().current; }
    // "serial:number:changes" of every row, in order.
    QStringList recorded() {
        fx::db::RowSet rs(*state().history, QStringLiteral("select * from czjl order by index"));
        rs.open();
        QStringList out;
        for (; !rs.eof(); rs.next())
            out << rs.text(QStringLiteral("cz")) + QLatin1Char(':') +
                       rs.text(QStringLiteral("id")) + QLatin1Char(':') +
                       rs.text(QStringLiteral("zcbh")) + QLatin1Char(':') +
                       rs.text(QStringLiteral("bgnr"));
        return out;
    }
};

TEST_F(RenameHistory, ACategoryRenameRecordsEachAssetCarriedAndTheItem) {
    const qint64 a =
        addAsset(QStringLiteral("电脑"), QStringLiteral("台式机"), QStringLiteral("财务科"));
    addAsset(QStringLiteral("家具"), QStringLiteral("桌子"), QStringLiteral("仓库"));
    const qint64 c =
        addAsset(QStringLiteral("电脑"), QStringLiteral("笔记本"), QStringLiteral("仓库"));
    fx::history::ChangeRecorder recorder(state().history.get(), QStringLiteral("系统管理员"));
    recorder.begin();
    Attributes now;
    now.number = 5;
    now.prefix = QStringLiteral("AB");
    modifyItem(db(), {ItemKind::Category, QStringLiteral("电脑")}, QStringLiteral("计算机"), now,
               {}, &recorder);
    recorder.commit();
    const QString number = [&](qint64 id) {
        fx::db::RowSet rs(
            db(), QStringLiteral("select id,num from sbjl where ID1=") + QString::number(id));
        rs.open();
        return fx::history::assetNumberOf(rs);
    }(a);
    const QStringList rows = recorded();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], QStringLiteral("字典改名:%1:%2:资产类别：电脑 → 计算机").arg(a).arg(number));
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("字典改名:%1:").arg(c))) << rows[1].toStdString();
    EXPECT_EQ(rows[2], QStringLiteral("字典改名:0::资产类别：电脑 → 计算机"));
}

TEST_F(RenameHistory, ANameChangingItsStorageRecordsThePlaceAndTheMode) {
    const qint64 a =
        addAsset(QStringLiteral("电脑"), QStringLiteral("台式机"), QStringLiteral("财务科"));
    fx::history::ChangeRecorder recorder(state().history.get(), QStringLiteral("系统管理员"));
    recorder.begin();
    Attributes before;
    before.flag = true;
    before.prefix = QStringLiteral("AB");
    Attributes now = before;
    now.flag = false;
    modifyItem(db(), {ItemKind::Name, QStringLiteral("台式机"), QStringLiteral("电脑")},
               QStringLiteral("台式机"), now, before, &recorder);
    recorder.commit();
    const QStringList rows = recorded();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0].startsWith(QStringLiteral("字典改名:%1:").arg(a)));
    EXPECT_TRUE(
        rows[0].endsWith(QStringLiteral("位置(使用者)：财务科 → 未分配；按位置保管：是 → 否")))
        << rows[0].toStdString();
}

TEST_F(RenameHistory, ARefusedRenameLeavesNoRows) {
    addAsset(QStringLiteral("电脑"), QStringLiteral("台式机"), QStringLiteral("财务科"));
    run(
        QStringLiteral("CREATE TRIGGER no_category BEFORE UPDATE OF zclb ON sbjl "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    {
        fx::history::ChangeRecorder recorder(state().history.get(), QStringLiteral("系统管理员"));
        recorder.begin();
        Attributes now;
        now.number = 5;
        now.prefix = QStringLiteral("AB");
        EXPECT_THROW(modifyItem(db(), {ItemKind::Category, QStringLiteral("电脑")},
                                QStringLiteral("计算机"), now, {}, &recorder),
                     fx::db::DbError);
    }
    EXPECT_TRUE(recorded().isEmpty());
}

}  // namespace
