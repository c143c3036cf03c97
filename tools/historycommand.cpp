#include "historycommand.h"

#include <QDate>

#include "admincommand.h"
#include "adminerror.h"
#include "connection.h"
#include "dberror.h"
#include "historyquery.h"
#include "sqlcommand.h"

namespace fx::admin {

int historyCommand(QStringList args, QTextStream& out, QTextStream& err) {
    SqlOptions options;
    options.history = true;
    try {
        takeServerOption(args, options);
    } catch (const AdminError& e) {
        return usageError(e.message(), err);
    }
    history::HistoryFilter filter;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        const bool isDate = a == QLatin1String("--from") || a == QLatin1String("--to");
        if (isDate || a == QLatin1String("--asset")) {
            if (i + 1 >= args.size())
                return usageError(QStringLiteral("%1 needs a value").arg(a), err);
            const QString value = args.at(++i);
            if (!isDate) {
                filter.assetNumber = value;
                continue;
            }
            const QDate d = QDate::fromString(value, Qt::ISODate);
            if (!d.isValid())
                return usageError(QStringLiteral("%1 needs a date as yyyy-mm-dd").arg(a), err);
            (a == QLatin1String("--from") ? filter.from : filter.to) = d;
        } else if (a.startsWith(QLatin1String("--")) || !options.dataDir.isEmpty() ||
                   options.onServer()) {
            return usageError(QStringLiteral("history: unexpected argument %1").arg(a), err);
        } else {
            options.dataDir = a;
        }
    }
    if (options.dataDir.isEmpty() && !options.onServer())
        return usageError(QStringLiteral("history needs DATADIR or --server CONNINFO"), err);
    return runReportingFailure(
        [&] {
            std::unique_ptr<db::Connection> c = openDatabase(options);
            history::printHistory(*c, filter, out);
            out.flush();
        },
        err);
}

}  // namespace fx::admin
