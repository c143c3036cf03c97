#include "stocktaketables.h"

#include "connection.h"

namespace fx::schema {

namespace {

const char* const kStatements[] = {
    // A stocktake: its name, what it covers (fw the kind: 全部, 部门, 位置, 类别, 查询结果; fwz the
    // department, place or category), when and by whom it was made, and the day it was ended
    // (empty while it is open for scans) and ys the number of assets in its snapshot.
    "CREATE TABLE IF NOT EXISTS pdrw ("
    " pdid INTEGER PRIMARY KEY AUTOINCREMENT,"
    " pdmc TEXT(50) DEFAULT '',"
    " fw TEXT(20) DEFAULT '',"
    " fwz TEXT(50) DEFAULT '',"
    " cjrq DATE,"
    " cjr TEXT(50) DEFAULT '',"
    " jsrq DATE,"
    " ys INTEGER DEFAULT 0)",
    "CREATE UNIQUE INDEX IF NOT EXISTS pdrw_name ON pdrw (pdmc)",
    // The snapshot: the asset (sid = sbjl.ID1), its number, name and storage as the register
    // held them; dd is the place the asset should be found at (wz for an asset kept at a
    // location, the holder's department for one held by a person).
    "CREATE TABLE IF NOT EXISTS pdmx ("
    " pdid INTEGER DEFAULT 0,"
    " sid INTEGER DEFAULT 0,"
    " bh TEXT(20) DEFAULT '',"
    " sbmc TEXT(50) DEFAULT '',"
    " worp YESNO NOT NULL DEFAULT 0,"
    " wz TEXT(50) DEFAULT '',"
    " bgr TEXT(20) DEFAULT '',"
    " dd TEXT(50) DEFAULT '',"
    " gz TEXT(100) DEFAULT '')",
    "CREATE UNIQUE INDEX IF NOT EXISTS pdmx_asset ON pdmx (pdid, sid)",
    "CREATE INDEX IF NOT EXISTS pdmx_number ON pdmx (pdid, bh)",
    // A scan: the code as read, the asset it names (0 when none), the place being checked, the
    // judgement, when and by whom, and for a surplus asset what the user wrote about it.
    "CREATE TABLE IF NOT EXISTS pdsm ("
    " smid INTEGER PRIMARY KEY AUTOINCREMENT,"
    " pdid INTEGER DEFAULT 0,"
    " code TEXT(50) DEFAULT '',"
    " sid INTEGER DEFAULT 0,"
    " dd TEXT(50) DEFAULT '',"
    " jg TEXT(20) DEFAULT '',"
    " smsj TEXT(20) DEFAULT '',"
    " czy TEXT(50) DEFAULT '',"
    " bz TEXT(100) DEFAULT '')",
    // Whether an asset was found already, and the counts, are read from the indexes alone.
    "CREATE INDEX IF NOT EXISTS pdsm_asset ON pdsm (pdid, sid, jg)",
    "CREATE INDEX IF NOT EXISTS pdsm_result ON pdsm (pdid, jg, sid)",
    "CREATE INDEX IF NOT EXISTS pdsm_code ON pdsm (pdid, code)",
};

}  // namespace

void addStocktakeTables(db::Connection& c) {
    for (const char* s : kStatements) c.executeNative(QString::fromUtf8(s));
}

}  // namespace fx::schema
