// The statements the results window lists a stocktake's results with give the same rows as the
// results the printed report and the command line read, the values of the missing assets
// included, on prices, ages and lives where the window's integer arithmetic matters.
#include <QStringList>
#include <algorithm>

#include "depreciation.h"
#include "liststatements.h"
#include "results.h"
#include "resulttables.h"
#include "rowset.h"
#include "scan.h"
#include "stocktake.h"
#include "stocktakefixture.h"

namespace fx::stocktake::test {
namespace {

// The fields of each list in the order of its ListTable's columns.
const char* const kFields[][8] = {
    {"bh", "sbmc", "sbxh", "zmwz", "bgr", "pdwz", "smsj"},
    {"bh", "sbmc", "sbxh", "zmwz", "bgr", "yz", "jz", "gz"},
    {"bh", "sbmc", "sbxh", "zmwz", "bgr", "pdwz", "smsj"},
    {"code", "fxwz", "smsj", "czy", "bz"},
};

class ListStatementsTest : public StocktakeTest {
protected:
    void SetUp() override {
        StocktakeTest::SetUp();
        // Where the window's integer arithmetic shows: 0.29 yuan is 29 cents; a purchase in a
        // later month (negative months); a life of 0 months; a life just reached; an odd price
        // truncated; a model; an asset within its life scrapped since the stocktake was made.
        db().executeNative(QStringLiteral(
            "insert into syq (qx, yue) values ('零', 0), ('3年', 36);"
            "insert into sbjl (ID1, id, num, zclb, sbmc, sbxh, worp, wz, bgr, bxq, gmrq, gmjg, "
            "ybf) values "
            "(7, 'JSJ-', 10, '电脑', '鼠标', 'M1', 1, '财务处', '', '3年', '2026-11-30', 0.29, 0),"
            "(8, 'JSJ-', 11, '电脑', '显示器', '', 1, '财务处', '', '3年', '2027-02-01', 1234.57, "
            "0),"
            "(9, 'JSJ-', 12, '电脑', '键盘', '', 1, '财务处', '', '零', '2025-01-01', 99.99, 0),"
            "(10, 'JSJ-', 13, '电脑', '主机', '', 1, '财务处', '', '3年', '2023-12-09', 3333.33, "
            "0),"
            "(11, 'JSJ-', 14, '电脑', '主机', '', 1, '财务处', '', '3年', '2025-07-15', 7777.77, "
            "0),"
            "(12, 'JSJ-', 15, '电脑', '主机', '', 1, '财务处', '', '3年', '2024-05-20', 1234.57, "
            "0)"));
        take_ = create(db(), QStringLiteral("全面"), {}, QStringLiteral("u"), kToday);
        db().executeNative(QStringLiteral("update sbjl set ybf=1 where ID1=11"));  // since
    }
    void scan(const char* code, const char* place, int minute) {
        recordScan(db(), take_.id, QString::fromUtf8(code), QString::fromUtf8(place),
                   QStringLiteral("u"), at(minute));
    }
    // The list's rows as the results window reads them, each row's cells joined, sorted.
    QStringList listed(ResultList list) {
        db::RowSet r(db(), listStatement(list, take_.id, kToday));
        r.open();
        QStringList rows;
        for (; !r.eof(); r.next()) {
            QStringList cells;
            for (const char* name : kFields[int(list)]) {
                if (!name) break;
                const QString f = QString::fromLatin1(name);
                if (f == QLatin1String("yz") || f == QLatin1String("jz"))
                    cells << reports::centsText(reports::toCents(r.number(f)));
                else
                    cells << r.text(f);
            }
            rows << cells.join(QLatin1Char('|'));
        }
        rows.sort();
        return rows;
    }
    Stocktake take_;
};

QStringList rowsOf(const ListTable& t) {
    QStringList rows;
    for (const QStringList& cells : t.rows) rows << cells.join(QLatin1Char('|'));
    rows.sort();
    return rows;
}

TEST_F(ListStatementsTest, EachListHasTheRowsOfTheResults) {
    scan("JSJ-1", "财务处", 1);
    scan("JSJ-1", "财务处", 2);  // a duplicate is no second find
    scan("JSJ-3", "财务处", 3);  // misplaced
    scan("JSJ-3", "教务处", 4);
    scan("BGZ-1", "301室", 5);  // held by a person, found in a room
    scan("PRJ-7", "财务处", 6);
    scan("PRJ-8", "", 7);
    db().executeNative(QStringLiteral("update pdsm set bz='旧椅子' where code='PRJ-8'"));
    setFollowUp(db(), take_.id, {2}, QStringLiteral("请财务处核实"));
    db().executeNative(QStringLiteral("delete from sbjl where ID1=6"));  // deleted since

    const Results r = results(db(), take_.id, kToday);
    const auto tables = listTables(r);
    // The overview's value of the missing assets is the list's, added up.
    const ValueTotals totals = missingTotals(db(), take_.id, kToday);
    EXPECT_EQ(totals.original, r.missingOriginal);
    EXPECT_EQ(totals.net, r.missingNet);
    EXPECT_GT(totals.net, 0);
    for (ResultList list :
         {ResultList::Found, ResultList::Missing, ResultList::Misplaced, ResultList::Surplus})
        EXPECT_EQ(listed(list), rowsOf(tables[std::size_t(list)])) << int(list);
    EXPECT_EQ(listed(ResultList::Missing).size(), 8);
    EXPECT_EQ(listed(ResultList::Misplaced).size(), 2);
}

TEST_F(ListStatementsTest, MissingValuesAreTheWindowsFigures) {
    db::RowSet r(db(), listStatement(ResultList::Missing, take_.id, kToday) +
                           QStringLiteral(" order by m.sid"));
    r.open();
    // serial -> net cents by windowFigures (price, months on 2026-12-09, life, rate, scrapped).
    const std::pair<int, qint64> expected[] = {
        {7, reports::windowFigures(0.29, 1, 36, 5, false).net},
        {8, reports::windowFigures(1234.57, -2, 36, 5, false).net},
        {9, reports::windowFigures(99.99, 23, 0, 5, false).net},
        {10, reports::windowFigures(3333.33, 36, 36, 5, false).net},
        {11, reports::windowFigures(7777.77, 17, 36, 5, true).net},
        {12, reports::windowFigures(1234.57, 31, 36, 5, false).net},
    };
    int checked = 0;
    for (; !r.eof(); r.next()) {
        const int sid = r.integer(QStringLiteral("sid"));
        for (const auto& [serial, net] : expected) {
            if (serial != sid) continue;
            EXPECT_EQ(reports::toCents(r.number(QStringLiteral("jz"))), net) << sid;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 6);
    EXPECT_EQ(reports::windowFigures(0.29, 1, 36, 5, false).original, 29);
}

}  // namespace
}  // namespace fx::stocktake::test
