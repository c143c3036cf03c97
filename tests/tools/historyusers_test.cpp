// history: the change history printed with its filters; users --hash-all: every password kept in
// clear replaced by its hash.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "changerecorder.h"
#include "clock.h"
#include "connection.h"
#include "passwordhash.h"
#include "rowset.h"
#include "testsupport.h"

namespace fx::admin::test {
namespace {

class HistoryAndUsersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        app = dir.filePath(QStringLiteral("inst"));
        const CommandResult r = runAdmin({QStringLiteral("init"), app});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
    }
    void record(const QDateTime& when, const QString& number) {
        auto h = openHistory(app);
        Clock::set(when);
        history::ChangeRecorder rec(h.get(), QStringLiteral("张三"));
        rec.begin();
        rec.recordNote(QStringLiteral("修改"), 7, number, QStringLiteral("设备配置：a → b"));
        rec.commit();
        Clock::set(QDateTime(kToday, QTime(10, 30)));
    }

    QTemporaryDir dir;
    QString app;
};

TEST_F(HistoryAndUsersTest, HistoryPrintsTheRowsTheFiltersAskFor) {
    record(QDateTime(QDate(2024, 5, 31), QTime(23, 0)), QStringLiteral("JSJ-1"));
    record(QDateTime(QDate(2024, 6, 1), QTime(9, 30)), QStringLiteral("JSJ-1"));
    record(QDateTime(QDate(2024, 6, 2), QTime(10, 0)), QStringLiteral("JSJ-2"));
    const QString host = history::workstationName();
    const QString line2 = QStringLiteral("2024-06-01 09:30:00\t张三\t") + host +
                          QStringLiteral("\t修改\t7\tJSJ-1\t设备配置：a → b\n");

    CommandResult all = runAdmin({QStringLiteral("history"), dataDirOf(app)});
    ASSERT_EQ(all.code, 0) << all.err.toStdString();
    EXPECT_EQ(all.out.count(QLatin1Char('\n')), 3);

    CommandResult june = runAdmin({QStringLiteral("history"), dataDirOf(app),
                                   QStringLiteral("--from"), QStringLiteral("2024-06-01"),
                                   QStringLiteral("--asset"), QStringLiteral("JSJ-1")});
    ASSERT_EQ(june.code, 0) << june.err.toStdString();
    EXPECT_EQ(june.out, line2);

    CommandResult may = runAdmin({QStringLiteral("history"), dataDirOf(app), QStringLiteral("--to"),
                                  QStringLiteral("2024-05-31")});
    EXPECT_EQ(may.out.count(QLatin1Char('\n')), 1);

    EXPECT_EQ(runAdmin({QStringLiteral("history"), dataDirOf(app), QStringLiteral("--from"),
                        QStringLiteral("31.5.2024")})
                  .code,
              2);
    EXPECT_EQ(runAdmin({QStringLiteral("history")}).code, 2);
    EXPECT_EQ(runAdmin({QStringLiteral("history"), dir.filePath(QStringLiteral("none"))}).code, 1);
}

TEST_F(HistoryAndUsersTest, ABackupAndRestoreCarryTheHistory) {
    record(QDateTime(QDate(2024, 6, 1), QTime(9, 30)), QStringLiteral("JSJ-1"));
    const QString file = dir.filePath(QStringLiteral("b"));
    ASSERT_EQ(runAdmin({QStringLiteral("backup"), dataDirOf(app), file}).code, 0);
    record(QDateTime(QDate(2024, 6, 2), QTime(9, 30)), QStringLiteral("JSJ-2"));
    {
        auto h = openHistory(app);
        ASSERT_EQ(scalar(*h, QStringLiteral("select count(*) from czjl")), 2);
    }
    const CommandResult r =
        runAdmin({QStringLiteral("restore"), dataDirOf(app), file + QStringLiteral(".qsh")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    auto h = openHistory(app);
    EXPECT_EQ(scalar(*h, QStringLiteral("select count(*) from czjl")), 1);
    EXPECT_EQ(scalar(*h, QStringLiteral("select count(*) from czjl where zcbh='JSJ-1'")), 1);
}

TEST_F(HistoryAndUsersTest, HashAllReplacesEveryPasswordInClear) {
    {
        auto c = openCurrent(app);
        c->execute(QStringLiteral("insert into users (user,password) values ('甲','pw1')"));
        c->execute(QStringLiteral("insert into users (user,password) values ('乙','')"));
        c->execute(QStringLiteral("insert into users (user,password) values ('丙','") +
                   accounts::hashPassword(QStringLiteral("pw3")) + QStringLiteral("')"));
    }
    const CommandResult r =
        runAdmin({QStringLiteral("users"), dataDirOf(app), QStringLiteral("--hash-all")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("1 passwords replaced by their hash\n"));
    auto c = openCurrent(app);
    db::RowSet rows(*c, QStringLiteral("select * from users"));
    rows.open();
    QHash<QString, QString> stored;
    for (; !rows.eof(); rows.next())
        stored.insert(rows.text(QStringLiteral("user")), rows.text(QStringLiteral("password")));
    EXPECT_TRUE(accounts::isPasswordHash(stored.value(QStringLiteral("甲"))));
    EXPECT_TRUE(
        accounts::passwordMatches(stored.value(QStringLiteral("甲")), QStringLiteral("pw1")));
    EXPECT_TRUE(stored.value(QStringLiteral("乙")).isEmpty());
    EXPECT_TRUE(
        accounts::passwordMatches(stored.value(QStringLiteral("丙")), QStringLiteral("pw3")));
    EXPECT_TRUE(stored.value(QStringLiteral("系统管理员")).isEmpty());

    // Again: nothing is left in clear.
    EXPECT_EQ(runAdmin({QStringLiteral("users"), dataDirOf(app), QStringLiteral("--hash-all")}).out,
              QStringLiteral("0 passwords replaced by their hash\n"));
    EXPECT_EQ(runAdmin({QStringLiteral("users"), dataDirOf(app)}).code, 2);
}

}  // namespace
}  // namespace fx::admin::test
