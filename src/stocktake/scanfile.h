#pragma once

#include <QDateTime>
#include <QString>
#include <array>

#include "scan.h"

namespace fx::db {
class Connection;
}

namespace fx::stocktake {

// What loading a file of scans did.
struct FileLoad {
    int scans = 0;                  // codes judged and recorded
    std::array<int, 6> byResult{};  // per ScanResult, in its order
    int placeLabels = 0;            // place labels that set the place of the lines after them
};

// Loads the codes a handheld scanner exported: one code per line, optionally followed by the
// place and the time of the scan, separated by a comma, a semicolon or a tab (a CSV file). A line
// that is a place label ("位置:三楼机房") sets the place of the lines after it that name none; a
// first line of column titles and empty lines are skipped. UTF-8, or GBK when the file is not
// valid UTF-8. Each code is judged and committed as a scan of its own (recordScan), with the
// line's time when it gives one ("yyyy-MM-dd hh:mm:ss" or ISO) and `now` otherwise. Throws
// DbError when the file cannot be read or a scan fails; the scans before stay recorded.
FileLoad loadScanFile(db::Connection& c, int stocktakeId, const QString& path, const QString& place,
                      const QString& operatorName, const QDateTime& now);

// "共导入12个扫描：已盘点 8，位置不符 2，重复扫描 1，不在盘点范围 0，账外资产 1，已删除 0".
QString fileLoadText(const FileLoad& load);

}  // namespace fx::stocktake
