#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "connection.h"

namespace fx::import::test {

// A fresh current database (the full schema with its reserved rows) in a temporary folder,
// with a folder beside it for the files a test writes.
class ImportFixture {
public:
    ImportFixture();
    db::Connection& db() { return *db_; }
    // The change history's database made beside it.
    db::Connection& history() { return *history_; }
    QString file(const QString& name) const { return dir_.filePath(name); }
    // Runs a Jet statement and gives the integer in the first field of its first row.
    qint64 count(const QString& jetSql);
    // Runs a Jet change statement in a transaction of its own.
    void exec(const QString& jetSql);

private:
    QTemporaryDir dir_;
    std::unique_ptr<db::Connection> db_;
    std::unique_ptr<db::Connection> history_;
};

}  // namespace fx::import::test
