#include "changelogtable.h"

#include "connection.h"

namespace fx::schema {

void addChangeLogTable(db::Connection& history) {
    // sj is the moment as 'yyyy-mm-dd hh:mm:ss' text, so that a range of days is a range of
    // texts; id is the asset's serial (ID1, never reused), 0 for a change of no asset.
    history.executeNative(
        QStringLiteral("CREATE TABLE czjl ("
                       " \"index\" INTEGER PRIMARY KEY AUTOINCREMENT,"
                       " sj TEXT(19) DEFAULT '',"
                       " czy TEXT(50) DEFAULT '',"
                       " gzz TEXT(64) DEFAULT '',"
                       " cz TEXT(10) DEFAULT '',"
                       " id INTEGER DEFAULT 0,"
                       " zcbh TEXT(20) DEFAULT '',"
                       " bgnr LONGTEXT)"));
    history.executeNative(QStringLiteral("CREATE INDEX czjl_asset ON czjl (id)"));
    history.executeNative(QStringLiteral("CREATE INDEX czjl_time ON czjl (sj)"));
}

}  // namespace fx::schema
