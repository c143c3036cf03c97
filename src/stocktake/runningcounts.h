#pragma once

#include "scan.h"

namespace fx::db {
class Connection;
}

namespace fx::stocktake {

// The counts of a stocktake as a scanning window shows them while scans come in: read in full
// once (and on every refresh), then brought up to date after each scan from the scans recorded
// since by every workstation, which the scan numbers (pdsm.smid, rising) find without walking
// the rows already counted. A scan removed by another workstation's undo shows at the next full
// read.
class RunningCounts {
public:
    explicit RunningCounts(int stocktakeId) : id_(stocktakeId) {}

    // Counts every scan again. Throws DbError.
    const Counts& refresh(db::Connection& c);
    // Adds the scans recorded since the last read. Throws DbError; the counts are then as
    // they were.
    const Counts& update(db::Connection& c);
    const Counts& current() const { return counts_; }

private:
    int id_;
    Counts counts_;
    qint64 lastScan_ = 0;  // the scans up to this number are counted
};

}  // namespace fx::stocktake
