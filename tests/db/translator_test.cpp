#include <gtest/gtest.h>

#include "qtprint.h"

#include <QSet>

#include "dberror.h"
#include "jettranslator.h"

namespace fx::db {
namespace {

// The text columns of a small schema: "id" is text in sbjl and an integer in jcb and his.
bool isText(const QString& column) {
    static const QSet<QString> qualified = {
        QStringLiteral("sbjl.id"),      QStringLiteral("sbjl.zclb"),  QStringLiteral("sbjl.sbmc"),
        QStringLiteral("sbjl.wz"),      QStringLiteral("sbjl.other"), QStringLiteral("sbjl.bgr"),
        QStringLiteral("person.pname"), QStringLiteral("person.bm"),  QStringLiteral("jcb.jyr"),
        QStringLiteral("jyjlb.bz"),
    };
    static const QSet<QString> bare = {
        QStringLiteral("id"),    QStringLiteral("zclb"),  QStringLiteral("sbmc"),
        QStringLiteral("wz"),    QStringLiteral("other"), QStringLiteral("bgr"),
        QStringLiteral("pname"), QStringLiteral("bm"),    QStringLiteral("jyr"),
        QStringLiteral("bz"),
    };
    return column.contains(QLatin1Char('.')) ? qualified.contains(column) : bare.contains(column);
}

QString tr(const char* jet) {
    return translateJet(QString::fromUtf8(jet), &isText);
}
QString s(const char* text) {
    return QString::fromUtf8(text);
}

// ---- Date literals -------------------------------------------------------------------------

TEST(TranslateDates, BothLiteralFormsBecomeIsoText) {
    EXPECT_EQ(tr("select * from sbjl where gmrq>=#10/01/1949# and gmrq<=#06/16/2024#"),
              s("select * from sbjl where gmrq>='1949-10-01' and gmrq<='2024-06-16'"));
    EXPECT_EQ(tr("select * from sbjl where (gmrq>#2005-04-03#)"),
              s("select * from sbjl where (gmrq>'2005-04-03')"));
    EXPECT_EQ(tr("x=#4/3/2005#"), s("x='2005-04-03'"));
    EXPECT_EQ(tr("x=#2005-4-3#"), s("x='2005-04-03'"));
    EXPECT_EQ(tr("x=#4/3/05#"), s("x='2005-04-03'"));
    EXPECT_EQ(tr("x=#4/3/49#"), s("x='1949-04-03'"));
    EXPECT_EQ(tr("x=#2005-04-03 10:20:30#"), s("x='2005-04-03 10:20:30'"));
    EXPECT_EQ(tr("x=#2005-04-03 00:00:00#"), s("x='2005-04-03'"));
}

TEST(TranslateDates, InvalidDateIsAnError) {
    EXPECT_THROW(tr("x=#02/30/2024#"), DbError);
    EXPECT_THROW(tr("x=#13/01/2024#"), DbError);
    EXPECT_THROW(tr("x=#yesterday#"), DbError);
}

TEST(TranslateDates, HashInsideStringsStays) {
    EXPECT_EQ(tr("select * from sbjl where other like '%#1/2/2003#%'"),
              s("select * from sbjl where other like '%#1/2/2003#%'"));
}

// ---- Truth values --------------------------------------------------------------------------

TEST(TranslateTruth, TrueAndFalseBecomeOneAndZero) {
    EXPECT_EQ(tr("update sbjl set sbmc='a',worp=false where sbmc='b'and zclb='c'"),
              s("update sbjl set sbmc='a',worp=0 where sbmc='b'and zclb='c'"));
    EXPECT_EQ(tr("update sbjl set worp=TRUE"), s("update sbjl set worp=1"));
    EXPECT_EQ(tr("select * from sbjl where worp=yes or ybf=No"),
              s("select * from sbjl where worp=1 or ybf=0"));
    // Inside strings, and as names after a dot, the words stay.
    EXPECT_EQ(tr("select * from t where a='true'"), s("select * from t where a='true'"));
    EXPECT_EQ(tr("select t.true from t"), s("select t.true from t"));
}

TEST(TranslateTruth, YesNoColumnsAsConditionsStay) {
    EXPECT_EQ(tr("select * from sbjl where 1=2 and worp and not ybf"),
              s("select * from sbjl where 1=2 and worp and not ybf"));
    EXPECT_EQ(tr("select * from wzb where isbm"), s("select * from wzb where isbm"));
}

// ---- + between texts -----------------------------------------------------------------------

TEST(TranslatePlus, TextColumnJoinedWithTextFunction) {
    EXPECT_EQ(tr("select (sbjl.id+TRIM(STR(sbjl.num))) AS bh from sbjl"),
              s("select (sbjl.id||TRIM(STR(sbjl.num))) AS bh from sbjl"));
    EXPECT_EQ(tr("select RIGHT('000'+TRIM(STR(sbjl.num)),4) from sbjl"),
              s("select \"RIGHT\"('000'||TRIM(STR(sbjl.num)),4) from sbjl"));
}

TEST(TranslatePlus, NumbersStayAdded) {
    const char* ynum =
        "select (YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq) AS ynum from sbjl";
    EXPECT_EQ(tr(ynum), s(ynum));
    EXPECT_EQ(tr("select num+1, gmjg + 2.5 from sbjl"), s("select num+1, gmjg + 2.5 from sbjl"));
    EXPECT_EQ(tr("select LEN(sbmc)+1 from sbjl"), s("select LEN(sbmc)+1 from sbjl"));
}

TEST(TranslatePlus, TextOperandOnEitherSide) {
    EXPECT_EQ(tr("select zclb+sbmc from sbjl"), s("select zclb||sbmc from sbjl"));
    EXPECT_EQ(tr("select num+'件' from sbjl"), s("select num||'件' from sbjl"));
    EXPECT_EQ(tr("select 'No.'+num from sbjl"), s("select 'No.'||num from sbjl"));
    EXPECT_EQ(tr("select zclb + '-' + sbmc + '-' + STR(num) from sbjl"),
              s("select zclb || '-' || sbmc || '-' || STR(num) from sbjl"));
    EXPECT_EQ(tr("select UCASE(sbmc)+LEFT(zclb,1)+MID(wz,2,1)+LCASE(bgr) from sbjl"),
              s("select UCASE(sbmc)||\"LEFT\"(zclb,1)||MID(wz,2,1)||LCASE(bgr) from sbjl"));
}

TEST(TranslatePlus, ParenthesisedTextExpressionIsText) {
    EXPECT_EQ(tr("select (zclb+'/')+num from sbjl"), s("select (zclb||'/')||num from sbjl"));
    EXPECT_EQ(tr("select ((sbjl.id))+num from sbjl"), s("select ((sbjl.id))||num from sbjl"));
    EXPECT_EQ(tr("select MAX(sbmc)+'x' from sbjl"), s("select MAX(sbmc)||'x' from sbjl"));
    EXPECT_EQ(tr("select MAX(num)+1 from sbjl"), s("select MAX(num)+1 from sbjl"));
}

TEST(TranslatePlus, ArithmeticNextToTextKeepsItsMeaning) {
    // || binds tighter than * and + in the engine: arithmetic operands get parentheses.
    EXPECT_EQ(tr("select num*2+'x' from sbjl"), s("select (num*2)||'x' from sbjl"));
    EXPECT_EQ(tr("select 'x'+num*2 from sbjl"), s("select 'x'||(num*2) from sbjl"));
    EXPECT_EQ(tr("select 1+2+'a' from sbjl"), s("select (1+2)||'a' from sbjl"));
    EXPECT_EQ(tr("select -num+'a' from sbjl"), s("select (-num)||'a' from sbjl"));
}

TEST(TranslatePlus, UnqualifiedColumnsAreResolvedThroughTheFromClause) {
    // id is an integer in jcb: stays addition; text in sbjl: joined.
    EXPECT_EQ(tr("select id+1 from jcb"), s("select id+1 from jcb"));
    EXPECT_EQ(tr("select id+'x' from jcb"), s("select id||'x' from jcb"));
    EXPECT_EQ(tr("select id+num from sbjl"), s("select id||num from sbjl"));
    // Table aliases.
    EXPECT_EQ(tr("select a.id+a.num from sbjl a"), s("select a.id||a.num from sbjl a"));
    EXPECT_EQ(tr("select a.id+1 from jcb AS a"), s("select a.id+1 from jcb AS a"));
    // Each part of a union and each subquery has its own tables.
    EXPECT_EQ(tr("select id+1 from jcb union all select id+num from sbjl"),
              s("select id+1 from jcb union all select id||num from sbjl"));
    EXPECT_EQ(tr("select * from jcb where id+1 in (select ID1 from sbjl where id+num='JSJ-12')"),
              s("select * from jcb where id+1 in (select ID1 from sbjl where id||num='JSJ-12')"));
}

TEST(TranslatePlus, AmpersandJoinsTexts) {
    EXPECT_EQ(tr("select num & '件' from sbjl"), s("select num || '件' from sbjl"));
    EXPECT_EQ(tr("select num+1 & 'x' from sbjl"), s("select (num+1) || 'x' from sbjl"));
}

TEST(TranslatePlus, LeftAndRightAreFunctionsBeforeAParenthesis) {
    // Quoted, because the engine reads the bare words as the start of a join.
    EXPECT_EQ(tr("select LEFT(zclb,2)+Right(sbmc,1) from sbjl"),
              s("select \"LEFT\"(zclb,2)||\"Right\"(sbmc,1) from sbjl"));
    EXPECT_EQ(tr("select * from sbjl left join person on sbjl.wz=person.pname"),
              s("select * from sbjl left join person on sbjl.wz=person.pname"));
}

// ---- Reserved names ------------------------------------------------------------------------

TEST(TranslateNames, ReservedColumnNamesAreQuoted) {
    EXPECT_EQ(tr("select * from his where id=5 order by index asc"),
              s("select * from his where id=5 order by \"index\" asc"));
    EXPECT_EQ(tr("select his.index, index from his"),
              s("select his.\"index\", \"index\" from his"));
    EXPECT_EQ(tr("select * from t where table=1"), s("select * from t where \"table\"=1"));
}

TEST(TranslateNames, BracketedNamesAndDoubleQuotedStrings) {
    EXPECT_EQ(tr("select [index],[my col] from his"), s("select \"index\",\"my col\" from his"));
    EXPECT_EQ(tr("select * from sbjl where zclb=\"电脑\""),
              s("select * from sbjl where zclb='电脑'"));
    EXPECT_EQ(tr("select * from sbjl where zclb=\"it's\""),
              s("select * from sbjl where zclb='it''s'"));
}

// ---- Filled remark -------------------------------------------------------------------------

TEST(TranslateNotInNull, BecomesANonBlankTextTest) {
    EXPECT_EQ(tr("select * from sbjl where 1=1 and other not in (null,' ')"),
              s("select * from sbjl where 1=1 and (other is not null and trim(other)<>'')"));
    EXPECT_EQ(tr("select * from sbjl where sbjl.other not in (NULL, '')"),
              s("select * from sbjl where (sbjl.other is not null and trim(sbjl.other)<>'')"));
    EXPECT_EQ(tr("select * from sbjl where TRIM(other) not in (null,' ') and worp"),
              s("select * from sbjl where (TRIM(other) is not null and trim(TRIM(other))<>'') "
                "and worp"));
}

TEST(TranslateNotInNull, OtherListsKeepTheirValues) {
    EXPECT_EQ(tr("select * from sbjl where wz not in (null,'甲','乙')"),
              s("select * from sbjl where (wz is not null and wz not in ('甲','乙'))"));
    EXPECT_EQ(tr("select * from sbjl where wz not in ('甲','乙')"),
              s("select * from sbjl where wz not in ('甲','乙')"));
    EXPECT_EQ(tr("select * from sbjl where wz not in (null)"),
              s("select * from sbjl where (wz is not null)"));
    EXPECT_EQ(tr("select * from sbjl where wz in (null,' ')"),
              s("select * from sbjl where wz in (null,' ')"));
}

// ---- Sorting -------------------------------------------------------------------------------

TEST(TranslateOrderBy, TextColumnsSortInChineseOrder) {
    EXPECT_EQ(tr("select * from jyjlb where id=1 order by jcrq asc,bz desc"),
              s("select * from jyjlb where id=1 order by jcrq asc,bz COLLATE JETTEXT desc"));
    EXPECT_EQ(tr("select * from sbjl order by sbjl.id asc,sbjl.num asc"),
              s("select * from sbjl order by sbjl.id COLLATE JETTEXT asc,sbjl.num asc"));
    EXPECT_EQ(tr("select jyr from jcb group by jyr order by MAX(jcrq) desc"),
              s("select jyr from jcb group by jyr order by MAX(jcrq) desc"));
    EXPECT_EQ(tr("select * from sbjl order by ID1 asc"), s("select * from sbjl order by ID1 asc"));
}

// ---- Other constructs ----------------------------------------------------------------------

TEST(TranslateOther, ModAndDistinctRow) {
    EXPECT_EQ(tr("select num mod 2 from sbjl"), s("select num % 2 from sbjl"));
    EXPECT_EQ(tr("select distinctrow zclb from sbjl"), s("select distinct zclb from sbjl"));
}

TEST(TranslateOther, PlainStatementsPassUnchanged) {
    const char* texts[] = {
        "select * from sbjl where 1=2",
        "select ID1 from sbjl where id='JSJ-' and num=12",
        "select num from sbjl where id='JSJ-'order by num desc",
        "select * from sbjl where zclb like '%电脑%' and sbpz like '%硬盘%'",
        "select jyr from jcb group by jyr order by MAX(jcrq) desc",
        "delete from sortb where sort='电脑'",
        "select count(*) from sbjl",
        "select * from sbjl where other='O''Brien'",
        "",
    };
    for (const char* t : texts) EXPECT_EQ(tr(t), s(t)) << t;
}

TEST(TranslateOther, UnterminatedTextIsLeftForTheEngine) {
    EXPECT_EQ(tr("select * from sbjl where zclb='abc"), s("select * from sbjl where zclb='abc"));
    EXPECT_EQ(tr("select (a from t"), s("select (a from t"));
}

// ---- Single-table statements ----------------------------------------------------------------

TEST(SingleTable, RecognisesEditableStatements) {
    struct Case {
        const char* sql;
        const char* table;
    } cases[] = {
        {"select * from sbjl where 1=2", "sbjl"},
        {"select * from sbjl where ID1=12", "sbjl"},
        {"select ID1 from sbjl where id='JSJ-' and num=1", "sbjl"},
        {"select * from users", "users"},
        {"SELECT * FROM [his] where id=3 order by index asc", "his"},
        {"  select * from jcb;", "jcb"},
        {"select * from sbjl,syq where sbjl.bxq=syq.qx", ""},
        {"select * from sbjl a inner join syq b on a.bxq=b.qx", ""},
        {"select jyr from jcb group by jyr order by MAX(jcrq) desc", ""},
        {"select count(*) from sbjl", ""},
        {"select distinct zclb from sbjl", ""},
        {"select a from t union all select b from u", ""},
        {"update sbjl set a=1", ""},
        {"select 1", ""},
    };
    for (const Case& c : cases) {
        const SingleTableSelect r = findSingleTableSelect(QString::fromUtf8(c.sql));
        EXPECT_EQ(r.table, QString::fromUtf8(c.table)) << c.sql;
        EXPECT_EQ(r.isValid(), *c.table != 0) << c.sql;
    }
    const QString sql = QStringLiteral("  select * from jcb");
    const SingleTableSelect r = findSingleTableSelect(sql);
    EXPECT_EQ(sql.left(r.selectEnd), QStringLiteral("  select"));
}

// ---- The server's dialect ------------------------------------------------------------------

QString server(const char* jet) {
    return translateJet(QString::fromUtf8(jet), &isText, Dialect::Server);
}

TEST(TranslateForServer, BareYesNoConditionsBecomeComparisons) {
    struct Case {
        const char* jet;
        const char* server;
    };
    const Case cases[] = {
        {"select * from sbjl where bf", "select * from sbjl where (bf<>0)"},
        {"select * from sbjl where not bf", "select * from sbjl where not (bf<>0)"},
        {"select * from sbjl where bf and num=1", "select * from sbjl where (bf<>0) and num=1"},
        {"select * from sbjl where num=1 or not worp order by num",
         "select * from sbjl where num=1 or not (worp<>0) order by num"},
        {"select * from sbjl where (bf)", "select * from sbjl where ((bf<>0))"},
        {"select * from sbjl where (num=1 or sbjl.bf)",
         "select * from sbjl where (num=1 or (sbjl.bf<>0))"},
        {"select * from sbjl where true", "select * from sbjl where (1<>0)"},
        // Not a bare operand: comparisons, lists, function arguments, selected columns.
        {"select bf from sbjl where bf=1", "select bf from sbjl where bf=1"},
        {"select * from sbjl where num in (bf)", "select * from sbjl where num in (bf)"},
        {"select * from sbjl where year(gmrq)=2024",
         "select * from sbjl where jet_year(gmrq)=2024"},
        {"select * from sbjl where bf is null", "select * from sbjl where bf is null"},
    };
    for (const Case& c : cases) EXPECT_EQ(server(c.jet), s(c.server)) << c.jet;
}

TEST(TranslateForServer, AUnionSortedInPinyinOrderIsADerivedTable) {
    EXPECT_EQ(server("select bm from person where 1=1 union select bm from person order by bm"),
              s("select * from (select bm from person where 1=1 union select bm from person) "
                "fx_union order by bm COLLATE JETTEXT"));
    // Without a text key the union is sorted as it stands.
    EXPECT_EQ(server("select num from sbjl union select num from sbjl order by num"),
              s("select num from sbjl union select num from sbjl order by num"));
    EXPECT_EQ(tr("select bm from person union select bm from person order by bm"),
              s("select bm from person union select bm from person order by bm COLLATE JETTEXT"));
}

TEST(TranslateForServer, TheFileKeepsBareConditions) {
    EXPECT_EQ(tr("select * from sbjl where not bf"), s("select * from sbjl where not bf"));
}

}  // namespace
}  // namespace fx::db
