#include "importcommand.h"

#include <QDir>
#include <QFileInfo>

#include "admincommand.h"
#include "adminerror.h"
#include "changerecorder.h"
#include "connection.h"
#include "dberror.h"
#include "importstore.h"
#include "presencelock.h"
#include "schema.h"
#include "sourcefile.h"
#include "sqlcommand.h"

namespace fx::admin {

namespace {

// The operator the change history names for an import from the command line.
constexpr const char* kOperator = "fxasset-admin";

struct Arguments {
    QString dataDir;
    QString server;  // --server: the server's schemas instead of dataDir's files
    QString file;
    QString keyFile;
    bool check = false;
    int headerRow = 0;  // 1-based row of the file; 0: found
    import::ReadOptions read;
    QList<std::pair<QString, QString>> maps;  // caption -> field
    QHash<QString, QString> prefixes;
    QHash<QString, int> months;
};

std::pair<QString, QString> splitPair(const QString& option, const QString& value) {
    const qsizetype eq = value.indexOf(u'=');
    if (eq <= 0) throw AdminError(QStringLiteral("%1 needs NAME=VALUE").arg(option));
    return {value.left(eq), value.mid(eq + 1)};
}

Arguments parseArguments(QStringList args) {
    Arguments a;
    SqlOptions where;
    takeServerOption(args, where);
    a.server = where.server;
    QStringList positional;
    if (!a.server.isEmpty()) positional << QString();
    const QStringList valued = {QStringLiteral("--sheet"),  QStringLiteral("--map"),
                                QStringLiteral("--header"), QStringLiteral("--encoding"),
                                QStringLiteral("--prefix"), QStringLiteral("--months"),
                                QStringLiteral("--keyfile")};
    for (int i = 0; i < args.size(); ++i) {
        QString name = args.at(i);
        if (!name.startsWith(QLatin1String("--"))) {
            positional << name;
            continue;
        }
        if (name == QLatin1String("--check")) {
            a.check = true;
            continue;
        }
        QString value;
        const qsizetype eq = name.indexOf(u'=');
        if (eq > 0 && valued.contains(name.left(eq))) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        } else if (valued.contains(name)) {
            if (i + 1 >= args.size())
                throw AdminError(QStringLiteral("%1 needs a value").arg(name));
            value = args.at(++i);
        } else {
            throw AdminError(QStringLiteral("unknown option %1").arg(name));
        }
        if (name == QLatin1String("--sheet")) {
            a.read.sheet = value;
        } else if (name == QLatin1String("--map")) {
            a.maps << splitPair(name, value);
        } else if (name == QLatin1String("--header")) {
            bool ok = false;
            a.headerRow = value.toInt(&ok);
            if (!ok || a.headerRow < 1)
                throw AdminError(QStringLiteral("--header needs a row number"));
        } else if (name == QLatin1String("--encoding")) {
            const QString e = value.toUpper();
            if (e != QLatin1String("UTF-8") && e != QLatin1String("GBK"))
                throw AdminError(QStringLiteral("--encoding is UTF-8 or GBK"));
            a.read.csv.encoding = e;
        } else if (name == QLatin1String("--prefix")) {
            const auto [category, prefix] = splitPair(name, value);
            a.prefixes.insert(category, prefix.toUpper());
        } else if (name == QLatin1String("--months")) {
            const auto [life, months] = splitPair(name, value);
            bool ok = false;
            const int n = months.toInt(&ok);
            if (!ok || n < 1 || n > 1200)
                throw AdminError(QStringLiteral("--months needs a number from 1 to 1200"));
            a.months.insert(life, n);
        } else {
            a.keyFile = value;
        }
    }
    if (positional.size() != 2)
        throw AdminError(QStringLiteral("import needs DATADIR (or --server CONNINFO) and FILE"));
    if (a.server.isEmpty()) a.dataDir = QDir(positional.at(0)).absolutePath() + QLatin1Char('/');
    a.file = QDir(positional.at(1)).absolutePath();
    return a;
}

// The options of the check: the header row and the mapping as found, changed by --map.
import::ImportOptions importOptions(const Arguments& a,
                                    const import::SheetTable& table){import::ImportOptions o;
o.categoryPrefixes = a.prefixes;
o.lifeMonths = a.months;
if (a.headerRow > 0) {
    for (std::size_t i = 0; i < table.rows.size(); ++i)
        if (table.rows[i].number == a.headerRow) o.headerRow = int(i);
    if (o.headerRow < 0)
        throw AdminError(QStringLiteral("row %1 of the file is empty").arg(a.headerRow));
}
if (a.maps.isEmpty()) return o;
const int header = o.headerRow >= 0 ? o.headerRow : import::findHeaderRow(table.rows);
if (header < 0) return o;  // the check names the missing header
o.headerRow = header;
const QStringList& captions = table.rows[std::size_t(header)].cells;
o.mapping = import::mapHeader(captions);
for (const auto& [caption, fieldName] : a.maps) {
    const int column = int(captions.indexOf(caption));
    if (column < 0) throw AdminError(QStringLiteral("the header has no column %1").arg(caption));
    const bool ignore = fieldName.isEmpty() || fieldName == QStringLiteral("无") ||
                        fieldName.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0;
    const import::Field f = ignore ? import::Field::None : import::fieldForName(fieldName);
    if (!ignore && f == import::Field::None)
        throw AdminError(QStringLiteral("unknown field %1").arg(fieldName));
    o.mapping = import::remap(o.mapping, column, f);
}
return o;
}  // namespace

void printPlan(const import::ImportPlan& plan, QTextStream& out) {
    out << "header row: " << plan.headerRow + 1 << "; mapping:";
    for (std::size_t i = 0; i < plan.mapping.size(); ++i)
        if (plan.mapping[i] != import::Field::None)
            out << ' ' << plan.header.value(int(i)) << '=' << import::fieldCaption(plan.mapping[i]);
    out << '\n';
    for (const import::Problem& p : plan.problems)
        out << QStringLiteral("第") << p.row << QStringLiteral("行 [") << p.column << "] "
            << p.message << '\n';
    for (const import::Addition& a : plan.additions) {
        out << QStringLiteral("新增") << import::additionKindName(a.kind) << ' ' << a.text;
        if (!a.owner.isEmpty()) out << " (" << a.owner << ')';
        if (a.kind == dictionary::ItemKind::Category)
            out << QStringLiteral(" 编号头 ") << a.prefix << QStringLiteral(" 残值率 ") << a.number
                << '%';
        if (a.kind == dictionary::ItemKind::Name)
            out << QStringLiteral(" 编号头 ") << a.prefix
                << (a.flag ? QStringLiteral(" 按存放地点") : QStringLiteral(" 按使用者"));
        if (a.kind == dictionary::ItemKind::Life) out << ' ' << a.number << QStringLiteral("个月");
        out << '\n';
    }
    out << plan.dataRows << " rows, " << plan.assets.size() << " accepted, "
        << plan.refusedRows.size() << " refused\n";
}

// The change history's database of the data folder, or null (with the reason on err) when it
// cannot be opened: the import goes on as the program's would, and finishRecording() says
// that it is not recorded.
std::unique_ptr<db::Connection> openHistory(const Arguments& a, QTextStream& err) {
    try {
        if (!a.server.isEmpty()) {
            SqlOptions history;
            history.server = a.server;
            history.history = true;
            return openDatabase(history);
        }
        return db::Connection::open(a.dataDir + QLatin1String(schema::kHistoryFile),
                                    QString::fromLatin1(schema::kHistoryPassword));
    } catch (const AdminError& e) {
        err << "fxasset-admin: " << e.message() << '\n';
        return nullptr;
    } catch (const db::DbError& e) {
        err << "fxasset-admin: " << e.message() << '\n';
        return nullptr;
    }
}

// Commits the history rows once the register has committed; false, with the message on err,
// when they are not recorded. The import itself stays stored then, and the exit code says so.
bool finishRecording(history::ChangeRecorder& recorder, QTextStream& err) {
    if (!recorder.available()) {
        err << "fxasset-admin: " << history::ChangeRecorder::unavailableMessage() << '\n';
        return false;
    }
    try {
        recorder.commit();
        return true;
    } catch (const db::DbError& e) {
        err << "fxasset-admin: " << history::ChangeRecorder::notRecordedMessage(e.message())
            << '\n';
        return false;
    }
}

}  // namespace fx::admin

int importCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    Arguments a;
    try {
        a = parseArguments(args);
    } catch (const AdminError& e) {
        err << "fxasset-admin: " << e.message() << "\n\n" << usageText();
        err.flush();
        return kExitUsage;
    }
    const QString database =
        a.server.isEmpty() ? a.dataDir + QLatin1String(schema::kCurrentFile) : QString();
    int code = kExitFailed;
    // Present like any program working on the data, so that a backup or restore elsewhere
    // waits for the import; refused while one of them holds the data. (A server replaces
    // nothing under a connection.)
    if (!database.isEmpty() && !backup::holdPresence(database, 0)) {
        err << "fxasset-admin: the data is held by a backup or restore; try again later\n";
        err.flush();
        return kExitFailed;
    }
    try {
        SqlOptions sql;
        sql.dataDir = a.dataDir;
        sql.server = a.server;
        sql.keyFile = a.keyFile;
        const std::unique_ptr<db::Connection> c = openDatabase(sql);
        const import::SheetTable table = import::readSheet(a.file, a.read);
        if (!table.encoding.isEmpty()) out << "encoding " << table.encoding << '\n';
        const import::ImportOptions options = importOptions(a, table);
        if (a.check) {
            const import::ImportPlan plan = import::planImport(*c, table, options);
            printPlan(plan, out);
            code = plan.allAccepted() ? kExitOk : kExitFailed;
        } else {
            // The history transaction is opened first and committed after the register's.
            const std::unique_ptr<db::Connection> history = openHistory(a, err);
            history::ChangeRecorder recorder(history.get(), QString::fromLatin1(kOperator));
            recorder.begin();
            const import::ImportResult r =
                import::runImport(*c, table, options, {}, &recorder, a.file);
            printPlan(r.plan, out);
            out << "added " << r.added << " assets";
            if (r.added > 0) out << ", serial numbers " << r.firstSerial << " to " << r.lastSerial;
            out << '\n';
            code = r.plan.allAccepted() ? kExitOk : kExitFailed;
            finishRecording(recorder, err);
        }
    } catch (const AdminError& e) {
        err << "fxasset-admin: " << e.message() << '\n';
    } catch (const import::ReadError& e) {
        err << "fxasset-admin: " << e.message() << '\n';
    } catch (const db::DbError& e) {
        err << "fxasset-admin: database error, nothing was imported: " << e.message() << '\n';
    }
    if (!database.isEmpty()) backup::releasePresence(database);
    out.flush();
    err.flush();
    return code;
}

}  // namespace fx::admin
