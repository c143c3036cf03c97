// --server CONNINFO: the companion's commands that take DATADIR work on a server's two schemas.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "connection.h"
#include "dberror.h"
#include "engine.h"
#include "schema.h"
#include "testserver.h"
#include "testsupport.h"

namespace fx::admin::test {
namespace {

// A database of its own on the test server for each test, made with server-init --demo (300
// assets), and an installation whose key file keys the backups; dropped afterwards.
class ServerOption : public ::testing::Test {
protected:
    void SetUp() override {
        if (fx::test::serverConninfo().isEmpty())
            GTEST_SKIP() << "no test server: FX_TEST_PG is not set (scripts/test.sh starts one)";
        static int counter = 0;
        name_ =
            QStringLiteral("fx_opt_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
        admin()->engine().run(QStringLiteral("CREATE DATABASE ") + name_);
        conninfo_ = fx::test::serverConninfo() + QStringLiteral(" dbname=") + name_;
        ASSERT_EQ(
            runAdmin({QStringLiteral("server-init"), conninfo_, QStringLiteral("--demo")}).code, 0);
        app_ = dir_.filePath(QStringLiteral("app"));
        ASSERT_EQ(runAdmin({QStringLiteral("init"), app_}).code, 0);
    }
    void TearDown() override {
        if (name_.isEmpty()) return;
        admin()->engine().run(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_));
    }
    std::unique_ptr<db::Connection> admin() const {
        return db::Connection::openServer(fx::test::serverConninfo(), QStringLiteral("public"));
    }
    std::unique_ptr<db::Connection> current() const {
        return db::Connection::openServer(conninfo_, QLatin1String(schema::kServerCurrentSchema));
    }
    // The arguments with C (and --server=C) standing for the connection string, K for the key file
    // and a text beginning with F/ for a file in the test's folder.
    QStringList expand(const QStringList& args) const {
        QStringList out;
        for (const QString& a : args) {
            if (a == QLatin1String("C"))
                out << conninfo_;
            else if (a == QLatin1String("--server=C"))
                out << QStringLiteral("--server=") + conninfo_;
            else if (a == QLatin1String("K"))
                out << keyFileOf(app_);
            else if (a.startsWith(QLatin1String("F/")))
                out << dir_.filePath(a.mid(2));
            else
                out << a;
        }
        return out;
    }

    QTemporaryDir dir_;
    QString name_;
    QString conninfo_;
    QString app_;
};

struct Case {
    QStringList args;
    int code;
    const char* out;  // a text the output holds (UTF-8), or empty
    const char* err;  // a text stderr holds, or empty
};

TEST_F(ServerOption, EachCommandTakesTheServerOrRefusesIt) {
    const QString s = QStringLiteral("--server");
    const Case cases[] = {
        {{QStringLiteral("sql"), s, QStringLiteral("C"),
          QStringLiteral("select count(*) as n from sbjl")},
         0,
         "300",
         ""},
        {{QStringLiteral("sql"), QStringLiteral("--server=C"), QStringLiteral("--history"),
          QStringLiteral("select count(*) as n from jyjlb")},
         0,
         "n\n",
         ""},
        {{QStringLiteral("sql"), s, QStringLiteral("C"),
          QStringLiteral("update sbjl set other='服务器' where ID1=1")},
         0,
         "changed",
         ""},
        {{QStringLiteral("sql"), s, QStringLiteral("C"), QStringLiteral("F/data"),
          QStringLiteral("select 1")},
         2,
         "",
         "sql needs DATADIR (or --server CONNINFO)"},
        {{QStringLiteral("sql"), s}, 2, "", "--server needs CONNINFO"},
        {{QStringLiteral("history"), s, QStringLiteral("C"), QStringLiteral("--from"),
          QStringLiteral("2000-01-01")},
         0,
         "",
         ""},
        {{QStringLiteral("users"), s, QStringLiteral("C"), QStringLiteral("--hash-all")},
         0,
         "passwords replaced by their hash",
         ""},
        {{QStringLiteral("stocktake"), s, QStringLiteral("C"), QStringLiteral("list")},
         0,
         "名称\t范围",
         ""},
        {{QStringLiteral("backup"), s, QStringLiteral("C"), QStringLiteral("F/b"),
          QStringLiteral("--keyfile"), QStringLiteral("K")},
         0,
         "当前备份已经完成。",
         ""},
        {{QStringLiteral("rekey"), s, QStringLiteral("C")},
         2,
         "",
         "rekey works on the files of an installation and does not take --server"},
        {{QStringLiteral("register"), QStringLiteral("--server=C"), QStringLiteral("F/app")},
         2,
         "",
         "register works on the files of an installation"},
        {{QStringLiteral("sql"), s, QStringLiteral("host=/nonexistent-folder dbname=x"),
          QStringLiteral("select 1")},
         1,
         "",
         "无法连接数据库服务器"},
    };
    for (const Case& c : cases) {
        const QStringList args = expand(c.args);
        const CommandResult r = runAdmin(args);
        const std::string line = args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(r.code, c.code) << line << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(c.out))) << line << "\n"
                                                              << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.err))) << line << "\n"
                                                              << r.err.toStdString();
    }
    EXPECT_EQ(scalar(*current(), QStringLiteral("select count(*) from sbjl where other='服务器'")),
              1);
}

TEST_F(ServerOption, BackupAndRestoreOfTheServerWithTheSameFilesAsAFolder) {
    const CommandResult b =
        runAdmin(expand({QStringLiteral("backup"), QStringLiteral("--server"), QStringLiteral("C"),
                         QStringLiteral("F/s"), QStringLiteral("--keyfile"), QStringLiteral("K")}));
    ASSERT_EQ(b.code, 0) << b.err.toStdString();
    ASSERT_TRUE(QFileInfo::exists(dir_.filePath(QStringLiteral("s.qsl"))));
    ASSERT_TRUE(QFileInfo::exists(dir_.filePath(QStringLiteral("s.qsh"))));
    current()->execute(QStringLiteral("delete from sbjl"));

    const QStringList restore =
        expand({QStringLiteral("restore"), QStringLiteral("--server"), QStringLiteral("C"),
                QStringLiteral("F/s.qsl"), QStringLiteral("--keyfile"), QStringLiteral("K")});
    {
        // Another program connected to the schema: refused, nothing replaced.
        auto other = current();
        const CommandResult r = runAdmin(restore);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("请在其他用户全部退出的情况下恢复数据")))
            << r.err.toStdString();
        EXPECT_EQ(scalar(*other, QStringLiteral("select count(*) from sbjl")), 0);
    }
    const CommandResult r = runAdmin(restore);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("恢复数据库类型：当前库")));
    EXPECT_EQ(scalar(*current(), QStringLiteral("select count(*) from sbjl")), 300);

    // The server's backup restores into the files of a data folder as well.
    const CommandResult f = runAdmin(
        {QStringLiteral("restore"), dataDirOf(app_), dir_.filePath(QStringLiteral("s.qsl"))});
    ASSERT_EQ(f.code, 0) << f.err.toStdString();
    EXPECT_EQ(scalar(*openCurrent(app_), QStringLiteral("select count(*) from sbjl")), 300);
}

TEST_F(ServerOption, ImportStoresTheAssetsOnTheServerWithTheirHistory) {
    const QString file = dir_.filePath(QStringLiteral("清单.csv"));
    QFile csv(file);
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write(QStringLiteral("资产编号,类别,资产名称,存放地点,原值,购置日期,年限\n"
                             "DN-901,电脑,台式机,财务科,800,2020-01-15,5年\n"
                             "DN-902,电脑,台式机,财务科,900,2020-01-16,5年\n")
                  .toUtf8());
    csv.close();
    const CommandResult r =
        runAdmin({QStringLiteral("import"), QStringLiteral("--server"), conninfo_, file});
    ASSERT_EQ(r.code, 0) << r.err.toStdString() << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("added 2 assets")));
    EXPECT_EQ(scalar(*current(), QStringLiteral("select count(*) from sbjl where id='DN-'")), 2);
    auto history =
        db::Connection::openServer(conninfo_, QLatin1String(schema::kServerHistorySchema));
    EXPECT_EQ(scalar(*history, QStringLiteral("select count(*) from czjl where cz='导入'")), 2);
}

}  // namespace
}  // namespace fx::admin::test
