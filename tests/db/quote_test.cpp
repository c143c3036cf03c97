#include "quote.h"

#include <gtest/gtest.h>

#include "qtprint.h"

#include "rowset.h"
#include "testdb.h"

namespace fx::db {
namespace {

TEST(Quote, DoublesApostrophes) {
    EXPECT_EQ(quoted(QStringLiteral("电脑")), QStringLiteral("'电脑'"));
    EXPECT_EQ(quoted(QStringLiteral("O'Brien")), QStringLiteral("'O''Brien'"));
    EXPECT_EQ(quoted(QStringLiteral("''")), QStringLiteral("''''''"));
    EXPECT_EQ(quoted(QString()), QStringLiteral("''"));
    EXPECT_EQ(escaped(QStringLiteral("a'b'c")), QStringLiteral("a''b''c"));
    EXPECT_EQ(escaped(QStringLiteral("plain")), QStringLiteral("plain"));
}

TEST(Quote, JetDateIsMonthDayYear) {
    EXPECT_EQ(jetDate(QDate(2005, 4, 3)), QStringLiteral("#04/03/2005#"));
    EXPECT_EQ(jetDate(QDate(1949, 10, 1)), QStringLiteral("#10/01/1949#"));
}

// A pasted apostrophe neither breaks a statement nor changes its meaning.
TEST(Quote, ApostrophesSurviveTheStatementAndTheTranslation) {
    test::TestDb t;
    const QString remark = QStringLiteral("it's \"new\" #1/2/2003# + 'x'");
    EXPECT_EQ(t.db().execute(QStringLiteral("update sbjl set other=") + quoted(remark) +
                             QStringLiteral(" where num=12")),
              1);
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where other=") + quoted(remark));
    rs.open();
    ASSERT_EQ(rs.count(), 1);
    EXPECT_EQ(rs.text(QStringLiteral("other")), remark);

    // An attempt to widen a condition matches nothing instead of everything.
    const QString attack = QStringLiteral("x' or '1'='1");
    rs.open(QStringLiteral("select * from sbjl where wz='") + escaped(attack) +
            QStringLiteral("'"));
    EXPECT_EQ(rs.count(), 0);
    EXPECT_EQ(t.db().execute(QStringLiteral("delete from sbjl where wz=") + quoted(attack)), 0);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT count(*) FROM sbjl")).toInt(), 3);
}

}  // namespace
}  // namespace fx::db
