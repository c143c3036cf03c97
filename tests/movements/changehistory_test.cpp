// Transfers and loans in the change history, and the card's "变更记录" listing an asset's
// history newest first in the results window.
#include <gtest/gtest.h>

#include <QPushButton>

#include "changerecorder.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "loanstore.h"
#include "maintenancefixture.h"
#include "resulttable.h"
#include "rowset.h"
#include "schema.h"
#include "scripts.h"
#include "tcxjgdlg1.h"
#include "transferstore.h"

namespace fx::test {
namespace {

class ChangeHistoryTest : public MaintenanceTest {
protected:
    void SetUp() override {
        MaintenanceTest::SetUp();
        setPrefix(QStringLiteral("DZ-"), 9);
    }
    // "operation serial number changes" of every row, oldest first.
    QStringList rows() {
        auto h = db::Connection::open(state->historyDatabasePath(),
                                      QString::fromLatin1(schema::kHistoryPassword));
        db::RowSet rs(*h, QStringLiteral("select * from czjl order by index"));
        rs.open();
        QStringList out;
        for (; !rs.eof(); rs.next())
            out << rs.text(QStringLiteral("cz")) + QLatin1Char(' ') +
                       rs.text(QStringLiteral("id")) + QLatin1Char(' ') +
                       rs.text(QStringLiteral("zcbh")) + QLatin1Char(' ') +
                       rs.text(QStringLiteral("bgnr"));
        return out;
    }
};

TEST_F(ChangeHistoryTest, TransferLendAndReturnAreRecordedAndListedNewestFirst) {
    const int serial = addAsset(QStringLiteral("DZ-"), 1);
    start();
    const QDate day = Clock::today();
    movements::transferAsset(*state, {serial, QStringLiteral("财务科"), QStringLiteral("李四")},
                             {QStringLiteral("机房"), QString(), kAdmin, day});
    movements::Loan loan;
    loan.id = serial;
    loan.lender = QStringLiteral("张三");
    loan.borrower = QStringLiteral("王五");
    loan.place = QStringLiteral("财务科");
    loan.lent = day;
    movements::lend(*state->current, state->history.get(), loan, kAdmin);
    movements::giveBack(*state->current, state->history.get(), loan, kAdmin, day);
    const QString d = day.toString(Qt::ISODate);
    EXPECT_EQ(rows(),
              (QStringList{
                  QStringLiteral("调拨 %1 DZ-1 位置(使用者)：财务科 → 机房；保管人：李四 → ；"
                                 "配置日期：2020-05-06 → %2")
                      .arg(serial)
                      .arg(d),
                  QStringLiteral("借出 %1 DZ-1 借用人：王五；借用单位：财务科；借出日期：%2")
                      .arg(serial)
                      .arg(d),
                  QStringLiteral("归还 %1 DZ-1 借用人：王五；归还日期：%2").arg(serial).arg(d),
              }));

    show(serial);
    ASSERT_TRUE(form->BitBtn9->isEnabled());
    const QString title = QStringLiteral("第%1号固定资产变更记录表").arg(serial);
    QStringList listed;
    ModalScript dialogs;
    dialogs.then([&](QDialog& dlg) {
        auto& w = dynamic_cast<query::TcxjgDlg1&>(dlg);
        EXPECT_EQ(w.windowTitle(), title);
        EXPECT_EQ(w.reportTitle(), title);
        EXPECT_EQ(w.kind(), query::ResultKind::ChangeHistory);
        const query::ResultTable& t = w.table();
        for (int r = 0; r < t.rowCount(); ++r)
            listed << t.text(r, t.fieldIndex(QStringLiteral("cz")));
        return int(QDialog::Rejected);
    });
    form->BitBtn9->click();
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(listed, (QStringList{QStringLiteral("归还"), QStringLiteral("借出"),
                                   QStringLiteral("调拨")}));
}

TEST_F(ChangeHistoryTest, ATransferWhoseHistoryRowIsRefusedChangesNothing) {
    const int serial = addAsset(QStringLiteral("DZ-"), 1);
    start();
    state->history->executeNative(
        QStringLiteral("create trigger refuse_row before insert on czjl "
                       "begin select raise(abort, '操作记录表只读'); end"));
    EXPECT_THROW(
        movements::transferAsset(*state, {serial, QStringLiteral("财务科"), QStringLiteral("李四")},
                                 {QStringLiteral("机房"), QString(), kAdmin, Clock::today()}),
        db::DbError);
    EXPECT_EQ(field(serial, QStringLiteral("wz")), QStringLiteral("财务科"));
    EXPECT_EQ(state->history->queryValue(QStringLiteral("select count(*) from his")).toInt(), 0);
}

}  // namespace
}  // namespace fx::test
