#include <QStringList>

#include "connection.h"
#include "loanfixture.h"
#include "loanstore.h"
#include "rowset.h"
#include "schema.h"

namespace fx::test {
namespace {

using movements::Loan;
using movements::LoanRefused;

Loan loanOf(int id, const QString& borrower, const QString& place, const QDate& lent,
            const QDate& planned = QDate()) {
    Loan loan;
    loan.id = id;
    loan.lender = QStringLiteral("张三");
    loan.borrower = borrower;
    loan.approver = QStringLiteral("仓管员");
    loan.place = place;
    loan.lent = lent;
    loan.plannedReturn = planned;
    loan.note = QStringLiteral("会议用'临时'");
    return loan;
}

class LoanStoreTest : public LoanTestOnBothEngines {
protected:
    static QString historyPassword() { return QString::fromLatin1(schema::kHistoryPassword); }
    int openLoans() const {
        return currentValue(QStringLiteral("select count(*) from jcb")).toInt();
    }
    bool lent(int id) const {
        return currentValue(QStringLiteral("select yjc from sbjl where ID1=%1").arg(id)).toInt() ==
               1;
    }
    int rowsOf(const QString& jetSql) const {
        db::RowSet rows(*app->current, jetSql);
        rows.open();
        return rows.count();
    }
};
INSTANTIATE_TEST_SUITE_P(Engines, LoanStoreTest, bothEngines(), engineName);

TEST_P(LoanStoreTest, LendAndReturnKeepFlagLoanRowAndHistoryTogether) {
    movements::lend(
        *app->current, app->history.get(),
        loanOf(1, QStringLiteral("王五"), QStringLiteral("财务科"), today(), today().addDays(7)),
        app->userName);
    EXPECT_EQ(openLoans(), 1);
    EXPECT_TRUE(lent(1));
    const auto loan = movements::openLoan(*app->current, 1);
    ASSERT_TRUE(loan.has_value());
    EXPECT_EQ(loan->note, QStringLiteral("会议用'临时'"));
    EXPECT_EQ(loan->plannedReturn, today().addDays(7));

    movements::giveBack(*app->current, app->history.get(), *loan, QStringLiteral("出纳"),
                        today().addDays(3));
    EXPECT_EQ(openLoans(), 0);
    EXPECT_FALSE(lent(1));
    EXPECT_FALSE(movements::openLoan(*app->current, 1).has_value());

    // Both events, in order; the return names its operator and its actual date, and the approver
    // goes into neither row.
    db::RowSet rows(*app->history, QStringLiteral("select * from jyjlb where id=1"));
    rows.open();
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.text(QStringLiteral("bz")), QStringLiteral("借出"));
    EXPECT_EQ(rows.text(QStringLiteral("czy")), QStringLiteral("仓管员"));
    EXPECT_EQ(rows.date(QStringLiteral("ghrq")), today().addDays(7));
    EXPECT_TRUE(rows.isNull(QStringLiteral("trueghrq")));
    rows.next();
    EXPECT_EQ(rows.text(QStringLiteral("bz")), QStringLiteral("归还"));
    EXPECT_EQ(rows.text(QStringLiteral("czy")), QStringLiteral("出纳"));
    EXPECT_EQ(rows.text(QStringLiteral("jyr")), QStringLiteral("王五"));
    EXPECT_EQ(rows.text(QStringLiteral("jydw")), QStringLiteral("财务科"));
    EXPECT_EQ(rows.date(QStringLiteral("jcrq")), today());
    EXPECT_EQ(rows.date(QStringLiteral("ghrq")), today().addDays(7));
    EXPECT_EQ(rows.date(QStringLiteral("trueghrq")), today().addDays(3));
}

TEST_P(LoanStoreTest, ReturnLeavesOutAPlannedDateBeforeTheLendingDate) {
    Loan loan = loanOf(1, QStringLiteral("王五"), QString(), today(), today().addDays(-2));
    movements::lend(*app->current, app->history.get(), loan, app->userName);
    movements::giveBack(*app->current, app->history.get(), loan, app->userName, today());
    EXPECT_TRUE(historyValue(QStringLiteral("select ghrq from jyjlb where bz='归还'")).isNull());
}

TEST_P(LoanStoreTest, TwoWorkstationsLendingOneAssetAtOnceLeaveOneLoan) {
    // The second workstation has its own connections to both databases.
    auto otherCurrent = install.openCurrentDatabase();
    auto otherHistory = install.openHistoryDatabase();
    // Both opened the dialog while the asset was in stock.
    EXPECT_FALSE(movements::openLoan(*app->current, 1).has_value());
    EXPECT_FALSE(movements::openLoan(*otherCurrent, 1).has_value());

    movements::lend(*app->current, app->history.get(),
                    loanOf(1, QStringLiteral("王五"), QString(), today()), app->userName);
    try {
        movements::lend(*otherCurrent, otherHistory.get(),
                        loanOf(1, QStringLiteral("赵六"), QString(), today()),
                        QStringLiteral("出纳"));
        FAIL() << "the second lend went through";
    } catch (const LoanRefused& e) {
        EXPECT_EQ(e.message(), QStringLiteral("该固定资产已被其他用户借出,不能再次出借。"));
    }
    EXPECT_EQ(openLoans(), 1);
    EXPECT_EQ(currentValue(QStringLiteral("select jyr from jcb")).toString(),
              QStringLiteral("王五"));
    EXPECT_TRUE(lent(1));
    // The refused lend left no history row behind.
    EXPECT_EQ(historyCount(1), 1);
}

TEST_P(LoanStoreTest, NoHistoryDatabaseRefusesBeforeTheRegisterChanges) {
    try {
        movements::lend(*app->current, nullptr,
                        loanOf(1, QStringLiteral("王五"), QString(), today()), app->userName);
        FAIL() << "lent without a history";
    } catch (const LoanRefused& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("操作未执行")));
    }
    EXPECT_EQ(openLoans(), 0);
    EXPECT_FALSE(lent(1));
}

TEST_P(LoanStoreTest, HistoryRefusingTheRowLeavesTheRegisterAsItWas) {
    const Loan loan = loanOf(1, QStringLiteral("王五"), QString(), today());
    movements::lend(*app->current, app->history.get(), loan, app->userName);
    // Another program broke the history database: the row cannot be written.
    auto breaker = install.openHistoryDatabase();
    breaker->executeNative(QStringLiteral("DROP TABLE jyjlb"));

    EXPECT_THROW(
        movements::giveBack(*app->current, app->history.get(), loan, app->userName, today()),
        LoanRefused);
    EXPECT_EQ(openLoans(), 1);
    EXPECT_TRUE(lent(1));
    EXPECT_THROW(
        movements::lend(*app->current, app->history.get(),
                        loanOf(2, QStringLiteral("王五"), QString(), today()), app->userName),
        LoanRefused);
    EXPECT_FALSE(lent(2));
    EXPECT_EQ(openLoans(), 1);
}

TEST_P(LoanStoreTest, AHistoryThatCannotBeSavedAfterTheLendIsToldAsSuchNotAsARefusal) {
    // Another workstation reads the history database while the row is saved, and this one
    // does not wait for it: the register's change is saved, the history row is not.
    if (onServer()) GTEST_SKIP() << "on the server a reader never holds up a writer";
    app->history->executeNative(QStringLiteral("PRAGMA busy_timeout=0"));
    auto reader = db::Connection::open(app->historyDatabasePath(), historyPassword());
    reader->executeNative(QStringLiteral("BEGIN"));
    reader->executeNative(QStringLiteral("select count(*) from jyjlb"));
    try {
        movements::lend(*app->current, app->history.get(),
                        loanOf(1, QStringLiteral("王五"), QString(), today()), app->userName);
        ADD_FAILURE() << "the lend was reported as complete";
    } catch (const movements::LoanNotRecorded& e) {
        EXPECT_TRUE(
            e.message().startsWith(QStringLiteral("该资产已经借出，但借出归还记录无法写入。")))
            << e.message().toStdString();
    }
    reader->executeNative(QStringLiteral("COMMIT"));
    EXPECT_EQ(openLoans(), 1);
    EXPECT_TRUE(lent(1));
    EXPECT_EQ(rowsOf(QStringLiteral("select * from jcb where id=1")), 1);
}

TEST_P(LoanStoreTest, ReturnOfALoanAnotherUserTookBackIsRefusedWithoutHistory) {
    const Loan loan = loanOf(1, QStringLiteral("王五"), QString(), today());
    movements::lend(*app->current, app->history.get(), loan, app->userName);
    movements::giveBack(*app->current, app->history.get(), loan, app->userName, today());
    EXPECT_THROW(
        movements::giveBack(*app->current, app->history.get(), loan, app->userName, today()),
        LoanRefused);
    EXPECT_EQ(historyCount(1), 2);
    EXPECT_FALSE(lent(1));
}

TEST_P(LoanStoreTest, ListsOfferOpenLoansMostRecentFirst) {
    movements::lend(
        *app->current, app->history.get(),
        loanOf(1, QStringLiteral("王五"), QStringLiteral("财务科"), today().addDays(-5)),
        app->userName);
    movements::lend(*app->current, app->history.get(),
                    loanOf(2, QStringLiteral("赵六"), QString(), today().addDays(-1)),
                    app->userName);
    EXPECT_EQ(movements::recentBorrowers(*app->current),
              (QStringList{QStringLiteral("赵六"), QStringLiteral("王五")}));
    // An empty place is not offered.
    EXPECT_EQ(movements::recentPlaces(*app->current), QStringList{QStringLiteral("财务科")});

    // 王五 occurs only in a returned loan now.
    movements::giveBack(*app->current, app->history.get(), *movements::openLoan(*app->current, 1),
                        app->userName, today());
    EXPECT_EQ(movements::recentBorrowers(*app->current), QStringList{QStringLiteral("赵六")});
    EXPECT_TRUE(movements::recentPlaces(*app->current).isEmpty());
}

TEST_P(LoanStoreTest, DueListTakesLoansDueTodayOrEarlierAndNeverUndatedOnes) {
    movements::lend(*app->current, app->history.get(),
                    loanOf(1, QStringLiteral("王五"), QString(), today().addDays(-3), today()),
                    app->userName);
    movements::lend(*app->current, app->history.get(),
                    loanOf(2, QStringLiteral("赵六"), QString(), today().addDays(-30)),
                    app->userName);
    EXPECT_EQ(movements::dueLoansQuery(today()),
              QStringLiteral("select * from jcb where ghrq<=#06/15/2024#"));
    EXPECT_EQ(rowsOf(movements::dueLoansQuery(today())), 1);
    EXPECT_EQ(rowsOf(movements::dueLoansQuery(today().addDays(-1))), 0);
    EXPECT_EQ(rowsOf(movements::allLoansQuery()), 2);
}

}  // namespace
}  // namespace fx::test
