#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "clock.h"
#include "connection.h"
#include "displayonly.h"
#include "dump.h"
#include "loancommands.h"
#include "loanfixture.h"
#include "loanstore.h"
#include "reportpreview.h"
#include "scripts.h"
#include "tcxjgdlg1.h"
#include "tjcjldlg.h"

namespace fx::test {
namespace {

using movements::Tjcjldlg;
using query::TcxjgDlg1;

movements::CardAsset computer() {
    return {1, QStringLiteral("JSJ-1"), QStringLiteral("电脑"), QStringLiteral("X1"),
            QStringLiteral("i5 8G")};
}

// Fills the lending dialog as a user would and presses "出借".
void fillAndLend(Tjcjldlg& d, const QString& borrower, const QDate& planned) {
    d.DBComboBox1->setCurrentIndex(d.DBComboBox1->findText(QStringLiteral("张三")));
    d.DBComboBox2->setEditText(borrower);
    d.DBComboBox3->setEditText(QStringLiteral("财务科"));
    d.setPlannedReturn(planned);
    EXPECT_TRUE(d.BitBtn1Click());
}

class LendingTest : public LoanTestOnBothEngines {
protected:
    // Lends an asset through the loan button without a slip.
    void lendThroughButton(const movements::CardAsset& asset, const QString& borrower,
                           const QDate& planned) {
        ModalScript modal;
        modal.then<Tjcjldlg>([&](Tjcjldlg& d) {
            fillAndLend(d, borrower, planned);
            return d.result();
        });
        EXPECT_TRUE(movements::lendOrReturn(nullptr, *app, asset));
    }
    // Opens a list through its command and returns what the results window showed.
    struct Shown {
        QString caption;
        QString title;
        query::ResultKind kind;
        int rows;
    };
    template <typename Command>
    Shown showThrough(Command command) {
        Shown shown{};
        ModalScript modal;
        modal.then<TcxjgDlg1>([&](TcxjgDlg1& w) {
            shown = {w.windowTitle(), w.reportTitle(), w.kind(), w.table().rowCount()};
            return int(QDialog::Rejected);
        });
        command();
        return shown;
    }
    query::QueryState state;
};
INSTANTIATE_TEST_SUITE_P(Engines, LendingTest, bothEngines(), engineName);

TEST_P(LendingTest, DialogInLendingModeOffersTheSlipAndNeedsTheLendingRight) {
    Tjcjldlg d(*app, 1);
    EXPECT_TRUE(d.lending());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("借出记录"));
    EXPECT_EQ(d.GroupBox1->title(), QStringLiteral("固定资产第1号"));
    EXPECT_EQ(d.BitBtn1->text(), QStringLiteral("出借"));
    EXPECT_EQ(d.DBEdit2->text(), QStringLiteral("仓管员"));
    EXPECT_TRUE(d.DBEdit2->isReadOnly());
    EXPECT_TRUE(d.DateTimePicker1->isReadOnly());
    EXPECT_EQ(d.DateTimePicker1->date(), today());
    EXPECT_FALSE(d.plannedReturn().isValid());
    // Every person in table order, after the installation's own row.
    ASSERT_EQ(d.DBComboBox1->count(), 3);
    EXPECT_EQ(d.DBComboBox1->itemText(1), QStringLiteral("张三"));
    EXPECT_EQ(d.DBComboBox1->itemText(2), QStringLiteral("李四"));
    // No date before today can be chosen: the earliest one means "none".
    d.DateTimePicker2->setDate(today().addDays(-10));
    EXPECT_FALSE(d.plannedReturn().isValid());
    EXPECT_FALSE(d.CheckBox1->isHidden());
    EXPECT_TRUE(d.CheckBox2->isHidden());
    d.CheckBox1->setChecked(true);
    EXPECT_FALSE(d.CheckBox2->isHidden());
    EXPECT_TRUE(d.BitBtn1->isEnabled());

    app->rights.jc = false;
    Tjcjldlg refused(*app, 1);
    EXPECT_FALSE(refused.BitBtn1->isEnabled());
    EXPECT_FALSE(refused.BitBtn1Click());
    EXPECT_EQ(currentValue(QStringLiteral("select count(*) from jcb")).toInt(), 0);
}

TEST_P(LendingTest, LoanWithoutPlannedDateEndsTheSlipAndIsNeverDue) {
    ModalScript modal;
    modal.then<Tjcjldlg>([&](Tjcjldlg& d) {
        d.CheckBox1->setChecked(true);
        d.CheckBox2->setChecked(true);
        fillAndLend(d, QStringLiteral("王五"), QDate());
        return d.result();
    });
    QString slip;
    modal.then<report::ReportPreview>([&](report::ReportPreview& p) {
        slip = report::dumpDocument(p.document());
        return int(QDialog::Rejected);
    });
    EXPECT_TRUE(movements::lendOrReturn(nullptr, *app, computer()));
    EXPECT_TRUE(modal.done());
    EXPECT_TRUE(slip.contains(QStringLiteral("使用完毕后及时归还入库")));
    EXPECT_TRUE(slip.contains(QStringLiteral("财务科王五")));
    EXPECT_TRUE(slip.contains(QStringLiteral("固定资产配置：i5 8G")));
    EXPECT_TRUE(slip.contains(QStringLiteral("青石岭公司")));
    EXPECT_TRUE(currentValue(QStringLiteral("select ghrq from jcb where id=1")).isNull());

    // Not due today, nor in a year.
    EXPECT_EQ(showThrough([&] { movements::showDueLoans(nullptr, *app, state); }).rows, 0);

    // Taken back: neither history row carries a planned date.
    ModalScript back;
    back.then<Tjcjldlg>([](Tjcjldlg& d) {
        EXPECT_FALSE(d.plannedReturn().isValid());
        EXPECT_TRUE(d.BitBtn1Click());
        return d.result();
    });
    EXPECT_TRUE(movements::lendOrReturn(nullptr, *app, computer()));
    EXPECT_EQ(historyCount(1), 2);
    EXPECT_EQ(historyValue(QStringLiteral("select count(*) from jyjlb where ghrq is null")).toInt(),
              2);
}

TEST_P(LendingTest, LoanDueTodayIsListedAsOverdue) {
    lendThroughButton(computer(), QStringLiteral("王五"), today());
    lendThroughButton({2, QStringLiteral("JSJ-2"), QStringLiteral("打印机"), {}, {}},
                      QStringLiteral("赵六"), today().addDays(1));

    const Shown due = showThrough([&] { movements::showDueLoans(nullptr, *app, state); });
    EXPECT_EQ(due.caption, QStringLiteral("出借到期未归还列表"));
    EXPECT_EQ(due.title, QStringLiteral("青石岭公司出借资产到期表"));
    EXPECT_EQ(due.kind, query::ResultKind::LendingList);
    EXPECT_EQ(due.rows, 1);

    const Shown all = showThrough([&] { movements::showAllLoans(nullptr, *app, state); });
    EXPECT_EQ(all.caption, QStringLiteral("出借固定资产列表"));
    EXPECT_EQ(all.title, QStringLiteral("青石岭公司固定资产出借表"));
    EXPECT_EQ(all.kind, query::ResultKind::LendingList);
    EXPECT_EQ(all.rows, 2);
}

TEST_P(LendingTest, ReturnRuleDecidesWhoMayTakeBack) {
    lendThroughButton(computer(), QStringLiteral("王五"), QDate());
    app->userName = QStringLiteral("出纳");

    // Only the approver may take it back.
    app->settings.returner = 0;
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"),
                       QStringLiteral("只有该借出物的批复人才有权归还它。"));
        Tjcjldlg d(*app, 1);
        EXPECT_FALSE(d.lending());
        EXPECT_EQ(d.BitBtn1->text(), QStringLiteral("归还"));
        EXPECT_EQ(d.DBEdit2->text(), QStringLiteral("仓管员"));
        EXPECT_TRUE(ui::isDisplayOnly(d.DBComboBox2));
        EXPECT_TRUE(d.CheckBox1->isHidden());
        EXPECT_FALSE(d.BitBtn1Click());
        EXPECT_EQ(d.result(), int(QDialog::Rejected));
    }
    EXPECT_EQ(currentValue(QStringLiteral("select count(*) from jcb")).toInt(), 1);

    // Without the return right the button is off whatever the rule.
    app->settings.returner = 1;
    app->rights.gh = false;
    EXPECT_FALSE(Tjcjldlg(*app, 1).BitBtn1->isEnabled());

    // Any user with the return right.
    app->rights.gh = true;
    Tjcjldlg d(*app, 1);
    EXPECT_TRUE(d.BitBtn1Click());
    EXPECT_EQ(currentValue(QStringLiteral("select yjc from sbjl where ID1=1")).toInt(), 0);
    EXPECT_EQ(historyValue(QStringLiteral("select czy from jyjlb where bz='归还'")).toString(),
              QStringLiteral("出纳"));
}

TEST_P(LendingTest, ReturnModeShowsTheLoanInOneReadOnlyLook) {
    lendThroughButton(computer(), QStringLiteral("王五"), today().addDays(3));
    Tjcjldlg d(*app, 1);
    ASSERT_FALSE(d.lending());
    const QPalette palette = QApplication::palette();
    for (QWidget* w :
         std::initializer_list<QWidget*>{d.DBComboBox1, d.DBComboBox2, d.DBEdit2, d.DBComboBox3,
                                         d.DateTimePicker1, d.DateTimePicker2}) {
        const std::string name = w->objectName().toStdString();
        EXPECT_TRUE(w->isEnabled()) << name;
        EXPECT_TRUE(ui::isDisplayOnly(w)) << name;
        EXPECT_EQ(w->focusPolicy(), Qt::NoFocus) << name;
        EXPECT_EQ(w->palette().color(QPalette::Text),
                  palette.color(w->palette().currentColorGroup(), QPalette::Text))
            << name;
    }
    QTest::keyClick(d.DBComboBox2->lineEdit(), Qt::Key_X);
    EXPECT_EQ(d.DBComboBox2->currentText(), QStringLiteral("王五"));
    // The remark is what a return may add.
    EXPECT_FALSE(ui::isDisplayOnly(d.DBEdit4));
    EXPECT_NE(d.DBEdit4->focusPolicy(), Qt::NoFocus);
}

TEST_P(LendingTest, ARemarkTypedOnReturnIsKeptInTheReturnRow) {
    {
        Tjcjldlg d(*app, 1);
        d.DBComboBox1->setCurrentIndex(d.DBComboBox1->findText(QStringLiteral("张三")));
        d.DBComboBox2->setEditText(QStringLiteral("王五"));
        d.DBEdit4->setText(QStringLiteral("带充电器"));
        ASSERT_TRUE(d.BitBtn1Click());
    }
    Tjcjldlg d(*app, 1);
    ASSERT_FALSE(d.lending());
    EXPECT_EQ(d.DBEdit4->text(), QStringLiteral("带充电器"));
    d.DBEdit4->setText(QStringLiteral("屏幕有划痕"));
    ASSERT_TRUE(d.BitBtn1Click());
    EXPECT_EQ(historyValue(QStringLiteral("select other from jyjlb where bz='归还'")).toString(),
              QStringLiteral("屏幕有划痕"));
    EXPECT_EQ(historyValue(QStringLiteral("select other from jyjlb where bz='借出'")).toString(),
              QStringLiteral("带充电器"));
}

TEST_P(LendingTest, BorrowerOnlyInReturnedLoansIsNoLongerOffered) {
    lendThroughButton(computer(), QStringLiteral("王五"), QDate());
    lendThroughButton({2, QStringLiteral("JSJ-2"), QStringLiteral("打印机"), {}, {}},
                      QStringLiteral("赵六"), QDate());
    EXPECT_EQ(Tjcjldlg(*app, 1).DBComboBox2->count(), 2);
    Tjcjldlg back(*app, 1);
    ASSERT_TRUE(back.BitBtn1Click());

    Tjcjldlg d(*app, 1);
    EXPECT_EQ(d.DBComboBox2->count(), 1);
    EXPECT_EQ(d.DBComboBox2->itemText(0), QStringLiteral("赵六"));
    EXPECT_EQ(d.DBComboBox3->findText(QStringLiteral("财务科")), 0);
}

TEST_P(LendingTest, HistoryListShowsTheLendingAndTheReturn) {
    lendThroughButton(computer(), QStringLiteral("王五"), today().addDays(5));
    Clock::set(QDateTime(today().addDays(2), QTime(9, 0)));
    ASSERT_TRUE(Tjcjldlg(*app, 1).BitBtn1Click());
    EXPECT_EQ(historyValue(QStringLiteral("select trueghrq from jyjlb where bz='归还'")).toString(),
              QStringLiteral("2024-06-17"));
    EXPECT_TRUE(
        historyValue(QStringLiteral("select trueghrq from jyjlb where bz='借出'")).isNull());

    const Shown shown = showThrough([&] { movements::showLoanHistory(nullptr, *app, state, 1); });
    EXPECT_EQ(shown.caption, QStringLiteral("第1号固定资产借出归还记录表"));
    EXPECT_EQ(shown.title, shown.caption);
    EXPECT_EQ(shown.kind, query::ResultKind::LendingHistory);
    EXPECT_EQ(shown.rows, 2);
}

TEST_P(LendingTest, AssetDeletedByAnotherUserIsReported) {
    app->current->execute(QStringLiteral("delete from sbjl where ID1=1"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"),
                   QStringLiteral("该记录已被其他用户删除,不能再对它进行修改。"));
    ModalScript modal;  // no dialog may open
    EXPECT_FALSE(movements::lendOrReturn(nullptr, *app, computer()));
}

TEST_P(LendingTest, RefusedLendKeepsTheDialogOpenWithTheReason) {
    // Another workstation lent the asset after this dialog was opened.
    Tjcjldlg d(*app, 1);
    auto other = install.openCurrentDatabase();
    other->execute(QStringLiteral("insert into jcb (id,jyr) values (1,'赵六')"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("警告"), QStringLiteral("已被其他用户借出"));
    EXPECT_FALSE(d.BitBtn1Click());
    EXPECT_EQ(d.result(), int(QDialog::Rejected));
    EXPECT_EQ(historyCount(1), 0);
}

}  // namespace
}  // namespace fx::test
