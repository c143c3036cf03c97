#include <gtest/gtest.h>

#include <sqlite3.h>
#include "qtprint.h"

#include <QDateTime>

#include "clock.h"
#include "dberror.h"
#include "jettranslator.h"

namespace fx::db {
namespace {

// An in-memory engine with the Jet functions registered.
class JetFunctions : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        registerJetFunctions(db_);
    }
    void TearDown() override {
        sqlite3_close(db_);
        Clock::set(QDateTime());
    }

    // The first column of the first row; null for NULL. Throws DbError on failure.
    QVariant eval(const char* expression) {
        const QByteArray sql = QByteArray("SELECT ") + expression;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
            throw DbError(QString::fromUtf8(sqlite3_errmsg(db_)));
        }
        QVariant v;
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW) {
            switch (sqlite3_column_type(st, 0)) {
                case SQLITE_INTEGER:
                    v = qlonglong(sqlite3_column_int64(st, 0));
                    break;
                case SQLITE_FLOAT:
                    v = sqlite3_column_double(st, 0);
                    break;
                case SQLITE_NULL:
                    break;
                default:
                    v = QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            }
        }
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
        sqlite3_finalize(st);
        if (rc != SQLITE_ROW) throw DbError(message);
        return v;
    }
    QString text(const char* expression) { return eval(expression).toString(); }

    sqlite3* db_ = nullptr;
};

TEST_F(JetFunctions, StrPutsABlankBeforeNumbersThatAreNotNegative) {
    EXPECT_EQ(text("STR(12)"), QStringLiteral(" 12"));
    EXPECT_EQ(text("STR(0)"), QStringLiteral(" 0"));
    EXPECT_EQ(text("STR(-5)"), QStringLiteral("-5"));
    EXPECT_EQ(text("STR(12.0)"), QStringLiteral(" 12"));
    EXPECT_EQ(text("STR(1.5)"), QStringLiteral(" 1.5"));
    EXPECT_EQ(text("STR(0.5)"), QStringLiteral(" .5"));
    EXPECT_EQ(text("STR(-0.25)"), QStringLiteral("-.25"));
    EXPECT_EQ(text("STR('42')"), QStringLiteral(" 42"));
    EXPECT_EQ(text("TRIM(STR(12))"), QStringLiteral("12"));
    EXPECT_TRUE(eval("STR(NULL)").isNull());
    EXPECT_THROW(eval("STR('abc')"), DbError);
}

// LEFT and RIGHT are written quoted, as the translation writes them: the engine reads the bare
// words as joins.
TEST_F(JetFunctions, RightLeftAndMidCountCharacters) {
    EXPECT_EQ(text("\"RIGHT\"('JSJ-12',2)"), QStringLiteral("12"));
    EXPECT_EQ(text("\"RIGHT\"('ab',5)"), QStringLiteral("ab"));
    EXPECT_EQ(text("\"RIGHT\"('固定资产',2)"), QStringLiteral("资产"));
    EXPECT_EQ(text("\"RIGHT\"('000'||'12',4)"), QStringLiteral("0012"));
    EXPECT_EQ(text("\"RIGHT\"('000'||'12345',4)"), QStringLiteral("2345"));
    EXPECT_EQ(text("\"RIGHT\"(12345,2)"), QStringLiteral("45"));
    EXPECT_EQ(text("\"RIGHT\"('abc',0)"), QString());
    EXPECT_TRUE(eval("\"RIGHT\"(NULL,2)").isNull());
    EXPECT_THROW(eval("\"RIGHT\"('abc',-1)"), DbError);
    EXPECT_THROW(eval("\"RIGHT\"('abc','x')"), DbError);

    EXPECT_EQ(text("\"LEFT\"('固定资产',2)"), QStringLiteral("固定"));
    EXPECT_EQ(text("\"LEFT\"('ab',9)"), QStringLiteral("ab"));
    EXPECT_TRUE(eval("\"LEFT\"(NULL,1)").isNull());

    EXPECT_EQ(text("MID('abcdef',2,3)"), QStringLiteral("bcd"));
    EXPECT_EQ(text("MID('abcdef',4)"), QStringLiteral("def"));
    EXPECT_EQ(text("MID('固定资产',2,2)"), QStringLiteral("定资"));
    EXPECT_EQ(text("MID('abc',9,2)"), QString());
    EXPECT_THROW(eval("MID('abc',0,1)"), DbError);
}

TEST_F(JetFunctions, LenUcaseLcaseAndTrim) {
    EXPECT_EQ(eval("LEN('固定资产')").toInt(), 4);
    EXPECT_EQ(eval("LEN('')").toInt(), 0);
    EXPECT_TRUE(eval("LEN(NULL)").isNull());
    EXPECT_EQ(text("UCASE('jsj-')"), QStringLiteral("JSJ-"));
    EXPECT_EQ(text("LCASE('JSJ-')"), QStringLiteral("jsj-"));
    EXPECT_EQ(text("TRIM('  电脑 ')"), QStringLiteral("电脑"));
}

TEST_F(JetFunctions, DateParts) {
    EXPECT_EQ(eval("YEAR('2020-03-04')").toInt(), 2020);
    EXPECT_EQ(eval("MONTH('2020-03-04')").toInt(), 3);
    EXPECT_EQ(eval("DAY('2020-03-04')").toInt(), 4);
    EXPECT_EQ(eval("MONTH('2020-11-04 10:20:30')").toInt(), 11);
    EXPECT_EQ(eval("YEAR('2020-3-4')").toInt(), 2020);
    EXPECT_TRUE(eval("YEAR(NULL)").isNull());
    EXPECT_TRUE(eval("YEAR('')").isNull());
    EXPECT_TRUE(eval("MONTH('not a date')").isNull());
    // A Jet day number: 1 is 1899-12-31.
    EXPECT_EQ(eval("DAY(1)").toInt(), 31);
}

TEST_F(JetFunctions, NowAndDateReadTheProgramClock) {
    Clock::set(QDateTime(QDate(2024, 6, 15), QTime(10, 30, 5)));
    EXPECT_EQ(text("NOW()"), QStringLiteral("2024-06-15 10:30:05"));
    EXPECT_EQ(text("DATE()"), QStringLiteral("2024-06-15"));
    EXPECT_EQ(eval("(YEAR(NOW())-YEAR('2023-05-10'))*12+MONTH(NOW())-MONTH('2023-05-10')").toInt(),
              13);
    // The engine's own date(x, modifiers) still works.
    EXPECT_EQ(text("date('2024-02-28','+1 day')"), QStringLiteral("2024-02-29"));
    Clock::set(QDateTime());
    EXPECT_FALSE(Clock::isFixed());
    EXPECT_EQ(text("DATE()"), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
}

TEST_F(JetFunctions, IifAndNz) {
    EXPECT_EQ(text("IIF(1,'是','否')"), QStringLiteral("是"));
    EXPECT_EQ(text("IIF(0,'是','否')"), QStringLiteral("否"));
    EXPECT_EQ(text("IIF(NULL,'是','否')"), QStringLiteral("否"));
    EXPECT_EQ(eval("NZ(NULL,5)").toInt(), 5);
    EXPECT_EQ(eval("NZ(7,5)").toInt(), 7);
    EXPECT_EQ(text("NZ(NULL)"), QString());
    EXPECT_FALSE(eval("NZ(NULL)").isNull());
}

TEST_F(JetFunctions, JetTextCollationSortsChineseByPinyin) {
    sqlite3_exec(db_,
                 "CREATE TABLE t (v TEXT);"
                 "INSERT INTO t VALUES ('归还'),('借出'),('电脑'),('Abc'),('abd'),('aBc')",
                 nullptr, nullptr, nullptr);
    QStringList order;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db_, "SELECT v FROM t ORDER BY v COLLATE JETTEXT", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        order << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    }
    sqlite3_finalize(st);
    // Letters ignore case; identical texts only are equal (Abc before aBc by code points).
    // 电脑 (dian) before 归还 (gui) before 借出 (jie).
    EXPECT_EQ(order, QStringList({QStringLiteral("Abc"), QStringLiteral("aBc"),
                                  QStringLiteral("abd"), QStringLiteral("电脑"),
                                  QStringLiteral("归还"), QStringLiteral("借出")}));
    EXPECT_EQ(eval("'Abc' = 'aBc' COLLATE JETTEXT").toInt(), 0);
}

}  // namespace
}  // namespace fx::db
