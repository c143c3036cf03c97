#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <memory>

namespace fx {
class AppState;
}

namespace fx::db {
class Transaction;
}

namespace fx::movements {

// Where an asset is before a transfer: its serial number (`ID1`) with its location or user
// (`wz`) and custodian (`bgr`).
struct AssetPlace {
    int serial = 0;
    QString place;
    QString custodian;
};

// The move of one asset: where to, to whom, by whom and when.
struct TransferTarget {
    QString place;      // the target location or user
    QString custodian;  // the new custodian, possibly empty
    QString operatorName;
    QDate today;
};

// The message of a transfer refused because the history database is not open.
QString historyMissingMessage();

// The targets the dialog offers: every `wz` of `wzb` for assets kept by location, every `pname`
// of `person` for assets held by users. Throws db::DbError.
QStringList transferPlaces(AppState& app, bool byLocation);
// Every `pname` of `person`: the custodians. Throws db::DbError.
QStringList transferCustodians(AppState& app);

// Transfers one asset: appends its row to `his` on the history database, then writes the
// target, the custodian and today's date into the asset's `sbjl` row. The history row comes
// first, so that a history database that is missing or refuses the row stops the transfer
// before the register changes; should the register then refuse its change, the history row is
// rolled back with it, so the two never disagree. Throws db::DbError with the engine's message
// (or historyMissingMessage()).
void transferAsset(AppState& app, const AssetPlace& asset, const TransferTarget& target);

// Holds a batch of transfers in one transaction on each database, so that a thousand assets do
// not wait for a thousand writes to disk each. Inside it every transferAsset() is a savepoint:
// an asset that fails leaves nothing behind, and commit() keeps the assets transferred before
// it. Destroyed without commit(), it keeps nothing. Throws db::DbError (historyMissingMessage()
// when the history database is not open). commit() saves the register first; when that fails
// nothing is kept, and registerCommitted() tells the two failures apart.
class BatchTransaction {
public:
    explicit BatchTransaction(AppState& app);
    ~BatchTransaction();
    BatchTransaction(const BatchTransaction&) = delete;
    BatchTransaction& operator=(const BatchTransaction&) = delete;
    void commit();
    bool registerCommitted() const { return registerCommitted_; }

private:
    std::unique_ptr<db::Transaction> history_;
    std::unique_ptr<db::Transaction> current_;
    bool registerCommitted_ = false;
};

}  // namespace fx::movements
