#include "testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include "admincommand.h"
#include "installation.h"
#include "rowset.h"
#include "schema.h"

namespace fx::admin::test {

CommandResult runAdmin(const QStringList& arguments) {
    CommandResult r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = runCommand(arguments, out, err);
    out.flush();
    err.flush();
    return r;
}

QByteArray fileDigest(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QString dataDirOf(const QString& appDir) {
    return QDir(appDir).filePath(QStringLiteral("data"));
}

QString currentFileOf(const QString& appDir) {
    return QDir(dataDirOf(appDir)).filePath(QString::fromLatin1(schema::kCurrentFile));
}

QString historyFileOf(const QString& appDir) {
    return QDir(dataDirOf(appDir)).filePath(QString::fromLatin1(schema::kHistoryFile));
}

QString keyFileOf(const QString& appDir) {
    return QDir(appDir).filePath(QString::fromLatin1(schema::kKeyFileName));
}

std::unique_ptr<db::Connection> openCurrent(const QString& appDir) {
    return db::Connection::open(currentFileOf(appDir),
                                schema::currentPasswordFromKeyFile(keyFileOf(appDir)));
}

std::unique_ptr<db::Connection> openHistory(const QString& appDir) {
    return db::Connection::open(historyFileOf(appDir),
                                QString::fromLatin1(schema::kHistoryPassword));
}

qint64 scalar(db::Connection& c, const QString& jetSql) {
    db::RowSet rows(c, jetSql);
    rows.open();
    if (rows.eof()) return 0;
    return rows.value(0).toLongLong();
}

int rowCount(db::Connection& c, const QString& jetSql) {
    db::RowSet rows(c, jetSql);
    rows.open();
    return rows.count();
}

QList<QStringList> tableOf(const QString& output) {
    QList<QStringList> table;
    const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) table << line.split(QLatin1Char('\t'));
    return table;
}

}  // namespace fx::admin::test
