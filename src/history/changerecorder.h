#pragma once

#include <QList>
#include <QString>
#include <memory>

#include "changetext.h"

namespace fx::db {
class Connection;
class BulkInsert;
class RowSet;
class Transaction;
}  // namespace fx::db

namespace fx::history {

// The operations the change history names.
namespace op {
inline constexpr const char* kAdd = "新增";
inline constexpr const char* kModify = "修改";
inline constexpr const char* kScrap = "报废";
inline constexpr const char* kDelete = "删除";
inline constexpr const char* kLend = "借出";
inline constexpr const char* kReturn = "归还";
inline constexpr const char* kTransfer = "调拨";
inline constexpr const char* kRepair = "维修记录";
inline constexpr const char* kRenameEntry = "字典改名";
inline constexpr const char* kDeleteEntry = "字典删除";
inline constexpr const char* kUsers = "用户管理";
inline constexpr const char* kPassword = "修改密码";
inline constexpr const char* kRestore = "恢复备份";
inline constexpr const char* kImport = "导入";
}  // namespace op

// One asset of a command that changes many at once: its serial (ID1) and asset number.
struct RecordedAsset {
    int serial = 0;
    QString number;
};

// The workstation a change is recorded from: the machine's host name.
QString workstationName();

// Writes the change history rows of one command into the history database (dbjl.his).
//
// The rows of a command are written in one transaction that begin() opens before the register
// changes and commit() closes after the register has committed, as the transfers do: a history
// row the engine refuses stops the command before the register changes, a register change that
// fails rolls its history rows back with it, and should the history commit itself fail after
// the register committed, the caller tells the user that the change is not recorded. Destroyed
// without commit(), nothing is kept. Each row carries the program clock's time at begin() (the
// moment of the command), the user and the workstation. The rows go through one insert
// statement prepared at the first begin(), so that a rename carried into every asset writes
// its rows at the engine's speed. No function here changes or deletes a history row.
class ChangeRecorder {
public:
    // history may be null (the program runs on without dbjl.his); so may a history database
    // of an earlier layout lack the table until the administrator signs in.
    ChangeRecorder(db::Connection* history, const QString& user);
    ~ChangeRecorder();
    ChangeRecorder(const ChangeRecorder&) = delete;
    ChangeRecorder& operator=(const ChangeRecorder&) = delete;

    // True when rows can be written: the history database is open and has the table.
    bool available() const { return available_; }
    // Why nothing can be recorded, for the message when !available().
    static QString unavailableMessage();
    // The message when the history commit failed after the register committed.
    static QString notRecordedMessage(const QString& engineMessage);

    // Opens the transaction on the history database. Does nothing when !available(). Throws
    // db::DbError.
    void begin();
    // Appends one row: operation (op::k...), the asset's serial (0 for none) and number, the
    // fields changed with their values before and after, or a note for other changes. Does
    // nothing when !available(). Throws db::DbError.
    void record(const QString& operation, int serial, const QString& assetNumber,
                const QList<FieldChange>& changes = {});
    void recordNote(const QString& operation, int serial, const QString& assetNumber,
                    const QString& note);
    // Appends one row per asset, each with the same operation and note: the rows of a command
    // that adds many assets at once (an import). They go in by multi-row statements rather than
    // a row set's append per row. Does nothing when !available(). Throws db::DbError.
    void recordAssets(const QString& operation, const QList<RecordedAsset>& assets,
                      const QString& note = QString());
    // Commits the rows recorded since begin(). Throws db::DbError.
    void commit();
    // Undoes the rows recorded since begin().
    void rollback();
    // How many rows have been recorded since begin().
    int recorded() const { return recorded_; }

private:
    db::Connection* history_;
    QString user_;
    QString workstation_;
    bool available_ = false;
    std::unique_ptr<db::Transaction> transaction_;
    std::unique_ptr<db::BulkInsert> insert_;
    QString moment_;  // the command's time, as sj holds it
    int recorded_ = 0;
};

// The asset number of a register row (sbjl): its prefix `id` followed by its number `num`.
QString assetNumberOf(const db::RowSet& asset);

// The asset number of the asset with serial on the current database; empty when there is
// none. Throws db::DbError.
QString assetNumberOf(db::Connection& current, int serial);

// The changed fields between two versions of a record: each field of names whose value text
// differs, in the order given.
QList<FieldChange> changedFields(const QStringList& names, const QList<QVariant>& before,
                                 const QList<QVariant>& after);

}  // namespace fx::history
