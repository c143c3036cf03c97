#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QStringEncoder>

#include "datasource.h"
#include "displaylist.h"
#include "formatfile.h"
#include "layout.h"
#include "listform.h"
#include "resultlist.h"
#include "units.h"

namespace fx::reports {
namespace {

using Source = ListReportOptions::Source;

ListColumn choice(const char* caption) {
    return *columnChoice(QString::fromUtf8(caption));
}

const report::Item& item(const report::Report& r, const QString& name) {
    const report::Item* i = r.findItem(name);
    EXPECT_NE(i, nullptr) << name.toStdString();
    static const report::Item none;
    return i ? *i : none;
}

QString caption(const report::Report& r, int slot) {
    return item(r, QStringLiteral("QRLabel%1").arg(slot <= 8 ? slot : slot + 2)).text;
}

qreal leftPx(const report::Item& i) {
    return i.rect.left() / report::px(1);
}

QStringList textsOf(const report::Document& doc, const QString& name) {
    QStringList texts;
    for (const report::Page& page : doc.pages)
        for (const report::Primitive& p : page.primitives)
            if (p.kind == report::Primitive::Kind::Text && p.item == name) texts << p.text;
    return texts;
}

report::MemoryDataSource rows(int n) {
    report::MemoryDataSource data({QStringLiteral("ID1"), QStringLiteral("bh"),
                                   QStringLiteral("sbmc"), QStringLiteral("gmjg"),
                                   QStringLiteral("ynum"), QStringLiteral("yue"),
                                   QStringLiteral("cz"), QStringLiteral("ybf")});
    for (int i = 1; i <= n; ++i)
        data.addRow({i, QStringLiteral("A-%1").arg(i), QStringLiteral("台式计算机"), 1000.0, 13, 60,
                     5, false});
    return data;
}

report::Document run(const ListReportOptions& o, int n) {
    const report::MemoryDataSource data = rows(n);
    return report::layoutReport(listReport(o), data,
                                report::RunOptions{QDateTime(QDate(2024, 5, 20), QTime(9, 0))});
}

TEST(ListReport, CustomColumnsInTheOrderTickedSideBySide) {
    ListReportOptions o;
    o.source = Source::Custom;
    o.columns = {choice("名称"), choice("序号"), choice("型号")};
    const report::Report r = listReport(o);
    EXPECT_EQ(caption(r, 1), QStringLiteral("名称"));
    EXPECT_EQ(caption(r, 2), QStringLiteral("序号"));
    EXPECT_EQ(caption(r, 3), QStringLiteral("型号"));
    EXPECT_EQ(caption(r, 4), QString());
    // Slot 1 at 4 px, each next one 3 px after the previous header's width.
    EXPECT_NEAR(leftPx(item(r, QStringLiteral("QRLabel1"))), 4, 0.01);
    EXPECT_NEAR(leftPx(item(r, QStringLiteral("QRLabel2"))), 4 + 94 + 3, 0.01);
    EXPECT_NEAR(leftPx(item(r, QStringLiteral("QRLabel3"))), 101 + 48 + 3, 0.01);
    EXPECT_EQ(item(r, QStringLiteral("QRDBText2")).field, QStringLiteral("ID1"));
    EXPECT_NEAR(leftPx(item(r, QStringLiteral("QRDBText3"))), 152, 0.01);
    // The filler runs the header rule on to the right margin (A4 portrait: 794 px - 76).
    const report::Item& filler = item(r, QStringLiteral("QRLabel16"));
    EXPECT_EQ(filler.text, QStringLiteral(" "));
    EXPECT_NEAR(leftPx(filler) + filler.rect.width() / report::px(1), 210 / report::px(1) - 76,
                0.01);
}

TEST(ListReport, SixteenColumnsPrintThirteen) {
    ListReportOptions o;
    o.source = Source::Custom;
    o.columns = columnChoices();
    const report::Report r = listReport(o);
    for (int slot = 1; slot <= kColumnSlots; ++slot)
        EXPECT_EQ(caption(r, slot), columnChoices()[slot - 1].caption) << slot;
    for (const report::Item& i : r.columnHeader->items) EXPECT_NE(i.text, QStringLiteral("来源"));
}

TEST(ListReport, NoColumnStillPrintsTitleAndTotals) {
    ListReportOptions o;
    o.source = Source::Custom;
    o.title = QStringLiteral("示范单位固定资产报表（自定义一）");
    const report::Document doc = run(o, 2);
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRSysData1")), QStringList{o.title});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr1")), QStringList{QStringLiteral("2件")});
    EXPECT_TRUE(textsOf(doc, QStringLiteral("QRLabel1")).isEmpty());
}

TEST(ListReport, FormatOneWithTheNumberAsIdentity) {
    ListReportOptions o;
    o.numberAsIdentity = true;
    const report::Report r = listReport(o);
    EXPECT_EQ(caption(r, 1), QStringLiteral("编号"));
    EXPECT_EQ(item(r, QStringLiteral("QRDBText1")).field, QStringLiteral("bh"));
    EXPECT_EQ(caption(r, 8), QStringLiteral("购买日"));
    EXPECT_NEAR(item(r, QStringLiteral("QRLabel8")).rect.width() / report::px(1), 64, 0.01);
    EXPECT_EQ(caption(r, 9), QString());
    o.numberAsIdentity = false;
    EXPECT_EQ(caption(listReport(o), 1), QStringLiteral("序号"));
    EXPECT_EQ(caption(listReport(o), 8), QStringLiteral("购买日期"));
}

TEST(ListReport, AnEmptyListPrintsTitleHeaderAndZeroCount) {
    ListReportOptions o;
    o.title = QStringLiteral("示范单位固定资产报表（基本）");
    const report::Document doc = run(o, 0);
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRSysData1")), QStringList{o.title});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRLabel1")), QStringList{QStringLiteral("序号")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRLabel9")),
              QStringList{QStringLiteral("共有固定资产：")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr1")), QStringList{QStringLiteral("0件")});
}

TEST(ListReport, ValueAnalysisPutsTheValueCellsOverTheirSlots) {
    ListReportOptions o;
    o.standardFormat = 3;
    const report::Report r = listReport(o);
    EXPECT_NEAR(item(r, QStringLiteral("QRExpr3")).rect.left(),
                item(r, QStringLiteral("QRDBText3")).rect.left(), 1e-9);
    EXPECT_NEAR(item(r, QStringLiteral("QRExpr5")).rect.left(),
                item(r, QStringLiteral("QRDBText4")).rect.left(), 1e-9);
    const report::Document doc = run(o, 1);
    // 1000.00 over 60 months at 5 % after 13 months.
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr3")), QStringList{QStringLiteral("205.83")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr5")), QStringList{QStringLiteral("794.17")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr4")),
              QStringList{QStringLiteral("总计折旧：205.83元(RMB)")});
    // Hidden depreciation: no value cell and no value total.
    o.showDepreciation = false;
    const report::Document hidden = run(o, 1);
    EXPECT_TRUE(textsOf(hidden, QStringLiteral("QRExpr3")).isEmpty());
    EXPECT_TRUE(textsOf(hidden, QStringLiteral("QRExpr4")).isEmpty());
    EXPECT_TRUE(textsOf(hidden, QStringLiteral("QRExpr6")).isEmpty());
}

TEST(ListReport, ValueSummaryPrintsOnlyTheTotals) {
    ListReportOptions o;
    o.standardFormat = 4;
    const report::Document doc = run(o, 3);
    EXPECT_TRUE(textsOf(doc, QStringLiteral("QRLabel1")).isEmpty());
    EXPECT_TRUE(textsOf(doc, QStringLiteral("QRDBText1")).isEmpty());
    EXPECT_TRUE(textsOf(doc, QStringLiteral("QRExpr3")).isEmpty());
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr1")), QStringList{QStringLiteral("3件")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr2")),
              QStringList{QStringLiteral("3000.00元(RMB)")});
    // The total is the rounded sum of the unrounded values: a cent less than three printed
    // lines of 794.17 would add up to.
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr6")),
              QStringList{QStringLiteral("总计净值：2382.50元(RMB)")});
}

TEST(ResultList, EachKindPrintsItsColumnsAndSummary) {
    QList<ListColumn> grid;
    for (int i = 0; i < 12; ++i)
        grid.append({QStringLiteral("列%1").arg(i), QStringLiteral("f%1").arg(i), 50});
    const report::Report repairs = resultListReport(
        2, grid, QStringLiteral("维修情况表"), report::Paper::A4, report::Orientation::Landscape);
    EXPECT_EQ(caption(repairs, 8), QStringLiteral("列7"));
    EXPECT_EQ(caption(repairs, 9), QString());
    EXPECT_EQ(item(repairs, QStringLiteral("QRLabel9")).text, QStringLiteral("总共维修："));
    EXPECT_EQ(item(repairs, QStringLiteral("QRExpr2")).expression,
              QStringLiteral("FORMATNUMERIC('0.00',SUM(wxfy))+'元(RMB)'"));
    EXPECT_TRUE(item(repairs, QStringLiteral("QRExpr4")).expression.isEmpty());
    EXPECT_EQ(repairs.page.orientation, report::Orientation::Landscape);
    const report::Report transfers =
        resultListReport(3, grid, {}, report::Paper::A4, report::Orientation::Portrait);
    EXPECT_EQ(caption(transfers, 6), QStringLiteral("列5"));
    EXPECT_EQ(caption(transfers, 7), QString());
    EXPECT_EQ(item(transfers, QStringLiteral("QRExpr1")).expression,
              QStringLiteral("COUNT()+'次'"));
    EXPECT_EQ(
        caption(resultListReport(4, grid, {}, report::Paper::A4, report::Orientation::Portrait),
                10),
        QStringLiteral("列9"));
    EXPECT_TRUE(
        item(resultListReport(5, grid, {}, report::Paper::A4, report::Orientation::Portrait),
             QStringLiteral("QRLabel9"))
            .text.isEmpty());
}

TEST(ResultList, AStocktakesListsPrintTheirColumnsAndCounts) {
    QList<ListColumn> grid;
    for (int i = 0; i < 12; ++i)
        grid.append({QStringLiteral("列%1").arg(i), QStringLiteral("f%1").arg(i), 50});
    const auto report = [&](int kind) {
        return resultListReport(kind, grid, {}, report::Paper::A4, report::Orientation::Landscape);
    };
    for (int kind : {7, 8, 9}) {
        EXPECT_EQ(caption(report(kind), 9), QStringLiteral("列8")) << kind;
        EXPECT_EQ(caption(report(kind), 10), QString()) << kind;
        EXPECT_EQ(item(report(kind), QStringLiteral("QRExpr1")).expression,
                  QStringLiteral("COUNT()+'件'"));
    }
    EXPECT_EQ(item(report(8), QStringLiteral("QRLabel9")).text, QStringLiteral("盘亏资产："));
    EXPECT_TRUE(
        item(report(8), QStringLiteral("QRExpr2")).expression.contains(QStringLiteral("SUM(jz)")));
    EXPECT_EQ(caption(report(10), 5), QStringLiteral("列4"));
    EXPECT_EQ(caption(report(10), 6), QString());
    EXPECT_EQ(item(report(10), QStringLiteral("QRLabel9")).text, QStringLiteral("账外资产："));
}

// ---- the format file ----------------------------------------------------------------------

QByteArray gbk(const QString& s) {
    QStringEncoder e("GBK");
    return e.encode(s);
}

TEST(FormatFile, SavedAndReadBackByteForByte) {
    ReportFormat f;
    f.title = QStringLiteral("示范单位报表");
    f.columns = {{QStringLiteral("名称"), {}, 94}, {QStringLiteral("序号"), {}, 48}};
    f.paperIndex = 3;
    f.orientationIndex = 1;
    const QByteArray bytes = formatFileBytes(f);
    QByteArray expected = gbk(f.title);
    expected.append(QByteArray(42 - expected.size(), '\0'));
    expected.append(
        QByteArray::fromHex("02000000"
                            "03000000"
                            "01000000"));
    expected.append(gbk(QStringLiteral("名称\r\n序号\r\n94\r\n48\r\n")));
    EXPECT_EQ(bytes.toHex(), expected.toHex());
    QString error;
    const std::optional<ReportFormat> back = readFormatFile(bytes, &error);
    ASSERT_TRUE(back) << error.toStdString();
    EXPECT_EQ(back->title, f.title);
    EXPECT_EQ(back->columns, f.columns);
    EXPECT_EQ(back->paperIndex, 3);
    EXPECT_EQ(back->orientationIndex, 1);
    EXPECT_EQ(paperOfIndex(back->paperIndex), report::Paper::B4);
    EXPECT_EQ(orientationOfIndex(back->orientationIndex), report::Orientation::Landscape);
}

TEST(FormatFile, ALongTitleIsCutAtAWholeCharacter) {
    ReportFormat f;
    f.title = QStringLiteral("a") + QString(30, QChar(0x56FA));  // 1 + 60 bytes
    const QByteArray bytes = formatFileBytes(f);
    // 41 bytes hold the letter and twenty characters; the NUL follows.
    EXPECT_EQ(bytes.left(41), gbk(f.title.left(21)));
    EXPECT_EQ(bytes.at(41), '\0');
    EXPECT_EQ(readFormatFile(bytes, nullptr)->title, f.title.left(21));
}

TEST(FormatFile, BrokenFilesAreRefusedWithAMessage) {
    QString error;
    EXPECT_FALSE(readFormatFile(QByteArray(20, 'x'), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("太短"))) << error.toStdString();
    ReportFormat f;
    f.columns = {{QStringLiteral("名称"), {}, 94}, {QStringLiteral("序号"), {}, 48}};
    QByteArray bytes = formatFileBytes(f);
    EXPECT_FALSE(readFormatFile(bytes.left(bytes.size() - 8), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("行数"))) << error.toStdString();
    bytes.replace(QByteArray("94\r\n"), QByteArray("9x\r\n"));
    EXPECT_FALSE(readFormatFile(bytes, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("第1列"))) << error.toStdString();
}

}  // namespace
}  // namespace fx::reports
