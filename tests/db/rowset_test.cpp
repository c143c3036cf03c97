#include "rowset.h"

#include <gtest/gtest.h>

#include <sqlite3.h>
#include "qtprint.h"

#include "dberror.h"
#include "sqliteengine.h"
#include "testdb.h"

namespace fx::db {
namespace {

using test::TestDb;

// ---- Moving through the rows ---------------------------------------------------------------

FX_BOTH_ENGINES(RowSetNavigation);
FX_BOTH_ENGINES(RowSetFields);
FX_BOTH_ENGINES(RowSetEdit);
FX_BOTH_ENGINES(RowSetDelete);

TEST_P(RowSetNavigation, WalksForwardAndBackward) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl order by ID1"));
    rs.open();
    ASSERT_EQ(rs.count(), 3);
    EXPECT_FALSE(rs.eof());
    EXPECT_FALSE(rs.bof());
    EXPECT_EQ(rs.position(), 0);
    QList<int> forward;
    for (rs.first(); !rs.eof(); rs.next()) forward.append(rs.integer(QStringLiteral("num")));
    EXPECT_EQ(forward, QList<int>({12, 13, 1}));
    // The last row stays readable after moving past it.
    EXPECT_EQ(rs.integer(QStringLiteral("num")), 1);

    QList<int> backward;
    for (rs.last(); !rs.bof(); rs.prior()) backward.append(rs.integer(QStringLiteral("num")));
    EXPECT_EQ(backward, QList<int>({1, 13, 12}));

    rs.seek(1);
    EXPECT_EQ(rs.integer(QStringLiteral("num")), 13);
    EXPECT_FALSE(rs.eof());
    EXPECT_THROW(rs.seek(3), DbError);
    EXPECT_THROW(rs.seek(-1), DbError);
    EXPECT_EQ(rs.position(), 1);
}

TEST_P(RowSetNavigation, EmptyResultHasNoCurrentRowAndReadsNulls) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where 1=2"));
    rs.open();
    EXPECT_EQ(rs.count(), 0);
    EXPECT_TRUE(rs.isEmpty());
    EXPECT_TRUE(rs.eof());
    EXPECT_TRUE(rs.bof());
    rs.first();
    rs.next();
    rs.last();
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(rs.fieldNames().size(), 12);
    EXPECT_EQ(rs.text(QStringLiteral("sbmc")), QString());
    EXPECT_EQ(rs.integer(QStringLiteral("ID1")), 0);
    EXPECT_FALSE(rs.yesNo(QStringLiteral("worp")));
    EXPECT_FALSE(rs.date(QStringLiteral("gmrq")).isValid());
    EXPECT_TRUE(rs.isNull(QStringLiteral("gmjg")));
}

TEST_P(RowSetNavigation, ClosedRowSetRefusesReads) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl"));
    EXPECT_FALSE(rs.isOpen());
    EXPECT_THROW(rs.value(QStringLiteral("num")), DbError);
    EXPECT_THROW(rs.first(), DbError);
    rs.open();
    EXPECT_TRUE(rs.isOpen());
    rs.close();
    EXPECT_EQ(rs.count(), 0);
    EXPECT_THROW(rs.text(QStringLiteral("num")), DbError);
}

TEST_P(RowSetNavigation, ReopenShowsChangesOfOthers) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where id='JSJ-'"));
    rs.open();
    EXPECT_EQ(rs.count(), 2);
    auto other = t.openAnother();
    other->execute(QStringLiteral("delete from sbjl where num=13"));
    EXPECT_EQ(rs.count(), 2);  // held in memory
    rs.reopen();
    EXPECT_EQ(rs.count(), 1);
}

TEST_P(RowSetNavigation, BadStatementThrowsAndLeavesItClosed) {
    TestDb t(GetParam());
    RowSet rs(t.db());
    EXPECT_THROW(rs.open(QStringLiteral("select * from nosuch")), DbError);
    EXPECT_FALSE(rs.isOpen());
    EXPECT_THROW(rs.open(QStringLiteral("select nosuch from sbjl")), DbError);
    EXPECT_FALSE(rs.isOpen());
    EXPECT_THROW(rs.open(QStringLiteral("   ")), DbError);
}

// ---- Reading fields -----------------------------------------------------------------------

TEST_P(RowSetFields, TypedGettersFollowTheColumnKinds) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where num=12"));
    rs.open();
    ASSERT_EQ(rs.count(), 1);
    EXPECT_EQ(rs.integer(QStringLiteral("ID1")), 1);
    EXPECT_EQ(rs.text(QStringLiteral("id")), QStringLiteral("JSJ-"));
    EXPECT_EQ(rs.text(QStringLiteral("sbmc")), QStringLiteral("台式电脑"));
    EXPECT_DOUBLE_EQ(rs.number(QStringLiteral("gmjg")), 1000.5);
    EXPECT_FALSE(rs.yesNo(QStringLiteral("worp")));
    EXPECT_EQ(rs.date(QStringLiteral("gmrq")), QDate(2023, 5, 10));
    EXPECT_EQ(rs.text(QStringLiteral("gmrq")), QStringLiteral("2023-05-10"));
    EXPECT_EQ(rs.text(QStringLiteral("other")), QString());
    EXPECT_FALSE(rs.isNull(QStringLiteral("other")));  // an empty text is not a missing one

    // Values carry the kinds' types.
    EXPECT_EQ(rs.value(QStringLiteral("ID1")).typeId(), QMetaType::Int);
    EXPECT_EQ(rs.value(QStringLiteral("gmjg")).typeId(), QMetaType::Double);
    EXPECT_EQ(rs.value(QStringLiteral("worp")).typeId(), QMetaType::Bool);
    EXPECT_EQ(rs.value(QStringLiteral("gmrq")).typeId(), QMetaType::QDate);
    EXPECT_EQ(rs.value(QStringLiteral("sbmc")).typeId(), QMetaType::QString);

    using K = Connection::ColumnKind;
    EXPECT_EQ(rs.fieldKind(rs.fieldIndex(QStringLiteral("ID1"))), K::Counter);
    EXPECT_EQ(rs.fieldKind(rs.fieldIndex(QStringLiteral("gmrq"))), K::Date);
    EXPECT_EQ(rs.fieldKind(rs.fieldIndex(QStringLiteral("wxjl"))), K::Memo);
}

TEST_P(RowSetFields, NamesAreCaseInsensitiveAndUnknownNamesThrow) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where num=12"));
    rs.open();
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("id1")), 0);
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("Id1")), 0);
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("SBMC")), 4);
    EXPECT_EQ(rs.fieldIndex(QStringLiteral("nosuch")), -1);
    EXPECT_EQ(rs.text(QStringLiteral("SbMc")), QStringLiteral("台式电脑"));
    try {
        rs.text(QStringLiteral("nosuch"));
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nosuch")));
    }
    EXPECT_THROW(rs.value(99), DbError);
}

TEST_P(RowSetFields, DatesWithATimeAndYesNoTrue) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where num=13"));
    rs.open();
    EXPECT_EQ(rs.date(QStringLiteral("gmrq")), QDate(2020, 1, 20));
    EXPECT_TRUE(rs.yesNo(QStringLiteral("ybf")));
    EXPECT_TRUE(rs.isNull(QStringLiteral("other")));
    EXPECT_EQ(rs.text(QStringLiteral("other")), QString());
}

TEST_P(RowSetFields, JoinsGiveBareNamesAndAliases) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select sbjl.*,person.bm,(sbjl.id+TRIM(STR(sbjl.num))) AS bh,"
                                     "num*2 AS twice from sbjl,person where sbjl.wz=person.pname "
                                     "order by sbjl.ID1"));
    rs.open();
    ASSERT_EQ(rs.count(), 2);
    EXPECT_EQ(rs.text(QStringLiteral("bh")), QStringLiteral("JSJ-12"));
    EXPECT_EQ(rs.text(QStringLiteral("bm")), QStringLiteral("财务处"));
    EXPECT_EQ(rs.text(QStringLiteral("wz")), QStringLiteral("张三"));
    EXPECT_EQ(rs.date(QStringLiteral("gmrq")), QDate(2023, 5, 10));
    EXPECT_EQ(rs.integer(QStringLiteral("twice")), 24);
    EXPECT_EQ(rs.fieldKind(rs.fieldIndex(QStringLiteral("twice"))),
              Connection::ColumnKind::Integer);
    EXPECT_EQ(rs.fieldKind(rs.fieldIndex(QStringLiteral("bh"))), Connection::ColumnKind::Text);
    EXPECT_EQ(rs.fieldNames().first(), QStringLiteral("ID1"));
    EXPECT_FALSE(rs.fieldNames().contains(QStringLiteral("fx_rowid__")));
    // Not a single table: read-only.
    EXPECT_FALSE(rs.isEditable());
    EXPECT_THROW(rs.edit(), DbError);
    EXPECT_THROW(rs.append(), DbError);
}

TEST_P(RowSetFields, ManyRowsAndLongTextsReadBackExactly) {
    TestDb t(GetParam());
    const QString longMemo = QStringLiteral("维修记录").repeated(300000);  // 3.6 MB of UTF-8
    {
        Transaction tr(t.db());
        for (int i = 0; i < 3000; ++i) {
            t.db().execute(QStringLiteral("insert into sbjl (id, num, sbmc, gmjg, gmrq, worp) "
                                          "values ('M-', %1, '%2', %3, #%4/01/2020#, %5)")
                               .arg(i)
                               .arg(QStringLiteral("名称").repeated(1 + i % 40))
                               .arg(i * 1.5)
                               .arg(1 + i % 12)
                               .arg(i % 2 ? QStringLiteral("true") : QStringLiteral("false")));
        }
        t.db().execute(QStringLiteral("update sbjl set wxjl='") + longMemo +
                       QStringLiteral("' where id='M-' and num=1500"));
        tr.commit();
    }
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where id='M-' order by num"));
    rs.open();
    ASSERT_EQ(rs.count(), 3000);
    for (int i = 2999; i >= 0; i -= 13) {
        rs.seek(i);
        EXPECT_EQ(rs.integer(QStringLiteral("num")), i);
        EXPECT_EQ(rs.text(QStringLiteral("sbmc")), QStringLiteral("名称").repeated(1 + i % 40));
        EXPECT_DOUBLE_EQ(rs.number(QStringLiteral("gmjg")), i * 1.5);
        EXPECT_EQ(rs.date(QStringLiteral("gmrq")), QDate(2020, 1 + i % 12, 1));
        EXPECT_EQ(rs.yesNo(QStringLiteral("worp")), i % 2 == 1);
    }
    rs.seek(1500);
    EXPECT_EQ(rs.text(QStringLiteral("wxjl")), longMemo);
    EXPECT_FALSE(rs.isNull(QStringLiteral("other")));
}

// ---- Changing rows ------------------------------------------------------------------------

TEST_P(RowSetEdit, AppendPostsAndReadsBackTheCounterAndDefaults) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where 1=2"));
    rs.open();
    ASSERT_TRUE(rs.isEditable());
    EXPECT_EQ(rs.table(), QStringLiteral("sbjl"));
    rs.append();
    EXPECT_EQ(rs.state(), RowSet::State::Insert);
    rs.setValue(QStringLiteral("id"), QStringLiteral("SBQ-"));
    rs.setValue(QStringLiteral("num"), 7);
    rs.setValue(QStringLiteral("sbmc"), QStringLiteral("示波器"));
    rs.setValue(QStringLiteral("worp"), true);
    rs.setValue(QStringLiteral("gmrq"), QDate(2024, 2, 29));
    rs.setValue(QStringLiteral("gmjg"), 1234.56);
    EXPECT_EQ(rs.text(QStringLiteral("sbmc")), QStringLiteral("示波器"));  // the edit buffer
    rs.post();
    EXPECT_EQ(rs.state(), RowSet::State::Browse);
    ASSERT_EQ(rs.count(), 1);
    EXPECT_EQ(rs.integer(QStringLiteral("ID1")), 4);
    EXPECT_EQ(rs.text(QStringLiteral("zclb")), QString());  // the table's default
    EXPECT_FALSE(rs.isNull(QStringLiteral("zclb")));
    EXPECT_FALSE(rs.yesNo(QStringLiteral("ybf")));
    EXPECT_EQ(rs.date(QStringLiteral("gmrq")), QDate(2024, 2, 29));

    rs.append();
    rs.setValue(QStringLiteral("id"), QStringLiteral("SBQ-"));
    rs.setValue(QStringLiteral("num"), 8);
    rs.post();
    EXPECT_EQ(rs.count(), 2);
    EXPECT_EQ(rs.position(), 1);  // the new row is the last and current one
    EXPECT_EQ(rs.integer(QStringLiteral("ID1")), 5);

    if (!onServer()) {
        // What reached the file: dates as text, yes/no as 0/1, numbers as doubles.
        EXPECT_EQ(
            t.scalar(QStringLiteral("SELECT typeof(gmrq) || ':' || gmrq FROM sbjl WHERE ID1=4"))
                .toString(),
            QStringLiteral("text:2024-02-29"));
        EXPECT_EQ(
            t.scalar(QStringLiteral("SELECT typeof(worp) || ':' || worp FROM sbjl WHERE ID1=4"))
                .toString(),
            QStringLiteral("integer:1"));
    } else {
        // On the server: a date, and yes/no as the integer 1.
        EXPECT_EQ(t.scalar(QStringLiteral("SELECT gmrq FROM sbjl WHERE ID1=4")).toString(),
                  QStringLiteral("2024-02-29"));
        EXPECT_EQ(t.scalar(QStringLiteral("SELECT worp FROM sbjl WHERE ID1=4")).toLongLong(), 1);
    }
    EXPECT_DOUBLE_EQ(t.scalar(QStringLiteral("SELECT gmjg FROM sbjl WHERE ID1=4")).toDouble(),
                     1234.56);
}

TEST(RowSetEditFile, ChangedRowSetLeavesNoLockBehind) {
    TestDb t;
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where 1=2"));
    rs.open();
    for (int i = 0; i < 3; ++i) {
        rs.append();
        rs.setValue(QStringLiteral("id"), QStringLiteral("L-"));
        rs.setValue(QStringLiteral("num"), i);
        rs.post();
    }
    rs.edit();
    rs.setValue(QStringLiteral("wz"), QStringLiteral("甲"));
    rs.post();
    rs.remove();
    // Another workstation can write and commit at once: nothing of this row set holds the file.
    auto other = t.openAnother();
    sqlite3_busy_timeout(static_cast<detail::SqliteEngine&>(other->engine()).handle(), 50);
    EXPECT_NO_THROW({
        other->begin();
        other->execute(QStringLiteral("update sbjl set wz='乙' where id='L-'"));
        other->commit();
    });
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT count(*) FROM sbjl WHERE wz='乙'")).toInt(), 2);
}

TEST_P(RowSetEdit, CounterOfTheTransferHistoryIsReadBack) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from his where id=1"));
    rs.open();
    for (int i = 0; i < 3; ++i) {
        rs.append();
        rs.setValue(QStringLiteral("id"), 1);
        rs.setValue(QStringLiteral("owz"), QStringLiteral("仓库%1").arg(i));
        rs.setValue(QStringLiteral("date"), QDate(2024, 6, 15));
        rs.post();
        EXPECT_EQ(rs.integer(QStringLiteral("index")), i + 1);
    }
    rs.reopen();
    EXPECT_EQ(rs.count(), 3);
}

TEST_P(RowSetEdit, EmptyTextsAreStoredAsEmptyNeverNull) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where num=1"));
    rs.open();
    rs.edit();
    rs.setValue(QStringLiteral("other"), QString());
    rs.setValue(QStringLiteral("wz"), QVariant());
    rs.post();
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT count(*) FROM sbjl WHERE num=1 AND other='' AND "
                                      "wz=''"))
                  .toInt(),
              1);
    // A date set to nothing is missing, so that date comparisons leave it out.
    rs.edit();
    rs.setValue(QStringLiteral("gmrq"), QDate());
    rs.post();
    EXPECT_TRUE(t.scalar(QStringLiteral("SELECT gmrq FROM sbjl WHERE num=1")).isNull());
    EXPECT_TRUE(rs.isNull(QStringLiteral("gmrq")));
}

TEST_P(RowSetEdit, EditWritesOnlyTheChangedFields) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where num=12"));
    rs.open();
    // Another workstation changes the name after this one read the row.
    auto other = t.openAnother();
    other->execute(QStringLiteral("update sbjl set sbmc='别人改的' where num=12"));
    rs.edit();
    rs.setValue(QStringLiteral("wz"), QStringLiteral("王五"));
    rs.post();
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT sbmc FROM sbjl WHERE num=12")).toString(),
              QStringLiteral("别人改的"));
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT wz FROM sbjl WHERE num=12")).toString(),
              QStringLiteral("王五"));
    // The row is read back after the post.
    EXPECT_EQ(rs.text(QStringLiteral("sbmc")), QStringLiteral("别人改的"));
}

TEST_P(RowSetEdit, ARowReplacedOrChangedByAnotherWorkstationIsNotOverwrittenOrDeleted) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from person"));
    rs.open();
    rs.last();
    ASSERT_EQ(rs.text(QStringLiteral("pname")), QStringLiteral("李四"));
    // Another workstation deletes the last person and adds another: the table has no integer
    // key, so the new row takes the deleted one's place.
    auto other = t.openAnother();
    other->execute(QStringLiteral("delete from person where pname='李四'"));
    other->execute(QStringLiteral("insert into person (pname,bm) values ('王五','总务处')"));
    EXPECT_THROW(rs.remove(), DbError);
    rs.edit();
    rs.setValue(QStringLiteral("pname"), QStringLiteral("李四四"));
    EXPECT_THROW(rs.post(), DbError);
    rs.cancel();
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT count(*) FROM person WHERE pname='王五'")).toInt(),
              1);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT bm FROM person WHERE pname='王五'")).toString(),
              QStringLiteral("总务处"));

    // A field changed by the other workstation is not overwritten with a change made here.
    RowSet first(t.db(), QStringLiteral("select * from person where pname='张三'"));
    first.open();
    other->execute(QStringLiteral("update person set bm='人事处' where pname='张三'"));
    first.edit();
    first.setValue(QStringLiteral("bm"), QStringLiteral("后勤处"));
    EXPECT_THROW(first.post(), DbError);
    first.cancel();
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT bm FROM person WHERE pname='张三'")).toString(),
              QStringLiteral("人事处"));
}

TEST_P(RowSetEdit, ValuesAreConvertedToTheColumnKinds) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where num=1"));
    rs.open();
    rs.edit();
    rs.setValue(QStringLiteral("gmrq"), QStringLiteral("2021-3-4"));
    rs.setValue(QStringLiteral("gmjg"), QStringLiteral("99.5"));
    rs.setValue(QStringLiteral("worp"), 0);
    rs.setValue(QStringLiteral("num"), QStringLiteral("2"));
    EXPECT_THROW(rs.setValue(QStringLiteral("num"), QStringLiteral("two")), DbError);
    EXPECT_THROW(rs.setValue(QStringLiteral("gmrq"), QStringLiteral("not a date")), DbError);
    rs.post();
    EXPECT_EQ(rs.date(QStringLiteral("gmrq")), QDate(2021, 3, 4));
    EXPECT_DOUBLE_EQ(rs.number(QStringLiteral("gmjg")), 99.5);
    EXPECT_FALSE(rs.yesNo(QStringLiteral("worp")));
    EXPECT_EQ(rs.integer(QStringLiteral("num")), 2);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT gmrq FROM sbjl WHERE num=2")).toString(),
              QStringLiteral("2021-03-04"));
}

TEST_P(RowSetEdit, UniqueViolationThrowsAndKeepsTheRowInEditState) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where 1=2"));
    rs.open();
    rs.append();
    rs.setValue(QStringLiteral("id"), QStringLiteral("JSJ-"));
    rs.setValue(QStringLiteral("num"), 12);  // taken
    rs.setValue(QStringLiteral("sbmc"), QStringLiteral("新电脑"));
    try {
        rs.post();
        FAIL() << "a taken asset number was stored";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isConstraint());
        EXPECT_TRUE(e.message().contains(QLatin1String(onServer() ? "unique" : "UNIQUE")));
    }
    EXPECT_EQ(rs.state(), RowSet::State::Insert);
    EXPECT_EQ(rs.count(), 0);
    EXPECT_EQ(rs.text(QStringLiteral("sbmc")), QStringLiteral("新电脑"));
    rs.setValue(QStringLiteral("num"), 14);
    rs.post();
    EXPECT_EQ(rs.count(), 1);
    // The server's counter does not take back the number the refused row drew.
    EXPECT_EQ(rs.integer(QStringLiteral("ID1")), onServer() ? 5 : 4);

    // The modify path the same way.
    rs.edit();
    rs.setValue(QStringLiteral("num"), 13);
    EXPECT_THROW(rs.post(), DbError);
    EXPECT_EQ(rs.state(), RowSet::State::Edit);
    rs.cancel();
    EXPECT_EQ(rs.integer(QStringLiteral("num")), 14);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT count(*) FROM sbjl WHERE num=14")).toInt(), 1);
}

TEST_P(RowSetEdit, MovingPostsAPendingEdit) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl order by ID1"));
    rs.open();
    rs.edit();
    rs.setValue(QStringLiteral("wz"), QStringLiteral("移动前"));
    rs.next();
    EXPECT_EQ(rs.state(), RowSet::State::Browse);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT wz FROM sbjl WHERE ID1=1")).toString(),
              QStringLiteral("移动前"));
}

TEST_P(RowSetEdit, CancelDiscardsTheChange) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where num=12"));
    rs.open();
    rs.edit();
    rs.setValue(QStringLiteral("wz"), QStringLiteral("不保存"));
    rs.cancel();
    EXPECT_EQ(rs.text(QStringLiteral("wz")), QStringLiteral("张三"));
    rs.append();
    rs.cancel();
    EXPECT_EQ(rs.count(), 1);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT count(*) FROM sbjl")).toInt(), 3);
}

TEST_P(RowSetEdit, SetValueNeedsAnEditAndATableColumn) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select ID1,num+1 AS nextnum from sbjl where num=12"));
    rs.open();
    EXPECT_TRUE(rs.isEditable());
    EXPECT_THROW(rs.setValue(QStringLiteral("ID1"), 9), DbError);  // not editing
    EXPECT_THROW(rs.post(), DbError);
    rs.edit();
    EXPECT_THROW(rs.setValue(QStringLiteral("nextnum"), 9), DbError);               // an expression
    EXPECT_THROW(rs.setValue(QStringLiteral("wz"), QStringLiteral("x")), DbError);  // not selected
}

TEST_P(RowSetEdit, PostOfARowDeletedByAnotherFails) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where num=12"));
    rs.open();
    t.openAnother()->execute(QStringLiteral("delete from sbjl where num=12"));
    rs.edit();
    rs.setValue(QStringLiteral("wz"), QStringLiteral("x"));
    EXPECT_THROW(rs.post(), DbError);
    EXPECT_EQ(rs.state(), RowSet::State::Edit);
}

TEST_P(RowSetEdit, EditWithoutARowIsRefused) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl where 1=2"));
    rs.open();
    EXPECT_THROW(rs.edit(), DbError);
    EXPECT_THROW(rs.remove(), DbError);
}

TEST_P(RowSetDelete, RemovesFromTableAndRowSet) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl order by ID1"));
    rs.open();
    rs.seek(1);
    rs.remove();
    EXPECT_EQ(rs.count(), 2);
    EXPECT_EQ(rs.position(), 1);
    EXPECT_EQ(rs.integer(QStringLiteral("num")), 1);  // the next row moved up
    rs.remove();  // the last row: the current row becomes the new last one
    EXPECT_EQ(rs.count(), 1);
    EXPECT_EQ(rs.integer(QStringLiteral("num")), 12);
    rs.remove();
    EXPECT_TRUE(rs.isEmpty());
    EXPECT_TRUE(rs.eof());
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT count(*) FROM sbjl")).toInt(), 0);
}

TEST_P(RowSetDelete, RemoveWhileAppendingCancelsTheNewRow) {
    TestDb t(GetParam());
    RowSet rs(t.db(), QStringLiteral("select * from sbjl"));
    rs.open();
    rs.append();
    rs.setValue(QStringLiteral("num"), 99);
    rs.remove();
    EXPECT_EQ(rs.state(), RowSet::State::Browse);
    EXPECT_EQ(rs.count(), 3);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT count(*) FROM sbjl")).toInt(), 3);
}

}  // namespace
}  // namespace fx::db
