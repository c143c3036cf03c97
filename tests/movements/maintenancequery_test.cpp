#include <gtest/gtest.h>

#include <QAction>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "connection.h"
#include "maintenancecommands.h"
#include "maintenancefixture.h"
#include "maintenancetexts.h"
#include "resulttable.h"
#include "scripts.h"
#include "tcxjgdlg1.h"
#include "twxcxdlg.h"

// The maintenance query: the dialog's defaults and lists, the query text, what it finds and the
// asset picked from its results.

namespace fx::test {
namespace {

using movements::TwxcxDlg;
using query::TcxjgDlg1;

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

class MaintenanceQueryTest : public MaintenanceTest {
protected:
    void SetUp() override {
        MaintenanceTest::SetUp();
        // Today is 2024-03-15: tomorrow is the last day the default ranges reach.
        computer = addAsset(QStringLiteral("DZ-"), 7);
        printer = addAsset(QStringLiteral("DY-"), 12345, QStringLiteral("sbmc='打印机',wz='李四'"));
        laser = addAsset(QStringLiteral("DY-"), 2, QStringLiteral("sbmc='激光打印一体机'"));
        scrapped = addAsset(QStringLiteral("DY-"), 3, QStringLiteral("sbmc='打印机',ybf=1"));
        addRecord(computer, QDate(2023, 5, 1), QDate(2023, 5, 3), QStringLiteral("硬盘"), 300);
        addRecord(computer, QDate(2024, 3, 16), QDate(2024, 3, 16));  // tomorrow: still found
        addRecord(computer, QDate(2024, 3, 17), QDate(2024, 3, 17));  // after tomorrow
        addRecord(computer, QDate(2024, 3, 1), QDate());              // not repaired yet
        addRecord(printer, QDate(1949, 10, 1), QDate(1950, 1, 1), QStringLiteral("硒鼓"));
        addRecord(laser, QDate(2022, 2, 2), QDate(2022, 2, 4));
        addRecord(scrapped, QDate(2021, 1, 1), QDate(2021, 1, 2));
        conn().executeNative(QStringLiteral("update sbjl set wx=1"));
    }

    // Runs the query command with a step that fills the dialog, and reads the results window.
    struct Found {
        QList<int> serials;
        QStringList numbers;
        QString caption, title;
        int picked = 0;
    };
    Found runQuery(AppState& app, query::QueryState& state, std::function<void(TwxcxDlg&)> fill,
                   int pickRow = -1) {
        Found found;
        ModalScript dialogs;
        dialogs.then<TwxcxDlg>([fill](TwxcxDlg& d) {
            fill(d);
            d.BitBtn1Click();
            return d.result();
        });
        dialogs.then<TcxjgDlg1>([&found, pickRow](TcxjgDlg1& w) {
            found.caption = w.windowTitle();
            found.title = w.reportTitle();
            const query::ResultTable& t = w.table();
            const int id = t.fieldIndex(QStringLiteral("ID1"));
            const int bh = t.fieldIndex(QStringLiteral("bh"));
            for (int r = 0; r < t.rowCount(); ++r) {
                found.serials << int(t.integer(r, id));
                found.numbers << t.text(r, bh);
            }
            if (pickRow >= 0) {
                w.selectRows({pickRow});
                w.DBGrid1DblClick();
            }
            return w.result();
        });
        found.picked = movements::runMaintenanceQuery(nullptr, app, state);
        return found;
    }

    int computer = 0, printer = 0, laser = 0, scrapped = 0;
};

TEST_F(MaintenanceQueryTest, DialogOpensWithItsDefaultsAndLists) {
    auto app = inst.signedIn();
    TwxcxDlg d(*app);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("请输入维修查寻条件(含子串)"));
    EXPECT_EQ(d.DateTimePicker1->date(), QDate(1949, 10, 1));
    EXPECT_EQ(d.DateTimePicker4->date(), QDate(1949, 10, 1));
    EXPECT_EQ(d.DateTimePicker2->date(), QDate(2024, 3, 16));
    EXPECT_EQ(d.DateTimePicker3->date(), QDate(2024, 3, 16));
    EXPECT_EQ(d.Label6->text(), QStringLiteral("使用单位："));
    EXPECT_EQ(d.ComboBox4->entries(),
              (QStringList{QStringLiteral("财务科"), QStringLiteral("机房")}));
    EXPECT_EQ(d.ComboBox1->entries(),
              (QStringList{QString(), QStringLiteral("电子设备"), QStringLiteral("办公家具")}));
    // The names come in the dictionary's order.
    EXPECT_EQ(sorted(d.ComboBox2->entries()),
              sorted({QString(), QStringLiteral("电脑"), QStringLiteral("打印机"),
                      QStringLiteral("桌子")}));
    EXPECT_TRUE(d.ComboBox2->entries().first().isEmpty());
    EXPECT_TRUE(d.ComboBox3->entries().isEmpty());
    EXPECT_TRUE(d.BitBtn1->isDefault());
    EXPECT_EQ(d.BitBtn2->text(), QStringLiteral("取消"));
}

TEST_F(MaintenanceQueryTest, DefaultQueryFindsRecordsOfAssetsNotScrapped) {
    start();
    const QString lastQuery = form->queryState().queryText;
    const Found f = runQuery(*state, form->queryState(), [](TwxcxDlg&) {});
    EXPECT_EQ(f.caption, QStringLiteral("维修记录查寻结果"));
    EXPECT_EQ(f.title, QStringLiteral("测试单位维修情况表"));
    // In serial order; the record after tomorrow, the one without a repair date and the
    // scrapped asset's record are left out.
    EXPECT_EQ(f.serials, (QList<int>{computer, computer, printer, laser}));
    // The number is written with exactly four digits: padded, or cut to the last four.
    EXPECT_EQ(f.numbers, (QStringList{QStringLiteral("DZ-0007"), QStringLiteral("DZ-0007"),
                                      QStringLiteral("DY-2345"), QStringLiteral("DY-0002")}));
    EXPECT_EQ(form->queryState().queryText, lastQuery);
    EXPECT_EQ(form->queryState().kind, query::ResultKind::MaintenanceQuery);
}

TEST_F(MaintenanceQueryTest, NameBoxMatchesSubstrings) {
    start();
    const Found f = runQuery(*state, form->queryState(),
                             [](TwxcxDlg& d) { d.ComboBox2->setText(QStringLiteral(" 打印 ")); });
    EXPECT_EQ(f.serials, (QList<int>{printer, laser}));

    // The boxes are trimmed and narrow the query together with the dates.
    const Found g = runQuery(*state, form->queryState(), [](TwxcxDlg& d) {
        d.ComboBox2->setText(QStringLiteral("打印"));
        d.ComboBox4->setText(QStringLiteral("李"));
        d.DateTimePicker3->setDate(QDate(1950, 1, 1));
    });
    EXPECT_EQ(g.serials, (QList<int>{printer}));
}

TEST_F(MaintenanceQueryTest, ScrappedAssetIsLeftOutButItsOwnListShowsIt) {
    start();
    const Found f = runQuery(*state, form->queryState(), [](TwxcxDlg& d) {
        d.ComboBox1->setText(QStringLiteral("电子"));
        d.ComboBox2->setText(QStringLiteral("打印机"));
    });
    EXPECT_EQ(f.serials, (QList<int>{printer}));

    int rows = -1;
    ModalScript dialogs;
    dialogs.then<TcxjgDlg1>([&rows](TcxjgDlg1& w) {
        rows = w.table().rowCount();
        return int(QDialog::Rejected);
    });
    show(scrapped);
    ASSERT_TRUE(form->BitBtn2->isEnabled());
    form->BitBtn2->click();
    EXPECT_EQ(rows, 1);
}

TEST_F(MaintenanceQueryTest, PickedAssetIsShownOnTheCard) {
    start();
    ModalScript dialogs;
    dialogs.then<TwxcxDlg>([](TwxcxDlg& d) {
        d.ComboBox2->setText(QStringLiteral("打印"));
        d.BitBtn1Click();
        return d.result();
    });
    dialogs.then<TcxjgDlg1>([](TcxjgDlg1& w) {
        w.selectRows({1});
        w.DBGrid1DblClick();
        return w.result();
    });
    PromptScript none;
    form->runCommand(form->N12);
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(form->shownSerial(), laser);
    EXPECT_EQ(form->SpinEdit1->value(), laser);
    EXPECT_TRUE(none.seen().isEmpty());
}

TEST_F(MaintenanceQueryTest, CancelledDialogShowsNothing) {
    start();
    show(computer);
    ModalScript dialogs;
    dialogs.then<TwxcxDlg>([](TwxcxDlg& d) {
        d.BitBtn2->click();
        return d.result();
    });
    form->runCommand(form->N12);
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(form->shownSerial(), computer);
}

TEST_F(MaintenanceQueryTest, LeavingCategoryAndNameRefillTheLists) {
    auto app = inst.signedIn();
    TwxcxDlg d(*app);
    d.ComboBox2->setText(QStringLiteral("桌子"));
    d.ComboBox3->setText(QStringLiteral("X9"));
    d.ComboBox1->setText(QStringLiteral(" 电子设备"));
    d.ComboBox1Exit();
    EXPECT_EQ(d.ComboBox1->text(), QStringLiteral("电子设备"));
    EXPECT_EQ(sorted(d.ComboBox2->entries()),
              sorted({QString(), QStringLiteral("电脑"), QStringLiteral("打印机")}));
    EXPECT_TRUE(d.ComboBox2->text().isEmpty());
    EXPECT_TRUE(d.ComboBox3->text().isEmpty());
    EXPECT_TRUE(d.ComboBox4->entries().isEmpty());

    // A name held by a person: the box lists people.
    // A model the name does not have is emptied, and with it a place the new list lacks.
    d.ComboBox4->setText(QStringLiteral("机房"));
    d.ComboBox3->setText(QStringLiteral("X1"));
    d.ComboBox2->setText(QStringLiteral("打印机"));
    d.ComboBox2Exit();
    EXPECT_EQ(d.Label6->text(), QStringLiteral("使用者："));
    EXPECT_TRUE(d.ComboBox4->entries().contains(QStringLiteral("李四")));
    EXPECT_FALSE(d.ComboBox4->entries().contains(QStringLiteral("机房")));
    EXPECT_TRUE(d.ComboBox4->text().isEmpty());
    EXPECT_EQ(d.ComboBox3->entries(), QStringList{QString()});

    // A name kept at a location: places again, with its models.
    d.ComboBox2->setText(QStringLiteral("电脑"));
    d.ComboBox2Exit();
    EXPECT_EQ(d.Label6->text(), QStringLiteral("使用单位："));
    EXPECT_EQ(d.ComboBox4->entries(),
              (QStringList{QStringLiteral("财务科"), QStringLiteral("机房")}));
    EXPECT_EQ(d.ComboBox3->entries(),
              (QStringList{QString(), QStringLiteral("X1"), QStringLiteral("X2")}));

    // An empty category brings every name back.
    d.ComboBox1->setText(QString());
    d.ComboBox1Exit();
    EXPECT_EQ(d.ComboBox2->entries().size(), 4);
}

TEST(MaintenanceQueryText, IsBuiltInTheOrderOfTheBoxes) {
    movements::MaintenanceFilter f;
    f.category = QStringLiteral("电子");
    f.place = QStringLiteral("O'Brien");
    f.sentFrom = QDate(1949, 10, 1);
    f.sentTo = QDate(2024, 3, 16);
    f.repairedFrom = QDate(2000, 1, 2);
    f.repairedTo = QDate(2024, 12, 31);
    EXPECT_EQ(movements::maintenanceQueryText(f),
              QStringLiteral("select ID1,(sbjl.id+RIGHT('000'+TRIM(STR(sbjl.num)),4)) AS bh,zclb,"
                             "sbmc,sbxh,sbpz,wz,sxrq,wxrq,ghpj,wxfy from sbjl,wxjlb where "
                             "sbjl.ID1=wxjlb.id and zclb like '%电子%' and wz like '%O''Brien%'"
                             " and sxrq>=#10/01/1949# and sxrq<=#03/16/2024# and wxrq>=#01/02/2000#"
                             " and wxrq<=#12/31/2024# and not ybf"));
    EXPECT_EQ(movements::maintenanceListQuery(42),
              QStringLiteral("select * from wxjlb where id=42"));
    EXPECT_EQ(movements::maintenanceListTitle(42), QStringLiteral("第42号固定资产维修记录表"));
}

}  // namespace
}  // namespace fx::test
