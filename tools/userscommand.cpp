#include "userscommand.h"

#include "admincommand.h"
#include "adminerror.h"
#include "connection.h"
#include "dberror.h"
#include "passwordstore.h"
#include "sqlcommand.h"

namespace fx::admin {

namespace {

int usage(const QString& message, QTextStream& err) {
    err << "fxasset-admin: " << message << "\n\n" << usageText();
    err.flush();
    return kExitUsage;
}

}  // namespace

int usersCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    SqlOptions options;
    bool hashAll = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--hash-all")) {
            hashAll = true;
        } else if (a == QLatin1String("--keyfile")) {
            if (i + 1 >= args.size()) return usage(QStringLiteral("--keyfile needs a value"), err);
            options.keyFile = args.at(++i);
        } else if (a.startsWith(QLatin1String("--")) || !options.dataDir.isEmpty()) {
            return usage(QStringLiteral("users: unexpected argument %1").arg(a), err);
        } else {
            options.dataDir = a;
        }
    }
    if (options.dataDir.isEmpty() || !hashAll)
        return usage(QStringLiteral("users needs DATADIR and --hash-all"), err);
    try {
        std::unique_ptr<db::Connection> c = openDatabase(options);
        const int replaced = accounts::hashAllPasswords(*c);
        out << replaced << " passwords replaced by their hash\n";
        out.flush();
        return kExitOk;
    } catch (const AdminError& e) {
        err << "fxasset-admin: " << e.message() << '\n';
    } catch (const db::DbError& e) {
        err << "fxasset-admin: database error: " << e.message() << '\n';
    }
    err.flush();
    return kExitFailed;
}

}  // namespace fx::admin
