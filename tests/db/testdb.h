#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "connection.h"
#include "testserver.h"

namespace fx::db::test {

// A keyed database file in a temporary folder (or a schema on the test server) with a small
// asset table, a transfer table with a counter named index, and a person table: enough to
// exercise the layer without the full schema.
class TestDb {
public:
    static constexpr const char* kPassword = "k3y-Pass";

    explicit TestDb(fx::test::Engine engine = fx::test::Engine::File);
    QString path() const { return dir_.filePath(QStringLiteral("test.qsk")); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    Connection& db() { return *conn_; }
    // A second connection to the same file, as another workstation would have.
    std::unique_ptr<Connection> openAnother() const;
    // Runs a native statement and returns the first column of its first row.
    QVariant scalar(const QString& sql) { return conn_->queryValue(sql); }

private:
    fx::test::Engine engine_;
    std::unique_ptr<fx::test::ServerSpace> space_;
    QTemporaryDir dir_;
    std::unique_ptr<Connection> conn_;
};

QByteArray readFile(const QString& path);

}  // namespace fx::db::test
