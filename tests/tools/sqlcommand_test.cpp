// sql: the asset query and other statements through the data-access layer, the output format,
// where the password comes from.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "installation.h"
#include "sqlcommand.h"
#include "testsupport.h"
#include "valuetext.h"

namespace fx::admin::test {
namespace {

const QString kAssetQuery = QStringLiteral(
    "select (YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq) AS ynum,"
    "(sbjl.id+TRIM(STR(sbjl.num))) AS bh,sbjl.*,syq.yue,sortproc.cz from sbjl,syq,sortproc "
    "where sbjl.bxq=syq.qx and sbjl.zclb=sortproc.sort");

class SqlCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tmp_ = new QTemporaryDir;
        app_ = tmp_->filePath(QStringLiteral("demo"));
        const CommandResult r = runAdmin({QStringLiteral("init"), app_, QStringLiteral("--demo")});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
    }
    static void TearDownTestSuite() {
        delete tmp_;
        tmp_ = nullptr;
    }
    // Each test changes what it likes on a copy of the demo installation.
    void SetUp() override {
        ASSERT_TRUE(own_.isValid());
        app = own_.filePath(QStringLiteral("inst"));
        copyTree(app_, app);
        data = dataDirOf(app);
        schema::writeInstallationKey({app, QStringLiteral("测试")});
    }
    static void copyTree(const QString& from, const QString& to) {
        QDir().mkpath(to);
        const QDir src(from);
        for (const QString& f : src.entryList(QDir::Files)) {
            QFile::copy(src.filePath(f), QDir(to).filePath(f));
        }
        for (const QString& d : src.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            copyTree(src.filePath(d), QDir(to).filePath(d));
        }
    }
    CommandResult sql(const QString& statement, const QStringList& extra = {}) {
        return runAdmin(QStringList{QStringLiteral("sql"), data, statement} + extra);
    }

    static QTemporaryDir* tmp_;
    static QString app_;
    QTemporaryDir own_;
    QString app;
    QString data;
};

QTemporaryDir* SqlCommandTest::tmp_ = nullptr;
QString SqlCommandTest::app_;

TEST_F(SqlCommandTest, AssetQueryListsEveryAssetWithNumberAndMonthsInUse) {
    const CommandResult r = sql(kAssetQuery);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QList<QStringList> t = tableOf(r.out);
    ASSERT_EQ(t.size(), 1 + 300);
    const QStringList header = t.front();
    ASSERT_GE(header.size(), 4);
    EXPECT_EQ(header.at(0).toLower(), QStringLiteral("ynum"));
    EXPECT_EQ(header.at(1).toLower(), QStringLiteral("bh"));
    EXPECT_TRUE(header.contains(QStringLiteral("yue"), Qt::CaseInsensitive));
    EXPECT_TRUE(header.contains(QStringLiteral("cz"), Qt::CaseInsensitive));
    const qsizetype gmrq = header.indexOf(QStringLiteral("gmrq"));
    ASSERT_GE(gmrq, 0);

    const QRegularExpression number(QStringLiteral("^[A-Z]{2,8}-[1-9][0-9]*$"));
    QSet<QString> numbers;
    for (qsizetype i = 1; i < t.size(); ++i) {
        const QStringList& row = t.at(i);
        ASSERT_EQ(row.size(), header.size());
        EXPECT_TRUE(number.match(row.at(1)).hasMatch()) << row.at(1).toStdString();
        numbers.insert(row.at(1));
        const QDate bought = QDate::fromString(row.at(gmrq), QStringLiteral("yyyy-MM-dd"));
        ASSERT_TRUE(bought.isValid()) << row.at(gmrq).toStdString();
        const int months = (kToday.year() - bought.year()) * 12 + kToday.month() - bought.month();
        EXPECT_EQ(row.at(0).toInt(), months) << row.at(gmrq).toStdString();
    }
    EXPECT_EQ(numbers.size(), 300);  // asset numbers are unique
    EXPECT_TRUE(numbers.contains(QStringLiteral("JSJ-12")));
    EXPECT_TRUE(numbers.contains(QStringLiteral("BGJ-1")));
}

TEST_F(SqlCommandTest, PrintsDatesYesNoAndNumbersInTheDocumentedForm) {
    const CommandResult r =
        sql(QStringLiteral("select ID1,gmrq,ybf,worp,gmjg from sbjl where ID1=1"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QList<QStringList> t = tableOf(r.out);
    ASSERT_EQ(t.size(), 2);
    EXPECT_EQ(t.at(0),
              (QStringList{QStringLiteral("ID1"), QStringLiteral("gmrq"), QStringLiteral("ybf"),
                           QStringLiteral("worp"), QStringLiteral("gmjg")}));
    EXPECT_EQ(t.at(1).at(0), QStringLiteral("1"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"))
                    .match(t.at(1).at(1))
                    .hasMatch());
    EXPECT_TRUE(t.at(1).at(2) == QStringLiteral("0") || t.at(1).at(2) == QStringLiteral("1"));
    EXPECT_TRUE(t.at(1).at(3) == QStringLiteral("0") || t.at(1).at(3) == QStringLiteral("1"));
    EXPECT_GT(t.at(1).at(4).toDouble(), 0.0);
}

TEST_F(SqlCommandTest, ChangeStatementReportsChangedRowsAndIsKept) {
    auto c = openCurrent(app);
    const qint64 jsj = scalar(*c, QStringLiteral("select count(*) from sbjl where id='JSJ-'"));
    c.reset();
    ASSERT_GT(jsj, 1);
    const CommandResult r = sql(QStringLiteral("update sbjl set other='年度盘点' where id='JSJ-'"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), QStringLiteral("%1 rows changed").arg(jsj));
    c = openCurrent(app);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from sbjl where other='年度盘点'")), jsj);

    const CommandResult one = sql(QStringLiteral("update sbjl set ybf=true where ID1=2"));
    ASSERT_EQ(one.code, 0) << one.err.toStdString();
    EXPECT_EQ(one.out.trimmed(), QStringLiteral("1 row changed"));
    const CommandResult none = sql(QStringLiteral("delete from sbjl where ID1=-5"));
    EXPECT_EQ(none.out.trimmed(), QStringLiteral("0 rows changed"));
}

TEST_F(SqlCommandTest, JetDateLiteralsAndYesNoConditionsWork) {
    const CommandResult all =
        sql(QStringLiteral("select count(*) as n from sbjl where "
                           "gmrq<=#06/15/2024#"));
    ASSERT_EQ(all.code, 0) << all.err.toStdString();
    EXPECT_EQ(tableOf(all.out).at(1).at(0), QStringLiteral("300"));
    const CommandResult lent = sql(QStringLiteral("select count(*) as n from sbjl where yjc"));
    const CommandResult loans = sql(QStringLiteral("select count(*) as n from jcb"));
    ASSERT_EQ(lent.code, 0) << lent.err.toStdString();
    EXPECT_EQ(lent.out, loans.out);
}

TEST_F(SqlCommandTest, HistoryOptionRunsOnTheHistoryDatabase) {
    const CommandResult r = sql(QStringLiteral("select bz,count(*) as n from jyjlb group by bz"),
                                {QStringLiteral("--history")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QList<QStringList> t = tableOf(r.out);
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t.at(0), (QStringList{QStringLiteral("bz"), QStringLiteral("n")}));
    const QSet<QString> kinds{t.at(1).at(0), t.at(2).at(0)};
    EXPECT_EQ(kinds, (QSet<QString>{QStringLiteral("借出"), QStringLiteral("归还")}));
    // Without the option the statement goes to the current database, which has no jyjlb.
    EXPECT_EQ(sql(QStringLiteral("select * from jyjlb")).code, 1);
}

TEST_F(SqlCommandTest, TextWithTabsAndLineBreaksStaysOnOneLine) {
    ASSERT_EQ(
        sql(QStringLiteral("update sbjl set other='第一行\n第二行\t备注\\完' where ID1=3")).code,
        0);
    const CommandResult r = sql(QStringLiteral("select ID1,other from sbjl where ID1=3"));
    ASSERT_EQ(r.code, 0);
    const QList<QStringList> t = tableOf(r.out);
    ASSERT_EQ(t.size(), 2);
    EXPECT_EQ(t.at(1).at(1), QStringLiteral("第一行\\n第二行\\t备注\\\\完"));
}

TEST_F(SqlCommandTest, NullDatesPrintAsBackslashN) {
    ASSERT_EQ(sql(QStringLiteral("update jcb set ghrq=null")).code, 0);
    const CommandResult r = sql(QStringLiteral("select id,ghrq from jcb"));
    ASSERT_EQ(r.code, 0);
    const QList<QStringList> t = tableOf(r.out);
    ASSERT_GT(t.size(), 1);
    for (qsizetype i = 1; i < t.size(); ++i) EXPECT_EQ(t.at(i).at(1), QStringLiteral("\\N"));
}

TEST_F(SqlCommandTest, KeyFileAboveTheDataFolderIsUsedFirst) {
    schema::writeInstallationKey({own_.filePath(QStringLiteral("nowhere")), QString()});
    EXPECT_EQ(sql(QStringLiteral("select count(*) from sbjl")).code, 0);
}

TEST_F(SqlCommandTest, KeyFileOfTheRegistryInstallationServesAMovedDataFolder) {
    const QString moved = own_.filePath(QStringLiteral("share/volume"));
    copyTree(data, moved);  // a data folder without a key file above it
    const CommandResult r =
        runAdmin({QStringLiteral("sql"), moved, QStringLiteral("select count(*) as n from sbjl")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(tableOf(r.out).at(1).at(0), QStringLiteral("300"));
    EXPECT_EQ(resolveKeyFile(moved, QString()), keyFileOf(app));
}

TEST_F(SqlCommandTest, ExplicitKeyFileIsUsed) {
    const QString moved = own_.filePath(QStringLiteral("share/volume"));
    copyTree(data, moved);
    schema::writeInstallationKey({own_.filePath(QStringLiteral("nowhere")), QString()});
    EXPECT_EQ(
        runAdmin({QStringLiteral("sql"), moved, QStringLiteral("select * from username")}).code, 1);
    const CommandResult r =
        runAdmin({QStringLiteral("sql"), moved, QStringLiteral("select * from username"),
                  QStringLiteral("--keyfile"), keyFileOf(app)});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
}

TEST(RowStatementTest, RecognisesSelectsOnly) {
    EXPECT_TRUE(isRowStatement(QStringLiteral("select * from sbjl")));
    EXPECT_TRUE(isRowStatement(QStringLiteral("  SELECT 1")));
    EXPECT_TRUE(
        isRowStatement(QStringLiteral("(select id from jcb) union all (select id from "
                                      "wxjlb)")));
    EXPECT_FALSE(isRowStatement(QStringLiteral("update sbjl set wx=true")));
    EXPECT_FALSE(isRowStatement(QStringLiteral("delete from jcb")));
    EXPECT_FALSE(isRowStatement(QStringLiteral("selected")));
    EXPECT_FALSE(isRowStatement(QString()));
}

TEST(FieldTextTest, FormatsEveryKindOfValue) {
    EXPECT_EQ(fieldText(QVariant()), QStringLiteral("\\N"));
    EXPECT_EQ(fieldText(QVariant(true)), QStringLiteral("1"));
    EXPECT_EQ(fieldText(QVariant(false)), QStringLiteral("0"));
    EXPECT_EQ(fieldText(QVariant(QDate(2024, 3, 5))), QStringLiteral("2024-03-05"));
    EXPECT_EQ(fieldText(QVariant(QDate())), QStringLiteral("\\N"));
    EXPECT_EQ(fieldText(QVariant(QDateTime(QDate(2024, 3, 5), QTime(8, 9, 10)))),
              QStringLiteral("2024-03-05 08:09:10"));
    EXPECT_EQ(fieldText(QVariant(42)), QStringLiteral("42"));
    EXPECT_EQ(fieldText(QVariant(qint64(-7000000000))), QStringLiteral("-7000000000"));
    EXPECT_EQ(fieldText(QVariant(1234.5)), QStringLiteral("1234.5"));
    EXPECT_EQ(fieldText(QVariant(0.1 + 0.2)), QStringLiteral("0.3"));
    EXPECT_EQ(fieldText(QVariant(1000000.0)), QStringLiteral("1000000"));
    EXPECT_EQ(fieldText(QVariant(QStringLiteral("计算机设备"))), QStringLiteral("计算机设备"));
    EXPECT_EQ(fieldText(QVariant(QStringLiteral("a\tb\nc\rd\\e"))),
              QStringLiteral("a\\tb\\nc\\rd\\\\e"));
    EXPECT_EQ(fieldText(QVariant(QString(QLatin1String("")))), QString());
}

}  // namespace
}  // namespace fx::admin::test
