#pragma once

#include <QDate>
#include <QString>
#include <vector>

#include "depreciation.h"

namespace fx::db {
class Connection;
}

namespace fx::stocktake {

// An asset of a stocktake's snapshot as the results list it.
struct AssetLine {
    int serial = 0;  // sbjl.ID1
    QString number;
    QString name;
    QString model;
    QString category;
    bool byLocation = true;
    QString place;          // wz as the register held it when the stocktake was made
    QString custodian;      // bgr then
    QString expectedPlace;  // where it should have been found
    QString foundPlace;     // where it was found (empty when missing)
    QString scanTime;
    QString followUp;             // the follow-up remark of a missing asset
    bool deleted = false;         // no longer in the register
    reports::ValueFigures value;  // today's figures; zero for a deleted asset
};

// A code scanned that the register does not hold.
struct SurplusLine {
    QString code;
    QString place;
    QString scanTime;
    QString operatorName;
    QString description;
};

struct Results {
    std::vector<AssetLine> found;      // found where the register says
    std::vector<AssetLine> missing;    // 盘亏: in scope, never found
    std::vector<AssetLine> misplaced;  // found at another place
    std::vector<SurplusLine> surplus;  // 盘盈
    qint64 missingOriginal = 0;        // cents
    qint64 missingNet = 0;             // cents
};

// The four lists of a stocktake from every workstation's committed scans, in asset-number order
// within each list; values as the results window figures them on `today`. An asset found twice is
// listed once, by its first find. An asset whose life class or category is missing from the
// dictionary counts as fully depreciated with no residual value. Throws DbError.
Results results(db::Connection& c, int stocktakeId, const QDate& today);

// Keeps a follow-up remark on missing assets of the snapshot (the register is not changed).
// Throws DbError.
void setFollowUp(db::Connection& c, int stocktakeId, const std::vector<int>& serials,
                 const QString& remark);

}  // namespace fx::stocktake
