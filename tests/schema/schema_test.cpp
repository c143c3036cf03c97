#include "schema.h"

#include <gtest/gtest.h>

#include "qtprint.h"

#include <QFile>
#include <QTemporaryDir>

#include "connection.h"
#include "dberror.h"
#include "layouttables.h"
#include "migration.h"
#include "rowset.h"

namespace fx::schema {
namespace {

using db::Connection;
using db::DbError;
using db::RowSet;

const QString kPassword = QStringLiteral("CurrentPw30");

class NewDatabases : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        createDatabases(dir_.path(), kPassword);
        current_ = Connection::open(currentPath(), kPassword);
        history_ = Connection::open(historyPath(), QString::fromLatin1(kHistoryPassword));
    }
    QString currentPath() const { return dir_.filePath(QString::fromLatin1(kCurrentFile)); }
    QString historyPath() const { return dir_.filePath(QString::fromLatin1(kHistoryFile)); }
    int count(Connection& c, const QString& sql) { return c.queryValue(sql).toInt(); }

    QTemporaryDir dir_;
    std::unique_ptr<Connection> current_;
    std::unique_ptr<Connection> history_;
};

TEST_F(NewDatabases, TheFirstLayoutsTablesAreTheTablesANewDatabaseHas) {
    const auto tables = [](Connection& c) {
        RowSet rows(c, QStringLiteral("select name from sqlite_master where type='table' and "
                                      "name<>'sqlite_sequence' order by name"));
        rows.open();
        QStringList names;
        for (rows.first(); !rows.eof(); rows.next()) names << rows.text(QStringLiteral("name"));
        return names;
    };
    QStringList current = firstLayoutTables(DatabaseKind::Current);
    QStringList history = firstLayoutTables(DatabaseKind::History);
    current.sort();
    history.sort();
    EXPECT_EQ(current.size(), 14);
    EXPECT_TRUE(current.contains(QStringLiteral("sbjl")));
    EXPECT_EQ(history, (QStringList{QStringLiteral("his"), QStringLiteral("jyjlb"),
                                    QStringLiteral("username")}));
    // A new database may have more (migration steps add tables), never fewer.
    for (const QString& t : current) EXPECT_TRUE(tables(*current_).contains(t)) << t.toStdString();
    for (const QString& t : history) EXPECT_TRUE(tables(*history_).contains(t)) << t.toStdString();
}

TEST_F(NewDatabases, UsernameRowMarksAFirstUse) {
    RowSet rs(*current_, QStringLiteral("select * from username"));
    rs.open();
    ASSERT_EQ(rs.count(), 1);
    EXPECT_GE(rs.integer(QStringLiteral("version")), kMinimumVersion);
    EXPECT_EQ(rs.integer(QStringLiteral("version")), layoutVersion(DatabaseKind::Current));
    EXPECT_EQ(rs.integer(QStringLiteral("password")), 0);
    EXPECT_EQ(rs.text(QStringLiteral("user")), QString());
    EXPECT_FALSE(rs.isNull(QStringLiteral("user")));
}

TEST_F(NewDatabases, OrganisationNameIsTheUsernameRowsUser) {
    EXPECT_EQ(organisationName(*current_), QString());
    current_->execute(QStringLiteral("update username set [user]='东湖区教育局'"));
    EXPECT_EQ(organisationName(*current_), QStringLiteral("东湖区教育局"));
    current_->execute(QStringLiteral("delete from username"));
    EXPECT_EQ(organisationName(*current_), QString());
}

TEST_F(NewDatabases, OnlyTheAdministratorWithEveryRightAndNoPassword) {
    RowSet rs(*current_, QStringLiteral("select * from users"));
    rs.open();
    ASSERT_EQ(rs.count(), 1);
    EXPECT_EQ(rs.text(QStringLiteral("user")), QString::fromUtf8(kAdministrator));
    EXPECT_EQ(rs.text(QStringLiteral("password")), QString());
    for (const char* right : {"ins", "modi", "del", "view", "jc", "gh", "db", "spmodi"}) {
        EXPECT_TRUE(rs.yesNo(QString::fromLatin1(right))) << right;
        EXPECT_EQ(rs.value(QString::fromLatin1(right)).typeId(), QMetaType::Bool) << right;
    }
}

TEST_F(NewDatabases, UnassignedPersonAndEmptyDictionaries) {
    RowSet rs(*current_, QStringLiteral("select * from person"));
    rs.open();
    ASSERT_EQ(rs.count(), 1);
    EXPECT_EQ(rs.text(QStringLiteral("pname")), QString::fromUtf8(kUnassignedPerson));
    for (const char* table : {"sbjl", "sortproc", "sortb", "xhpz", "ytb", "wzb", "syq", "lyfs",
                              "idupper", "jcb", "wxjlb"}) {
        EXPECT_EQ(
            count(*current_, QStringLiteral("SELECT count(*) FROM ") + QString::fromLatin1(table)),
            0)
            << table;
    }
    for (const char* table : {"jyjlb", "his"}) {
        EXPECT_EQ(
            count(*history_, QStringLiteral("SELECT count(*) FROM ") + QString::fromLatin1(table)),
            0)
            << table;
    }
}

TEST_F(NewDatabases, EveryColumnOfTheLayoutWithItsKind) {
    using K = Connection::ColumnKind;
    struct Column {
        const char* table;
        const char* column;
        K kind;
    } columns[] = {
        {"sbjl", "ID1", K::Counter},
        {"sbjl", "id", K::Text},
        {"sbjl", "num", K::Integer},
        {"sbjl", "zclb", K::Text},
        {"sbjl", "sbmc", K::Text},
        {"sbjl", "sbxh", K::Text},
        {"sbjl", "sbpz", K::Text},
        {"sbjl", "yt", K::Text},
        {"sbjl", "worp", K::YesNo},
        {"sbjl", "wz", K::Text},
        {"sbjl", "bgr", K::Text},
        {"sbjl", "ly", K::Text},
        {"sbjl", "bxq", K::Text},
        {"sbjl", "gmrq", K::Date},
        {"sbjl", "pzrq", K::Date},
        {"sbjl", "gmjg", K::Number},
        {"sbjl", "other", K::Text},
        {"sbjl", "ybf", K::YesNo},
        {"sbjl", "yjc", K::YesNo},
        {"sbjl", "wx", K::YesNo},
        {"sbjl", "wxjl", K::Memo},
        {"sortproc", "sort", K::Text},
        {"sortproc", "title", K::Text},
        {"sortproc", "cz", K::Integer},
        {"sortb", "name", K::Text},
        {"sortb", "sort", K::Text},
        {"sortb", "bht", K::Text},
        {"sortb", "wzorgr", K::YesNo},
        {"xhpz", "sbmc", K::Text},
        {"xhpz", "sbxh", K::Text},
        {"xhpz", "sbpz", K::Text},
        {"ytb", "sort", K::Text},
        {"ytb", "yt", K::Text},
        {"wzb", "wz", K::Text},
        {"wzb", "isbm", K::YesNo},
        {"person", "pname", K::Text},
        {"person", "bm", K::Text},
        {"syq", "qx", K::Text},
        {"syq", "yue", K::Integer},
        {"lyfs", "ly", K::Text},
        {"users", "user", K::Text},
        {"users", "password", K::Text},
        {"users", "ins", K::YesNo},
        {"users", "modi", K::YesNo},
        {"users", "del", K::YesNo},
        {"users", "view", K::YesNo},
        {"users", "jc", K::YesNo},
        {"users", "gh", K::YesNo},
        {"users", "db", K::YesNo},
        {"users", "spmodi", K::YesNo},
        {"username", "user", K::Text},
        {"username", "version", K::Integer},
        {"username", "password", K::Integer},
        {"username", "mm", K::Text},
        {"idupper", "idup", K::Text},
        {"idupper", "max", K::Integer},
        {"jcb", "id", K::Integer},
        {"jcb", "jcr", K::Text},
        {"jcb", "pzr", K::Text},
        {"jcb", "jyr", K::Text},
        {"jcb", "jydw", K::Text},
        {"jcb", "jcrq", K::Date},
        {"jcb", "ghrq", K::Date},
        {"jcb", "other", K::Text},
        {"wxjlb", "id", K::Integer},
        {"wxjlb", "sxrq", K::Date},
        {"wxjlb", "wxrq", K::Date},
        {"wxjlb", "sxdd", K::Text},
        {"wxjlb", "ghpj", K::Text},
        {"wxjlb", "gzyy", K::Text},
        {"wxjlb", "wxfy", K::Number},
        {"wxjlb", "wxzk", K::Text},
        {"wxjlb", "sxr", K::Text},
    };
    for (const Column& c : columns) {
        const QString table = QString::fromLatin1(c.table);
        const QString column = QString::fromLatin1(c.column);
        EXPECT_TRUE(current_->hasColumn(table, column)) << c.table << "." << c.column;
        EXPECT_EQ(current_->columnKind(table, column), c.kind) << c.table << "." << c.column;
    }
    EXPECT_EQ(current_->columnNames(QStringLiteral("sbjl")).size(), 21);

    struct Column historyColumns[] = {
        {"jyjlb", "id", K::Integer},    {"jyjlb", "czy", K::Text},
        {"jyjlb", "jyr", K::Text},      {"jyjlb", "jydw", K::Text},
        {"jyjlb", "jcr", K::Text},      {"jyjlb", "jcrq", K::Date},
        {"jyjlb", "ghrq", K::Date},     {"jyjlb", "other", K::Text},
        {"jyjlb", "trueghrq", K::Date}, {"jyjlb", "bz", K::Text},
        {"his", "index", K::Counter},   {"his", "id", K::Integer},
        {"his", "swz", K::Text},        {"his", "sbgr", K::Text},
        {"his", "owz", K::Text},        {"his", "obgr", K::Text},
        {"his", "date", K::Date},       {"his", "czy", K::Text},
        {"username", "mm", K::Text},    {"username", "version", K::Integer},
    };
    for (const Column& c : historyColumns) {
        const QString table = QString::fromLatin1(c.table);
        const QString column = QString::fromLatin1(c.column);
        EXPECT_TRUE(history_->hasColumn(table, column)) << c.table << "." << c.column;
        EXPECT_EQ(history_->columnKind(table, column), c.kind) << c.table << "." << c.column;
    }
    EXPECT_EQ(current_->counterColumn(QStringLiteral("sbjl")), QStringLiteral("ID1"));
    EXPECT_EQ(history_->counterColumn(QStringLiteral("his")), QStringLiteral("index"));
}

TEST_F(NewDatabases, AssetNumberIsUnique) {
    current_->execute(QStringLiteral("insert into sbjl (id, num) values ('JSJ-', 1)"));
    current_->execute(QStringLiteral("insert into sbjl (id, num) values ('JSJ-', 2)"));
    current_->execute(QStringLiteral("insert into sbjl (id, num) values ('BGZ-', 1)"));
    try {
        current_->execute(QStringLiteral("insert into sbjl (id, num) values ('JSJ-', 1)"));
        FAIL() << "a duplicate asset number was stored";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isConstraint());
    }
    // Renumbering onto a taken number fails the same way through a row set.
    RowSet rs(*current_, QStringLiteral("select * from sbjl where id='JSJ-' and num=2"));
    rs.open();
    rs.edit();
    rs.setValue(QStringLiteral("num"), 1);
    EXPECT_THROW(rs.post(), DbError);
}

TEST_F(NewDatabases, OneOpenLoanPerAsset) {
    current_->execute(QStringLiteral("insert into jcb (id, jyr) values (5, '甲')"));
    current_->execute(QStringLiteral("insert into jcb (id, jyr) values (6, '甲')"));
    try {
        current_->execute(QStringLiteral("insert into jcb (id, jyr) values (5, '乙')"));
        FAIL() << "a second open loan was stored";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isConstraint());
    }
}

TEST_F(NewDatabases, OneRowPerPrefix) {
    current_->execute(QStringLiteral("insert into idupper (idup, max) values ('JSJ-', 3)"));
    EXPECT_THROW(current_->execute(QStringLiteral("insert into idupper (idup, max) values "
                                                  "('JSJ-', 4)")),
                 DbError);
}

TEST_F(NewDatabases, AppendedAssetsReadAsEmptyTextsNotMissingOnes) {
    current_->execute(QStringLiteral("insert into sbjl (id, num) values ('JSJ-', 1)"));
    EXPECT_EQ(count(*current_, QStringLiteral("SELECT count(*) FROM sbjl WHERE bgr='' AND "
                                              "other='' AND worp=0 AND ybf=0 AND yjc=0 AND wx=0")),
              1);
    // Yes/no columns cannot be missing.
    EXPECT_THROW(current_->executeNative(QStringLiteral("UPDATE sbjl SET worp=NULL")), DbError);
}

TEST_F(NewDatabases, CountersAreNeverReused) {
    current_->execute(QStringLiteral("insert into sbjl (id, num) values ('A-', 1)"));
    current_->execute(QStringLiteral("insert into sbjl (id, num) values ('A-', 2)"));
    current_->execute(QStringLiteral("delete from sbjl where num=2"));
    current_->execute(QStringLiteral("insert into sbjl (id, num) values ('A-', 3)"));
    EXPECT_EQ(count(*current_, QStringLiteral("SELECT ID1 FROM sbjl WHERE num=3")), 3);
}

TEST_F(NewDatabases, IndexesForTheLookups) {
    const QString list =
        current_
            ->queryValue(QStringLiteral("SELECT group_concat(name, ' ') FROM sqlite_master WHERE "
                                        "type='index' AND name NOT LIKE 'sqlite%'"))
            .toString();
    for (const char* name : {"sbjl_number", "jcb_asset", "idupper_prefix", "sbjl_category",
                             "sbjl_name", "wxjlb_asset"}) {
        EXPECT_TRUE(list.contains(QString::fromLatin1(name))) << name;
    }
    const QString history =
        history_
            ->queryValue(QStringLiteral("SELECT group_concat(name, ' ') FROM sqlite_master WHERE "
                                        "type='index'"))
            .toString();
    EXPECT_TRUE(history.contains(QLatin1String("his_asset")));
    EXPECT_TRUE(history.contains(QLatin1String("jyjlb_asset")));
    EXPECT_EQ(count(*current_, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE "
                                              "type='index' AND tbl_name='sbjl' AND "
                                              "sql LIKE '%UNIQUE%(id, num)%'")),
              1);
}

TEST_F(NewDatabases, HistoryHasItsUsernameRowAndTheTransferCounter) {
    RowSet rs(*history_, QStringLiteral("select mm,version from username"));
    rs.open();
    ASSERT_EQ(rs.count(), 1);
    EXPECT_GE(rs.integer(QStringLiteral("version")), kMinimumVersion);
    RowSet his(*history_, QStringLiteral("select * from his where id=7"));
    his.open();
    his.append();
    his.setValue(QStringLiteral("id"), 7);
    his.post();
    EXPECT_EQ(his.integer(QStringLiteral("index")), 1);
}

TEST_F(NewDatabases, BothFilesAreKeyedWithTheirOwnPasswords) {
    for (const QString& path : {currentPath(), historyPath()}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_FALSE(f.read(16).startsWith("SQLite format 3")) << path.toStdString();
    }
    EXPECT_FALSE(
        current_->queryValue(QStringLiteral("PRAGMA cipher_version")).toString().isEmpty());
    // The two kinds of backup are told apart by which password opens them.
    EXPECT_THROW(Connection::open(currentPath(), QString::fromLatin1(kHistoryPassword)), DbError);
    EXPECT_THROW(Connection::open(historyPath(), kPassword), DbError);
}

TEST(CreateDatabases, RefusesWhenAFileIsAlreadyThere) {
    QTemporaryDir dir;
    const QString history = dir.filePath(QString::fromLatin1(kHistoryFile));
    {
        QFile f(history);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    EXPECT_THROW(createDatabases(dir.path(), kPassword), DbError);
    EXPECT_FALSE(QFile::exists(dir.filePath(QString::fromLatin1(kCurrentFile))));
    QFile f(history);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("keep me"));
}

TEST(CreateDatabases, RefusesAMissingFolder) {
    QTemporaryDir dir;
    EXPECT_THROW(createDatabases(dir.filePath(QStringLiteral("nowhere")), kPassword), DbError);
}

TEST(CreateDatabases, SchemaOnAnOpenConnection) {
    QTemporaryDir dir;
    auto c = Connection::create(dir.filePath(QStringLiteral("x.qsk")), kPassword);
    createCurrentSchema(*c);
    EXPECT_TRUE(c->hasTable(QStringLiteral("sbjl")));
    EXPECT_TRUE(c->isTextColumn(QStringLiteral("sbjl.id")));
    // Creating the tables twice fails and leaves the first set intact.
    EXPECT_THROW(createCurrentSchema(*c), DbError);
    EXPECT_FALSE(c->inTransaction());
    EXPECT_EQ(c->queryValue(QStringLiteral("SELECT count(*) FROM username")).toInt(), 1);
}

}  // namespace
}  // namespace fx::schema
