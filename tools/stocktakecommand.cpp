#include "stocktakecommand.h"

#include <QDir>

#include "admincommand.h"
#include "adminerror.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "presencelock.h"
#include "resulttables.h"
#include "schema.h"
#include "sqlcommand.h"

namespace fx::admin {

namespace {

struct Arguments {
    SqlOptions database;
    QString action;  // list or report
    QString name;
    QString xlsx;
};

// Fills parsed from the command line; an empty text when it is understood, else what is wrong.
QString parse(QStringList args, Arguments& parsed) {
    try {
        takeServerOption(args, parsed.database);
    } catch (const AdminError& e) {
        return e.message();
    }
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        const auto value = [&](const QString& option, QString& into) {
            if (a == option && i + 1 < args.size()) {
                into = args.at(++i);
                return true;
            }
            if (a.startsWith(option + QLatin1Char('='))) {
                into = a.mid(option.size() + 1);
                return true;
            }
            return false;
        };
        if (value(QStringLiteral("--xlsx"), parsed.xlsx) ||
            value(QStringLiteral("--keyfile"), parsed.database.keyFile))
            continue;
        if (a.startsWith(QLatin1String("--"))) return QStringLiteral("unknown option %1").arg(a);
        positional << a;
    }
    // With --server the data folder is not named: the server's schemas stand for it.
    if (parsed.database.onServer()) positional.prepend(QString());
    if (positional.size() < 2)
        return QStringLiteral("stocktake needs DATADIR (or --server CONNINFO) and list or report");
    parsed.database.dataDir = positional.at(0);
    parsed.action = positional.at(1);
    if (parsed.action == QLatin1String("list")) {
        if (positional.size() != 2 || !parsed.xlsx.isEmpty())
            return QStringLiteral("stocktake list takes no NAME and no --xlsx");
        return QString();
    }
    if (parsed.action == QLatin1String("report")) {
        if (positional.size() != 3) return QStringLiteral("stocktake report needs one NAME");
        parsed.name = positional.at(2);
        return QString();
    }
    return QStringLiteral("stocktake needs list or report, not %1").arg(parsed.action);
}

void printList(db::Connection& c, QTextStream& out) {
    out << "名称\t范围\t建立\t结束\t盘点情况\n";
    for (const stocktake::Stocktake& s : stocktake::list(c)) {
        out << s.name << '\t' << stocktake::scopeText(s) << '\t' << s.created.toString(Qt::ISODate)
            << '\t' << (s.isOpen() ? QStringLiteral("进行中") : s.ended.toString(Qt::ISODate))
            << '\t' << stocktake::countsText(stocktake::counts(c, s.id)) << '\n';
    }
}

void printReport(db::Connection& c, const Arguments& a, QTextStream& out) {
    const stocktake::Stocktake s = stocktake::find(c, a.name);
    const stocktake::Results r = stocktake::results(c, s.id, Clock::today());
    QStringList summary = stocktake::summaryLines(s, stocktake::counts(c, s.id), r);
    summary.prepend(schema::organisationName(c) + QStringLiteral("资产盘点报告"));
    const auto tables = stocktake::listTables(r);
    for (const QString& line : summary) out << line << '\n';
    for (const stocktake::ListTable& t : tables) {
        out << '\n' << t.title << "（" << t.rows.size() << "）\n";
        out << t.columns.join(QLatin1Char('\t')) << '\n';
        for (const QStringList& row : t.rows) out << row.join(QLatin1Char('\t')) << '\n';
    }
    if (!a.xlsx.isEmpty()) {
        stocktake::writeResultsXlsx(QDir(a.xlsx).absolutePath(), summary, tables);
        out << "\nwritten " << QDir(a.xlsx).absolutePath() << '\n';
    }
}

}  // namespace

int stocktakeCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    Arguments a;
    if (const QString wrong = parse(args, a); !wrong.isEmpty()) return usageError(wrong, err);
    const QString path =
        a.database.onServer()
            ? QString()
            : QDir(a.database.dataDir).filePath(QString::fromLatin1(schema::kCurrentFile));
    // Present like a running program: a backup or restore elsewhere is waited for, and none
    // starts while this reads. (A server replaces nothing under a connection.)
    if (!path.isEmpty() && !backup::holdPresence(path)) {
        err << "fxasset-admin: " << path
            << " is being backed up or restored by another program; try again later\n";
        err.flush();
        return kExitFailed;
    }
    int code = kExitFailed;
    try {
        const auto c = openDatabase(a.database);
        if (a.action == QLatin1String("list"))
            printList(*c, out);
        else
            printReport(*c, a, out);
        code = kExitOk;
    } catch (const AdminError& e) {
        err << "fxasset-admin: " << e.message() << '\n';
    } catch (const db::DbError& e) {
        err << "fxasset-admin: " << e.message() << '\n';
    }
    if (!path.isEmpty()) backup::releasePresence(path);
    out.flush();
    err.flush();
    return code;
}

}  // namespace fx::admin
