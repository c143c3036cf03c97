#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace fx::db {
class Connection;
}

namespace fx::stocktake {

// The judgement of one scan.
enum class ScanResult {
    Found,       // 已盘点: in scope, where the register says (or no place being checked)
    Misplaced,   // 位置不符: in scope, found at another place than the register's
    Duplicate,   // 重复扫描: found already in this stocktake (or the same surplus code again)
    OutOfScope,  // 不在盘点范围: an asset of the register outside the scope
    Surplus,     // 账外资产: a code the register does not hold
    Deleted,     // 已删除: in the snapshot, deleted from the register since
};

// The text a scan result is shown and stored with ("已盘点", "位置不符", ...).
QString resultText(ScanResult r);

// What one scan found, for the scanning window.
struct ScanOutcome {
    ScanResult result = ScanResult::Found;
    qint64 scanId = 0;      // pdsm.smid of the row recorded
    int serial = 0;         // sbjl.ID1 of the asset; 0 for a surplus code
    QString number;         // the asset number as the snapshot or the code has it
    QString name;           // the asset's name, when known
    QString expectedPlace;  // where the register says it is
    QString foundPlace;     // the place being checked
};

// The counts of a stocktake: 应盘 N / 已盘 M / 位置不符 K / 账外 L.
struct Counts {
    int expected = 0;
    int found = 0;  // distinct assets of the snapshot found, misplaced ones included
    int misplaced = 0;
    int surplus = 0;  // distinct surplus codes
};
// "应盘 100 / 已盘 40 / 位置不符 3 / 账外 1".
QString countsText(const Counts& c);

// Reads the counts as every workstation's committed scans give them. Throws DbError.
Counts counts(db::Connection& c, int stocktakeId);

// The place a place label names: the text after the prefix "位置:" (or "位置："); nothing when the
// code is not a place label.
std::optional<QString> placeOfLabel(const QString& code);

// Judges a scan of `code` at `place` (empty when no place is being checked) and records it as a
// row of its own, committed before it returns, so an interrupted session loses nothing but the
// scan being written. The judgement and the row are one transaction, so two workstations that
// scan the same asset at once record one find and one duplicate. Never changes the register.
// Throws DbError: for an empty code, for an ended stocktake (endedMessage), on engine failure.
ScanOutcome recordScan(db::Connection& c, int stocktakeId, const QString& code,
                       const QString& place, const QString& operatorName, const QDateTime& when);

// Keeps what the user wrote for a surplus scan. Throws DbError.
void describeSurplus(db::Connection& c, qint64 scanId, const QString& description);

// Removes one scan (the undo of the last scan); refused once the stocktake was ended. Throws
// DbError.
void undoScan(db::Connection& c, int stocktakeId, qint64 scanId);

}  // namespace fx::stocktake
