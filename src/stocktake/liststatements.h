#pragma once

#include <QDate>
#include <QString>

namespace fx::db {
class Connection;
}

namespace fx::stocktake {

// The four lists of a stocktake's results.
enum class ResultList { Found, Missing, Misplaced, Surplus };

// The Jet statement (without ORDER BY) that lists one of a stocktake's lists, for the results
// window, which sorts, exports and prints it. Fields, each named with AS so that a title click
// can sort by it:
//  - found and misplaced: ID1 (the register's serial, null for an asset deleted since), sid
//    (the snapshot's serial), bh, sbmc, sbxh, zmwz (the place or user the register held, with
//    "（使用者）" for a user), bgr, pdwz (where it was found), xwz (where the register has it now),
//    smsj (the first find);
//  - missing: ID1, sid, bh, sbmc, sbxh, zmwz, bgr, yz and jz (original and net value in yuan on
//    `today`, as the results window's figures work them out; 0 for a deleted asset), gz (the
//    follow-up remark, headed "（已从账上删除）" for a deleted asset);
//  - surplus: smid, code, fxwz (where it was found), smsj, czy, bz (what was written about it).
// The register is joined as `sbjl`, so that the asset-number sort of the results window
// (sbjl.id, sbjl.num) applies.
QString listStatement(ResultList list, int stocktakeId, const QDate& today);

// The original and net value (in cents) of the missing list on `today`: its yz and jz added
// up. Throws DbError.
struct ValueTotals {
    qint64 original = 0;
    qint64 net = 0;
};
ValueTotals missingTotals(db::Connection& c, int stocktakeId, const QDate& today);

}  // namespace fx::stocktake
