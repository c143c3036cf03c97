#include "servercommand.h"

#include "admincommand.h"
#include "adminerror.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "demodictionary.h"
#include "demoregister.h"
#include "rowset.h"
#include "schema.h"

namespace fx::admin {

namespace {

struct ServerInitOptions {
    QString conninfo;
    QString organisation;
    bool demo = false;
};

ServerInitOptions parseServerInit(const QStringList& args) {
    ServerInitOptions o;
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--demo")) {
            o.demo = true;
        } else if (a == QLatin1String("--org")) {
            if (i + 1 >= args.size()) throw AdminError(QStringLiteral("--org needs a value"));
            o.organisation = args.at(++i);
        } else if (a.startsWith(QLatin1String("--org="))) {
            o.organisation = a.mid(6);
        } else if (a.startsWith(QLatin1String("--"))) {
            throw AdminError(QStringLiteral("unknown option %1").arg(a));
        } else {
            positional << a;
        }
    }
    if (positional.size() != 1) throw AdminError(QStringLiteral("server-init needs one CONNINFO"));
    o.conninfo = positional.front();
    return o;
}

// The organisation's name as the first start stores it, which then asks no more.
void storeOrganisation(db::Connection& current, const QString& name) {
    db::RowSet row(current, QStringLiteral("select * from username"));
    row.open();
    row.edit();
    row.setValue(QStringLiteral("user"), name);
    row.setValue(QStringLiteral("password"), 1);
    row.post();
}

void dropBoth(const QString& conninfo) {
    for (const char* schema : {schema::kServerCurrentSchema, schema::kServerHistorySchema}) {
        try {
            db::Connection::openServer(conninfo, QString::fromLatin1(schema))->dropSchema();
        } catch (const db::DbError&) {
            // Not made, or gone already.
        }
    }
}

}  // namespace

int serverInitCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    ServerInitOptions o;
    try {
        o = parseServerInit(args);
    } catch (const AdminError& e) {
        err << "fxasset-admin: " << e.message() << "\n\n" << usageText();
        err.flush();
        return kExitUsage;
    }
    try {
        schema::createServerDatabases(o.conninfo);
    } catch (const db::DbError& e) {
        err << "fxasset-admin: database error: " << e.message() << '\n';
        err.flush();
        return kExitFailed;
    }
    try {
        auto current = db::Connection::openServer(
            o.conninfo, QString::fromLatin1(schema::kServerCurrentSchema));
        auto history = db::Connection::openServer(
            o.conninfo, QString::fromLatin1(schema::kServerHistorySchema));
        if (!o.organisation.isEmpty()) storeOrganisation(*current, o.organisation);
        out << "made the databases gdzc and dbjl on the server\n";
        if (o.demo) {
            {
                db::Transaction tx(*current);
                writeDemoDictionary(*current);
                tx.commit();
            }
            const DemoRegister reg = generateDemoRegister(kDefaultDemoAssets, Clock::today());
            const DemoCounts counts = writeDemoRegister(reg, *current, *history);
            out << "demo register: " << counts.assets << " assets, " << counts.openLoans
                << " lent out, " << counts.returnedLoans << " returned loans, " << counts.transfers
                << " transfers, " << counts.repairs << " repairs, " << counts.scrapped
                << " scrapped\n";
        }
        out.flush();
        return kExitOk;
    } catch (const db::DbError& e) {
        err << "fxasset-admin: database error: " << e.message() << '\n';
    }
    err.flush();
    dropBoth(o.conninfo);
    return kExitFailed;
}

}  // namespace fx::admin
