#include "testdb.h"

#include <QFile>

namespace fx::db::test {

TestDb::TestDb(fx::test::Engine engine) : engine_(engine) {
    if (engine_ == fx::test::Engine::Server) {
        space_ = std::make_unique<fx::test::ServerSpace>();
        conn_ = Connection::createServer(space_->conninfo(), space_->schema(QStringLiteral("t")));
    } else {
        conn_ = Connection::create(path(), QString::fromLatin1(kPassword));
    }
    conn_->executeNative(QStringLiteral(
        "CREATE TABLE sbjl (ID1 INTEGER PRIMARY KEY AUTOINCREMENT, id TEXT(9) DEFAULT '',"
        " num INTEGER DEFAULT 0, zclb TEXT(50) DEFAULT '', sbmc TEXT(50) DEFAULT '',"
        " wz TEXT(50) DEFAULT '', worp YESNO NOT NULL DEFAULT 0, gmrq DATE,"
        " gmjg DOUBLE DEFAULT 0, other TEXT(100) DEFAULT '', ybf YESNO NOT NULL DEFAULT 0,"
        " wxjl LONGTEXT);"
        "CREATE UNIQUE INDEX sbjl_number ON sbjl (id, num);"
        "CREATE TABLE his (\"index\" INTEGER PRIMARY KEY AUTOINCREMENT, id INTEGER DEFAULT 0,"
        " owz TEXT(50) DEFAULT '', date DATE);"
        "CREATE TABLE person (pname TEXT(50) DEFAULT '', bm TEXT(50) DEFAULT '');"
        "INSERT INTO sbjl (id, num, zclb, sbmc, wz, worp, gmrq, gmjg, other, ybf) VALUES"
        " ('JSJ-', 12, '电脑', '台式电脑', '张三', 0, '2023-05-10', 1000.5, '', 0),"
        " ('JSJ-', 13, '电脑', '笔记本电脑', '李四', 0, '2020-01-20 08:30:00', 5000, NULL, 1),"
        " ('BGZ-', 1, '家具', '办公桌', '财务处', 1, NULL, 800, '有备注', 0);"
        "INSERT INTO person VALUES ('张三', '财务处'), ('李四', '教务处');"));
    conn_->reloadSchema();
}

std::unique_ptr<Connection> TestDb::openAnother() const {
    if (space_)
        return Connection::openServer(space_->conninfo(), space_->schema(QStringLiteral("t")));
    return Connection::open(path(), QString::fromLatin1(kPassword));
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
}

}  // namespace fx::db::test
