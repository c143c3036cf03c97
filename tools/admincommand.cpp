#include "admincommand.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include "adminerror.h"
#include "backupcommand.h"
#include "dberror.h"
#include "historycommand.h"
#include "importcommand.h"
#include "installation.h"
#include "installer.h"
#include "rekeycommand.h"
#include "servercommand.h"
#include "servermove.h"
#include "sqlcommand.h"
#include "startcommand.h"
#include "stocktakecommand.h"
#include "userscommand.h"

namespace fx::admin {

namespace {

// The arguments of one command: positional values and the options that were given.
struct ParsedArguments {
    QStringList positional;
    QStringList flags;               // options without a value that were present
    QHash<QString, QString> values;  // options with a value
};

// Splits arguments into positional values and options. valueOptions take the next argument
// (or "--opt=value"); flagOptions take none. Anything else starting with "--" is an error.
ParsedArguments parse(const QStringList& args, const QStringList& valueOptions,
                      const QStringList& flagOptions) {
    ParsedArguments p;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (!a.startsWith(QLatin1String("--")) || a == QLatin1String("--")) {
            p.positional << a;
            continue;
        }
        QString name = a;
        QString value;
        bool hasValue = false;
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        if (eq > 0) {
            name = a.left(eq);
            value = a.mid(eq + 1);
            hasValue = true;
        }
        if (valueOptions.contains(name)) {
            if (!hasValue) {
                if (i + 1 >= args.size())
                    throw AdminError(QStringLiteral("%1 needs a value").arg(name));
                value = args.at(++i);
            }
            p.values.insert(name, value);
        } else if (flagOptions.contains(name) && !hasValue) {
            p.flags << name;
        } else {
            throw AdminError(QStringLiteral("unknown option %1").arg(a));
        }
    }
    return p;
}

int runInit(const QStringList& args, QTextStream& out, QTextStream& err) {
    ParsedArguments p;
    try {
        p = parse(args, {QStringLiteral("--org"), QStringLiteral("--assets")},
                  {QStringLiteral("--demo")});
    } catch (const AdminError& e) {
        return usageError(e.message(), err);
    }
    if (p.positional.size() != 1) return usageError(QStringLiteral("init needs one APPDIR"), err);
    InitOptions options;
    options.appDir = p.positional.front();
    options.organisation = p.values.value(QStringLiteral("--org"));
    options.demo = p.flags.contains(QStringLiteral("--demo"));
    if (p.values.contains(QStringLiteral("--assets"))) {
        bool ok = false;
        const int n = p.values.value(QStringLiteral("--assets")).toInt(&ok);
        if (!ok || n < 0 || n > 10000000) {
            return usageError(QStringLiteral("--assets needs a number from 0 to 10000000"), err);
        }
        options.assets = n;
    }
    return runReportingFailure(
        [&] {
            const InitResult r = initInstallation(options);
            out << "installed " << r.appPath << '\n' << "data folder " << r.dataDir << '\n';
            if (r.demo) {
                out << "demo register: " << r.counts.assets << " assets, " << r.counts.openLoans
                    << " lent out, " << r.counts.returnedLoans << " returned loans, "
                    << r.counts.transfers << " transfers, " << r.counts.repairs << " repairs, "
                    << r.counts.scrapped << " scrapped\n";
            }
            out.flush();
        },
        err);
}

int runSqlCommand(QStringList args, QTextStream& out, QTextStream& err) {
    ParsedArguments p;
    SqlOptions options;
    try {
        takeServerOption(args, options);
        p = parse(args, {QStringLiteral("--keyfile")}, {QStringLiteral("--history")});
    } catch (const AdminError& e) {
        return usageError(e.message(), err);
    }
    const int folders = options.onServer() ? 0 : 1;
    if (p.positional.size() != folders + 1) {
        return usageError(QStringLiteral("sql needs DATADIR (or --server CONNINFO) and one "
                                         "STATEMENT"),
                          err);
    }
    if (folders) options.dataDir = p.positional.at(0);
    options.statement = p.positional.at(folders);
    options.history = p.flags.contains(QStringLiteral("--history"));
    options.keyFile = p.values.value(QStringLiteral("--keyfile"));
    return runSql(options, out, err);
}

// Points the installation key at an existing installation, so that the program starts on it.
int runRegister(const QStringList& args, QTextStream& out, QTextStream& err) {
    ParsedArguments p;
    try {
        p = parse(args, {QStringLiteral("--org"), QStringLiteral("--key-from")}, {});
    } catch (const AdminError& e) {
        return usageError(e.message(), err);
    }
    if (p.positional.size() != 1) {
        return usageError(QStringLiteral("register needs one APPDIR"), err);
    }
    const QDir app(p.positional.front());
    const QString keyFile = app.filePath(QString::fromLatin1(schema::kKeyFileName));
    if (!QFileInfo::exists(app.filePath(QStringLiteral("data/gdzc.qsk"))) ||
        !QFileInfo::exists(keyFile)) {
        err << "fxasset-admin: " << app.absolutePath()
            << " is not an installation (no data/gdzc.qsk or no key file)\n";
        err.flush();
        return kExitFailed;
    }
    // A second workstation of an organisation with its own key gets a copy of it first, so that
    // the program opens the shared data as soon as it is registered.
    if (p.values.contains(QStringLiteral("--key-from"))) {
        const QString problem =
            copyOrganisationKeys(p.values.value(QStringLiteral("--key-from")), app.absolutePath());
        if (!problem.isEmpty()) {
            err << "fxasset-admin: " << problem << "; nothing was registered\n";
            err.flush();
            return kExitFailed;
        }
        out << "organisation key copied to " << schema::organisationKeyPath(app.absolutePath())
            << '\n';
    }
    schema::InstallationKey key = schema::readInstallationKey();
    key.appPath = app.absolutePath();
    if (p.values.contains(QStringLiteral("--org"))) {
        key.organisationName = p.values.value(QStringLiteral("--org"));
    } else if (key.organisationName.isEmpty()) {
        key.organisationName = QString::fromUtf8(kDefaultOrganisation);
    }
    if (!schema::writeInstallationKey(key)) {
        err << "fxasset-admin: the installation key could not be written (check that the "
               "settings folder can be written)\n";
        err.flush();
        return kExitFailed;
    }
    out << "registered " << key.appPath << '\n';
    out.flush();
    return kExitOk;
}

}  // namespace

int usageError(const QString& message, QTextStream& err) {
    err << "fxasset-admin: " << message << "\n\n" << usageText();
    err.flush();
    return kExitUsage;
}

int runReportingFailure(const std::function<void()>& work, QTextStream& err) {
    try {
        work();
        return kExitOk;
    } catch (const AdminError& e) {
        err << "fxasset-admin: " << e.message() << '\n';
    } catch (const db::DbError& e) {
        err << "fxasset-admin: database error: " << e.message() << '\n';
    }
    err.flush();
    return kExitFailed;
}

QString usageText() {
    return QString::fromUtf8(
        "Usage: fxasset-admin COMMAND ...\n"
        "\n"
        "Commands:\n"
        "  init APPDIR [--org NAME] [--demo] [--assets N]\n"
        "      Create an installation in APPDIR (created when missing): the installed files\n"
        "      with the key file qslkeyf2.dll, the keyed databases data/gdzc.qsk and\n"
        "      data/dbjl.his, and the registry values AppPath and 组织名称 (--org, default\n"
        "      \"青石岭示范单位\"). Refused when APPDIR/data already holds a database.\n"
        "      --demo fills a demonstration dictionary and register of 300 assets with\n"
        "      loans, transfers, repairs and scrapped assets, dated relative to today;\n"
        "      --assets N makes N assets instead (and implies --demo).\n"
        "\n"
        "  register APPDIR [--org NAME] [--key-from OTHER_APPDIR_OR_FILE]\n"
        "      Point the registry values AppPath (and 组织名称 with --org) at an existing\n"
        "      installation, so that the program starts on it. --key-from first copies the\n"
        "      organisation key (made by rekey) from another installation folder, or from\n"
        "      a copy of its qslorgkey.key, into APPDIR, readable only by its owner.\n"
        "\n"
        "  sql DATADIR STATEMENT [--history] [--keyfile FILE]\n"
        "      Run one Jet SQL statement on DATADIR/gdzc.qsk (--history: DATADIR/dbjl.his).\n"
        "      The password comes from --keyfile FILE, else from qslkeyf2.dll in the folder\n"
        "      above DATADIR, else from the one in the registry's AppPath.\n"
        "      A select prints a header line and one line per row, tab-separated:\n"
        "      dates as yyyy-mm-dd, yes/no as 1/0, null as \\N, and in texts backslash,\n"
        "      tab and line breaks as \\\\, \\t, \\n, \\r. Any other statement runs in one\n"
        "      transaction and prints \"N rows changed\".\n"
        "\n"
        "  backup DATADIR FILE [--keyfile FILE]\n"
        "      Back up gdzc.qsk of DATADIR to FILE (.qsl added when FILE has no\n"
        "      extension) and dbjl.his to the same name with .qsh, as the program's\n"
        "      \"备份数据\" does: an existing backup is kept as .bak / .bah, a copy\n"
        "      takes its name only when whole, and nothing is copied while a program\n"
        "      works on the data. A restore checks every page of a backup.\n"
        "\n"
        "  restore DATADIR FILE [--keyfile FILE]\n"
        "      Restore FILE over gdzc.qsk or dbjl.his of DATADIR, as \"恢复备份\" does:\n"
        "      the kind is told by the password that opens FILE, the replaced file is\n"
        "      kept as .sav, and nothing is replaced while a program works on the data.\n"
        "\n"
        "  start\n"
        "      Start the program (fxasset beside fxasset-admin) in the installation the\n"
        "      registry's AppPath names, as the desktop's menu entry does. When none is\n"
        "      registered yet, an empty installation of your own is made first in\n"
        "      ~/.local/share/fxasset/default (FXASSET_HOME moves it) and registered.\n"
        "\n"
        "  stocktake DATADIR list|report NAME [--xlsx FILE] [--keyfile FILE]\n"
        "      list: every stocktake of DATADIR/gdzc.qsk with its scope, dates and counts.\n"
        "      report NAME: that stocktake's heading, counts (应盘 / 已盘 / 位置不符 / 账外),\n"
        "      the value of the missing assets and its four lists (已盘点, 盘亏, 位置不符,\n"
        "      盘盈), tab-separated; --xlsx FILE also writes the lists to a spreadsheet.\n"
        "\n"
        "  users DATADIR --hash-all [--keyfile FILE]\n"
        "      Replace every password of gdzc.qsk still kept in clear (by an older\n"
        "      version) with its hash, in one transaction; each would otherwise be\n"
        "      replaced at its user's next sign-in.\n"
        "\n"
        "  history DATADIR [--from DATE] [--to DATE] [--asset NUMBER]\n"
        "      Print the change history (操作记录) of dbjl.his, oldest first, one\n"
        "      tab-separated line per change: time, user, workstation, operation,\n"
        "      serial, asset number, changed fields. DATE is yyyy-mm-dd (both days\n"
        "      included); NUMBER an asset number such as JSJ-1.\n"
        "\n"
        "  import DATADIR FILE [--sheet NAME] [--check] [--map 列名=字段 ...] [--header N]\n"
        "         [--encoding UTF-8|GBK] [--prefix 类别=字母] [--months 年限=月数] [--keyfile "
        "FILE]\n"
        "      Import assets from a spreadsheet (.xlsx, .xls, .csv, .txt) into gdzc.qsk of\n"
        "      DATADIR: the header row is found by its captions (--header N: row N), each\n"
        "      column is mapped to a card field by its caption (--map 列名=字段 changes one;\n"
        "      字段 is a caption such as 购买价格 or a column such as gmjg, 无 ignores it).\n"
        "      Every problem is printed by row and column; the accepted rows are stored with\n"
        "      the dictionary items they need and numbered where they have no asset number,\n"
        "      all in one transaction. New categories take the pinyin initials as prefix\n"
        "      (--prefix changes one), new service lives the months read from their text\n"
        "      (--months gives them). --check stores nothing. Refused while a backup or\n"
        "      restore holds the data. Exit 0 only when every row was (or would be) stored.\n"
        "      Each stored asset gets a row 导入 in the change history of dbjl.his (operator\n"
        "      fxasset-admin); when that cannot be written the assets stay stored and stderr\n"
        "      says so.\n"
        "\n"
        "  rekey DATADIR [--keyfile FILE]\n"
        "      Give gdzc.qsk and dbjl.his of DATADIR a new random organisation key in one\n"
        "      step, and keep it (with the keys before it, so older backups still restore)\n"
        "      in qslorgkey.key, readable only by its owner, in the installation folder:\n"
        "      the folder of qslkeyf2.dll found as for sql (--keyfile names that file).\n"
        "      Copy the key to other workstations with register --key-from. Refused while\n"
        "      any program works on the data.\n"
        "\n"
        "  server-init CONNINFO [--org NAME] [--demo]\n"
        "      Make the register's two databases on a PostgreSQL server: the schemas gdzc\n"
        "      and dbjl of the database CONNINFO names (a libpq connection string such as\n"
        "      \"host=db.example user=fx dbname=fxasset\"), with their tables, reserved rows\n"
        "      and the Jet functions. --org stores the organisation's name (the first start\n"
        "      asks for it otherwise); --demo fills the demonstration dictionary and a\n"
        "      register of 300 assets. Refused when either schema exists; a failure leaves\n"
        "      neither behind.\n"
        "\n"
        "  server-import CONNINFO DATADIR [--keyfile FILE]\n"
        "      Make the two databases on the server as server-init does and copy every row\n"
        "      of DATADIR's gdzc.qsk and dbjl.his into them, counters going on after the\n"
        "      highest serial; on any failure nothing is left on the server.\n"
        "\n"
        "  server-export CONNINFO DATADIR [--keyfile FILE]\n"
        "      Write the server's two databases back as gdzc.qsk and dbjl.his in DATADIR\n"
        "      (which must hold neither), keyed with the password of --keyfile FILE or of\n"
        "      the installation above DATADIR; on failure no file is left behind.\n"
        "\n"
        "  --server CONNINFO\n"
        "      sql, backup, restore, users, stocktake, history and import take\n"
        "      --server CONNINFO in place of DATADIR and work on the server's two\n"
        "      databases (the schemas gdzc and dbjl server-init makes) instead of the\n"
        "      files: for example  fxasset-admin history --server \"host=db user=fx\".\n"
        "      backup writes, and restore reads, the same keyed .qsl/.qsh files as for a\n"
        "      data folder (keyed with --keyfile, else the registered installation's\n"
        "      keys); backup reads one consistent picture while others work, restore\n"
        "      replaces every table in one transaction and is refused while a program\n"
        "      is connected to the schema. The other commands refuse --server.\n"
        "\n"
        "  --help, help\n"
        "      Show this text.\n"
        "\n"
        "Exit status: 0 done, 1 failed (message on stderr, nothing changed),\n"
        "2 command line not understood.\n");
}

int runCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.isEmpty()) return usageError(QStringLiteral("no command given"), err);
    const QString command = arguments.front();
    const QStringList rest = arguments.mid(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        out << usageText();
        out.flush();
        return kExitOk;
    }
    // The commands that work on a data folder's databases take a server's instead; the others
    // work on files and folders of an installation.
    static const QStringList onServerToo = {QStringLiteral("sql"),       QStringLiteral("backup"),
                                            QStringLiteral("restore"),   QStringLiteral("users"),
                                            QStringLiteral("stocktake"), QStringLiteral("history"),
                                            QStringLiteral("import")};
    if (!onServerToo.contains(command)) {
        for (const QString& a : rest) {
            if (a == QLatin1String("--server") || a.startsWith(QLatin1String("--server="))) {
                err << "fxasset-admin: " << command
                    << " works on the files of an installation and does not take --server\n";
                err.flush();
                return kExitUsage;
            }
        }
    }
    if (command == QLatin1String("init")) return runInit(rest, out, err);
    if (command == QLatin1String("register")) return runRegister(rest, out, err);
    if (command == QLatin1String("sql")) return runSqlCommand(rest, out, err);
    if (command == QLatin1String("backup")) return backupCommand(rest, out, err);
    if (command == QLatin1String("restore")) return restoreCommand(rest, out, err);
    if (command == QLatin1String("start")) return startCommand(rest, out, err);
    if (command == QLatin1String("stocktake")) return stocktakeCommand(rest, out, err);
    if (command == QLatin1String("users")) return usersCommand(rest, out, err);
    if (command == QLatin1String("history")) return historyCommand(rest, out, err);
    if (command == QLatin1String("import")) return importCommand(rest, out, err);
    if (command == QLatin1String("rekey")) return rekeyCommand(rest, out, err);
    if (command == QLatin1String("server-init")) return serverInitCommand(rest, out, err);
    if (command == QLatin1String("server-import")) return serverImportCommand(rest, out, err);
    if (command == QLatin1String("server-export")) return serverExportCommand(rest, out, err);
    return usageError(QStringLiteral("unknown command %1").arg(command), err);
}

}  // namespace fx::admin
