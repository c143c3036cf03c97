#include "userscommand.h"

#include "admincommand.h"
#include "adminerror.h"
#include "connection.h"
#include "dberror.h"
#include "passwordstore.h"
#include "sqlcommand.h"

namespace fx::admin {

int usersCommand(QStringList args, QTextStream& out, QTextStream& err) {
    SqlOptions options;
    try {
        takeServerOption(args, options);
    } catch (const AdminError& e) {
        return usageError(e.message(), err);
    }
    bool hashAll = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--hash-all")) {
            hashAll = true;
        } else if (a == QLatin1String("--keyfile")) {
            if (i + 1 >= args.size())
                return usageError(QStringLiteral("--keyfile needs a value"), err);
            options.keyFile = args.at(++i);
        } else if (a.startsWith(QLatin1String("--")) || !options.dataDir.isEmpty() ||
                   options.onServer()) {
            return usageError(QStringLiteral("users: unexpected argument %1").arg(a), err);
        } else {
            options.dataDir = a;
        }
    }
    if ((options.dataDir.isEmpty() && !options.onServer()) || !hashAll)
        return usageError(
            QStringLiteral("users needs DATADIR (or --server CONNINFO) and --hash-all"), err);
    return runReportingFailure(
        [&] {
            std::unique_ptr<db::Connection> c = openDatabase(options);
            const int replaced = accounts::hashAllPasswords(*c);
            out << replaced << " passwords replaced by their hash\n";
            out.flush();
        },
        err);
}

}  // namespace fx::admin
