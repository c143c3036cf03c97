#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

namespace fx::db {
class Connection;
}

// The database side of lending and return: the open loans of `jcb` on the current database,
// the asset's lent flag `yjc`, and the loan history `jyjlb` on the history database.

namespace fx::movements {

// One loan as `jcb` holds it.
struct Loan {
    int id = 0;           // the asset's ID1
    QString lender;       // jcr
    QString borrower;     // jyr
    QString approver;     // pzr
    QString place;        // jydw
    QDate lent;           // jcrq
    QDate plannedReturn;  // ghrq; invalid when none
    QString note;         // other
};

// A lend or return that was not carried out; the message says why, for the user.
class LoanRefused : public std::runtime_error {
public:
    explicit LoanRefused(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// A lend or return that was carried out, but whose history row could not be saved afterwards:
// the asset is lent (or back) all the same; the message tells the user that the record is
// missing.
class LoanNotRecorded : public LoanRefused {
public:
    using LoanRefused::LoanRefused;
};

// The open loan of an asset, none when it is in stock.
std::optional<Loan> openLoan(db::Connection& current, int id);

// The borrowers and the places of the open loans, the most recently lent first, without empty
// values: what the lending dialog offers.
QStringList recentBorrowers(db::Connection& current);
QStringList recentPlaces(db::Connection& current);

// Lends an asset: appends the "借出" history row, inserts the `jcb` row and sets `yjc`. The
// history row is written first in its own open transaction, so that a history database that is
// missing or refuses the row stops the lend before the current database changes; the current
// database's two changes are one transaction. Throws LoanRefused when the asset is already lent
// (by another workstation at the same moment, too: the unique index on `jcb.id` is the judge)
// or a database refused a change; nothing is changed then. Throws LoanNotRecorded when only the
// history row could not be saved, after the current database's change was.
void lend(db::Connection& current, db::Connection* history, const Loan& loan,
          const QString& operatorName);

// Takes a lent asset back on `returned`: appends the "归还" history row with `trueghrq`,
// deletes the `jcb` row and clears `yjc`, with the same order and guarantees as lend(). Throws
// LoanRefused when the loan is no longer open or a database refused a change.
void giveBack(db::Connection& current, db::Connection* history, const Loan& loan,
              const QString& operatorName, const QDate& returned);

// The statements of the three loan lists.
QString allLoansQuery();
QString dueLoansQuery(const QDate& today);
QString loanHistoryQuery(int id);

}  // namespace fx::movements
