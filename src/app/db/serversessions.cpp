#include "serversessions.h"

#include <sqlite3.h>

#include "connection.h"
#include "dberror.h"
#include "engine.h"

namespace fx::db {

QString sessionName(const QString& schema) {
    return QStringLiteral("fxasset:") + schema;
}

int otherSessions(Connection& c) {
    if (!c.isServer()) {
        throw DbError(QStringLiteral("数据库文件没有服务器上的连接列表"), SQLITE_MISUSE);
    }
    // The server keeps at most 63 bytes of a name; the schema's name is compared as it keeps it.
    std::unique_ptr<detail::Cursor> count = c.engine().prepare(
        QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() "
                       "AND pid <> pg_backend_pid() "
                       "AND application_name = left('fxasset:' || current_schema(), 63)"));
    return count->step() ? int(count->integer(0)) : 0;
}

}  // namespace fx::db
