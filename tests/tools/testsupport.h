#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <memory>

#include "connection.h"

namespace fx::admin::test {

// The day every test of the tools runs on (the program clock is fixed to it).
inline const QDate kToday(2024, 6, 15);

struct CommandResult {
    int code = -1;
    QString out;
    QString err;
};

// Runs an fxasset-admin command line in process.
CommandResult runAdmin(const QStringList& arguments);

// SHA-256 of a file's bytes, or an empty array when it cannot be read.
QByteArray fileDigest(const QString& path);

// The data folder, current and history database files, and key file of an installation.
QString dataDirOf(const QString& appDir);
QString currentFileOf(const QString& appDir);
QString historyFileOf(const QString& appDir);
QString keyFileOf(const QString& appDir);

// Opens the databases of an installation with their passwords.
std::unique_ptr<db::Connection> openCurrent(const QString& appDir);
std::unique_ptr<db::Connection> openHistory(const QString& appDir);

// The integer in the first field of the first row of a Jet statement (0 when no row).
qint64 scalar(db::Connection& c, const QString& jetSql);
// Number of rows a Jet statement returns.
int rowCount(db::Connection& c, const QString& jetSql);

// Splits the sql command's output into lines and fields.
QList<QStringList> tableOf(const QString& output);

}  // namespace fx::admin::test
