#include "loanstore.h"

#include <memory>

#include "changerecorder.h"
#include "connection.h"
#include "dberror.h"
#include "quote.h"
#include "rowset.h"

namespace fx::movements {

namespace {

QString dateOrNull(const QDate& d) {
    return d.isValid() ? db::jetDate(d) : QStringLiteral("null");
}

QStringList firstColumn(db::Connection& c, const QString& sql) {
    QStringList values;
    db::RowSet rows(c, sql);
    rows.open();
    for (rows.first(); !rows.eof(); rows.next()) {
        const QString v = rows.value(0).toString();
        if (!v.isEmpty()) values << v;
    }
    return values;
}

// The history row of an event; `returned` is set only for a return.
QString historyInsert(const Loan& loan, const QString& operatorName, const QDate& plannedReturn,
                      const QDate& returned, const QString& event) {
    return QStringLiteral(
               "insert into jyjlb (id,czy,jyr,jydw,jcr,jcrq,ghrq,other,trueghrq,bz) values (") +
           QString::number(loan.id) + QLatin1Char(',') + db::quoted(operatorName) +
           QLatin1Char(',') + db::quoted(loan.borrower) + QLatin1Char(',') +
           db::quoted(loan.place) + QLatin1Char(',') + db::quoted(loan.lender) + QLatin1Char(',') +
           dateOrNull(loan.lent) + QLatin1Char(',') + dateOrNull(plannedReturn) + QLatin1Char(',') +
           db::quoted(loan.note) + QLatin1Char(',') + dateOrNull(returned) + QLatin1Char(',') +
           db::quoted(event) + QLatin1Char(')');
}

// Writes the history row in an open transaction that the caller commits after the current
// database committed its part. A missing history database or a refused row ends the operation
// here, before anything else changed.
// The change history's row of the event goes into the same transaction.
std::unique_ptr<db::Transaction> writeHistory(db::Connection& current, db::Connection* history,
                                              const QString& insert, const Loan& loan,
                                              const QString& operatorName, const QString& event,
                                              const QString& note) {
    if (!history)
        throw LoanRefused(QStringLiteral("借出归还记录库没有打开,无法记录本次操作,操作未执行。"));
    try {
        auto t = std::make_unique<db::Transaction>(*history);
        history->execute(insert);
        history::ChangeRecorder recorder(history, operatorName);
        recorder.begin();
        recorder.recordNote(event, loan.id, history::assetNumberOf(current, loan.id), note);
        recorder.commit();
        return t;
    } catch (const db::DbError& e) {
        throw LoanRefused(QStringLiteral("借出归还记录无法写入,操作未执行。\n") + e.message());
    }
}

// Saves the history row once the register's change is saved; `done` names what was done.
void commitHistory(db::Transaction& t, const QString& done) {
    try {
        t.commit();
    } catch (const db::DbError& e) {
        throw LoanNotRecorded(QStringLiteral("该资产已经") + done +
                              QStringLiteral("，但借出归还记录无法写入。\n") + e.message());
    }
}

}  // namespace

std::optional<Loan> openLoan(db::Connection& current, int id) {
    db::RowSet rows(current, QStringLiteral("select * from jcb where id=") + QString::number(id));
    rows.open();
    if (rows.eof()) return std::nullopt;
    Loan loan;
    loan.id = id;
    loan.lender = rows.text(QStringLiteral("jcr"));
    loan.borrower = rows.text(QStringLiteral("jyr"));
    loan.approver = rows.text(QStringLiteral("pzr"));
    loan.place = rows.text(QStringLiteral("jydw"));
    loan.lent = rows.date(QStringLiteral("jcrq"));
    loan.plannedReturn = rows.date(QStringLiteral("ghrq"));
    loan.note = rows.text(QStringLiteral("other"));
    return loan;
}

QStringList recentBorrowers(db::Connection& current) {
    return firstColumn(current,
                       QStringLiteral("select jyr from jcb group by jyr order by MAX(jcrq) desc"));
}

QStringList recentPlaces(db::Connection& current) {
    return firstColumn(
        current, QStringLiteral("select jydw from jcb group by jydw order by MAX(jcrq) desc"));
}

void lend(db::Connection& current, db::Connection* history, const Loan& loan,
          const QString& operatorName) {
    auto historyRow = writeHistory(
        current, history,
        historyInsert(loan, operatorName, loan.plannedReturn, QDate(), QStringLiteral("借出")),
        loan, operatorName, QString::fromUtf8(history::op::kLend),
        QStringLiteral("借用人：%1；借用单位：%2；借出日期：%3")
            .arg(loan.borrower, loan.place, loan.lent.toString(Qt::ISODate)));
    try {
        db::Transaction t(current);
        // The unique index on jcb.id refuses a second open loan, also one that another
        // workstation inserted after this dialog was opened.
        current.execute(QStringLiteral("insert into jcb (id,jcr,pzr,jyr,jydw,jcrq,ghrq,other) "
                                       "values (") +
                        QString::number(loan.id) + QLatin1Char(',') + db::quoted(loan.lender) +
                        QLatin1Char(',') + db::quoted(loan.approver) + QLatin1Char(',') +
                        db::quoted(loan.borrower) + QLatin1Char(',') + db::quoted(loan.place) +
                        QLatin1Char(',') + dateOrNull(loan.lent) + QLatin1Char(',') +
                        dateOrNull(loan.plannedReturn) + QLatin1Char(',') + db::quoted(loan.note) +
                        QLatin1Char(')'));
        if (current.execute(QStringLiteral("update sbjl set yjc=true where ID1=") +
                            QString::number(loan.id)) != 1)
            throw LoanRefused(QStringLiteral("该记录已被其他用户删除,不能再对它进行修改。"));
        t.commit();
    } catch (const db::DbError& e) {
        if (e.isConstraint())
            throw LoanRefused(QStringLiteral("该固定资产已被其他用户借出,不能再次出借。"));
        throw LoanRefused(e.message());
    }
    commitHistory(*historyRow, QStringLiteral("借出"));
}

void giveBack(db::Connection& current, db::Connection* history, const Loan& loan,
              const QString& operatorName, const QDate& returned) {
    // The planned date goes into the history only when it is a real one, not earlier than the
    // lending date.
    const QDate planned = loan.plannedReturn.isValid() && loan.plannedReturn >= loan.lent
                              ? loan.plannedReturn
                              : QDate();
    auto historyRow =
        writeHistory(current, history,
                     historyInsert(loan, operatorName, planned, returned, QStringLiteral("归还")),
                     loan, operatorName, QString::fromUtf8(history::op::kReturn),
                     QStringLiteral("借用人：%1；归还日期：%2")
                         .arg(loan.borrower, returned.toString(Qt::ISODate)));
    try {
        db::Transaction t(current);
        if (current.execute(QStringLiteral("delete from jcb where id=") +
                            QString::number(loan.id)) != 1)
            throw LoanRefused(QStringLiteral("该固定资产已被其他用户归还。"));
        current.execute(QStringLiteral("update sbjl set yjc=false where ID1=") +
                        QString::number(loan.id));
        t.commit();
    } catch (const db::DbError& e) {
        throw LoanRefused(e.message());
    }
    commitHistory(*historyRow, QStringLiteral("归还"));
}

QString allLoansQuery() {
    return QStringLiteral("select * from jcb");
}

QString dueLoansQuery(const QDate& today) {
    return QStringLiteral("select * from jcb where ghrq<=#") +
           today.toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char('#');
}

QString loanHistoryQuery(int id) {
    return QStringLiteral("select * from jyjlb where id=") + QString::number(id);
}

}  // namespace fx::movements
