#include <gtest/gtest.h>

#include <QDate>
#include <QFontInfo>
#include <QFontMetricsF>
#include <cmath>

#include "dump.h"
#include "layout.h"
#include "testreports.h"
#include "textmetrics.h"
#include "units.h"

using namespace fx::report;
using namespace fx::report::test;

namespace {

// Texts an item printed, page by page in order.
QStringList textsOf(const Document& doc, const QString& item) {
    QStringList out;
    for (const Page& page : doc.pages)
        for (const Primitive& p : page.primitives)
            if (p.kind == Primitive::Kind::Text && p.item == item) out << p.text;
    return out;
}

std::vector<BandPlacement> bandsOf(const Page& page, BandKind kind) {
    std::vector<BandPlacement> out;
    for (const BandPlacement& b : page.bands)
        if (b.kind == kind) out.push_back(b);
    return out;
}

const Primitive* firstText(const Page& page, const QString& item) {
    for (const Primitive& p : page.primitives)
        if (p.kind == Primitive::Kind::Text && p.item == item) return &p;
    return nullptr;
}

}  // namespace

TEST(ReportLayout, GroupedListMatchesExpectedDump) {
    const MemoryDataSource data = sampleAssets(30);
    const Document doc = layoutReport(groupedListReport(), data, fixedOptions());
    ASSERT_GE(doc.pageCount(), 2);
    EXPECT_TRUE(matchesExpected(QStringLiteral("grouped_list"), dumpDocument(doc)));
}

TEST(ReportLayout, PageFooterOnEveryPageAndNothingRunsIntoIt) {
    const MemoryDataSource data = sampleAssets(30);
    const Report report = groupedListReport();
    const Document doc = layoutReport(report, data, fixedOptions());
    const qreal bottom = report.page.pageSize().height() - report.page.margins.bottom;
    const qreal limit = bottom - report.pageFooter->height;
    for (int i = 0; i < doc.pageCount(); ++i) {
        const Page& page = doc.pages[size_t(i)];
        const auto footers = bandsOf(page, BandKind::PageFooter);
        ASSERT_EQ(footers.size(), 1u) << "page " << i + 1;
        EXPECT_NEAR(footers[0].rect.bottom(), bottom, 1e-9);
        EXPECT_EQ(bandsOf(page, BandKind::Title).size(), i == 0 ? 1u : 0u);
        EXPECT_EQ(bandsOf(page, BandKind::ColumnHeader).size(), 1u);
        qreal previousBottom = 0;
        for (const BandPlacement& b : page.bands) {
            if (b.kind == BandKind::PageFooter) continue;
            EXPECT_LE(b.rect.bottom(), limit + 1e-9) << b.band.toStdString();
            EXPECT_GE(b.rect.top(), previousBottom - 1e-9) << "bands overlap";
            previousBottom = b.rect.bottom();
        }
    }
    QStringList expectedPages;
    for (int i = 1; i <= doc.pageCount(); ++i)
        expectedPages << QStringLiteral("页号：%1/%2").arg(i).arg(doc.pageCount());
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRSysData3")), expectedPages);
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRSysData2")).first(),
              QStringLiteral("打印日期：2026-12-09"));
}

TEST(ReportLayout, GroupFootersTotalTheirOwnGroupOnly) {
    const MemoryDataSource data = sampleAssets(30);
    const Document doc = layoutReport(groupedListReport(), data, fixedOptions());
    // Work out the expected totals from the rows themselves.
    QStringList counts, sums, running;
    QString current;
    int n = 0, all = 0;
    double sum = 0;
    auto close = [&] {
        counts << current + QStringLiteral("小计：%1件").arg(n);
        sums << QString::number(sum, 'f', 2);
        running << QStringLiteral("累计：%1").arg(all);
    };
    for (int row = 0; row < data.count(); ++row) {
        const QString category = data.value(row, QStringLiteral("zclb")).toString();
        if (row > 0 && category != current) {
            close();
            n = 0;
            sum = 0;
        }
        current = category;
        ++n;
        ++all;
        sum += data.value(row, QStringLiteral("gmjg")).toDouble();
    }
    close();
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr6")), counts);
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr7")), sums);
    // Report-scoped COUNT in a group footer keeps running across groups.
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExprRunning")), running);
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr1")), QStringList{QStringLiteral("30件")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExprGroup")),
              (QStringList{QStringLiteral("类别：办公设备"), QStringLiteral("类别：计算机"),
                           QStringLiteral("类别：家具")}));
}

TEST(ReportLayout, NestedGroupsBreakInnerWithOuter) {
    MemoryDataSource data({QStringLiteral("bm"), QStringLiteral("lb"), QStringLiteral("v")});
    // Department A: categories x, x, y; department B: category y (same inner value as the
    // last of A, but a new outer group must still break the inner one).
    data.addRow({QStringLiteral("A"), QStringLiteral("x"), 1});
    data.addRow({QStringLiteral("A"), QStringLiteral("x"), 2});
    data.addRow({QStringLiteral("A"), QStringLiteral("y"), 4});
    data.addRow({QStringLiteral("B"), QStringLiteral("y"), 8});
    Report r;
    r.page.margins = {10, 10, 10, 10};
    Group& outer = r.addGroup(QStringLiteral("outer"), QStringLiteral("bm"));
    outer.addHeader(QStringLiteral("outerHeader"), 6)
        .add(Item::dataField(QStringLiteral("outerValue"), QRectF(0, 0, 50, 5),
                             QStringLiteral("bm")));
    outer.addFooter(QStringLiteral("outerFooter"), 6)
        .add(Item::expr(QStringLiteral("outerTotal"), QRectF(0, 0, 80, 5),
                        QStringLiteral("'总共：'+sum(1)+'件 '+SUM(v)")));
    Group& inner = r.addGroup(QStringLiteral("inner"), QStringLiteral("lb"));
    inner.addHeader(QStringLiteral("innerHeader"), 2);
    inner.addFooter(QStringLiteral("innerFooter"), 6)
        .add(Item::expr(QStringLiteral("innerTotal"), QRectF(0, 0, 80, 5),
                        QStringLiteral("lb+':'+sum(1)+'件 '+SUM(v)")));
    r.detail.height = 5;
    r.detail.add(
        Item::dataField(QStringLiteral("value"), QRectF(0, 0, 20, 5), QStringLiteral("v")));
    const Document doc = layoutReport(r, data, fixedOptions());
    EXPECT_EQ(textsOf(doc, QStringLiteral("innerTotal")),
              (QStringList{QStringLiteral("x:2件 3"), QStringLiteral("y:1件 4"),
                           QStringLiteral("y:1件 8")}));
    EXPECT_EQ(textsOf(doc, QStringLiteral("outerTotal")),
              (QStringList{QStringLiteral("总共：3件 7"), QStringLiteral("总共：1件 8")}));
    // Print order of the bands.
    QStringList order;
    for (const BandPlacement& b : doc.pages[0].bands) order << b.band;
    EXPECT_EQ(order.join(QLatin1Char(' ')),
              QStringLiteral("outerHeader innerHeader detail detail innerFooter innerHeader "
                             "detail innerFooter outerFooter outerHeader innerHeader detail "
                             "innerFooter outerFooter"));
}

TEST(ReportLayout, EmptyListPrintsTitleHeaderAndSummary) {
    const MemoryDataSource data = sampleAssets(0);
    const Document doc = layoutReport(groupedListReport(), data, fixedOptions());
    EXPECT_TRUE(matchesExpected(QStringLiteral("empty_list"), dumpDocument(doc)));
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr1")), QStringList{QStringLiteral("0件")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr2")), QStringList{QStringLiteral("0.00元(RMB)")});
    EXPECT_TRUE(bandsOf(doc.pages[0], BandKind::GroupHeader).empty());
    EXPECT_TRUE(bandsOf(doc.pages[0], BandKind::GroupFooter).empty());

    Report quiet = groupedListReport();
    quiet.options.printIfEmpty = false;
    EXPECT_EQ(layoutReport(quiet, data, fixedOptions()).pageCount(), 0);
}

TEST(ReportLayout, ZeroHeightBandsAreSuppressed) {
    Report r = groupedListReport();
    // Totals only: no column header, no lines, no group captions; the group footers and the
    // child band after each still print.
    r.columnHeader->height = 0;
    r.detail.height = 0;
    r.groups[0].header->height = 0;
    const MemoryDataSource data = sampleAssets(9);
    const Document doc = layoutReport(r, data, fixedOptions());
    EXPECT_TRUE(matchesExpected(QStringLiteral("zero_height"), dumpDocument(doc)));
    ASSERT_EQ(doc.pageCount(), 1);
    const Page& page = doc.pages[0];
    EXPECT_TRUE(bandsOf(page, BandKind::ColumnHeader).empty());
    EXPECT_TRUE(bandsOf(page, BandKind::Detail).empty());
    EXPECT_TRUE(bandsOf(page, BandKind::GroupHeader).empty());
    EXPECT_EQ(bandsOf(page, BandKind::GroupFooter).size(), 3u);
    EXPECT_EQ(bandsOf(page, BandKind::Child).size(), 3u);
    EXPECT_TRUE(textsOf(doc, QStringLiteral("QRDBText2")).isEmpty());
    EXPECT_TRUE(textsOf(doc, QStringLiteral("QRLabel1")).isEmpty());
    // Records still count although their lines do not print.
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr1")), QStringList{QStringLiteral("9件")});
}

TEST(ReportLayout, TwoDetailColumnsAcross) {
    const MemoryDataSource data = sampleAssets(5);
    const Report report = labelSheet(2);
    const Document doc = layoutReport(report, data, fixedOptions());
    EXPECT_TRUE(matchesExpected(QStringLiteral("labels_two_columns"), dumpDocument(doc)));
    ASSERT_EQ(doc.pageCount(), 1);
    const auto cards = bandsOf(doc.pages[0], BandKind::Detail);
    ASSERT_EQ(cards.size(), 5u);
    // Left to right, then down: columns one card width plus the spacing apart.
    const qreal columnWidth = report.page.columnWidth();
    EXPECT_DOUBLE_EQ(columnWidth, 90.0);
    const QPointF expected[] = {{10, 20}, {95, 20}, {10, 74}, {95, 74}, {10, 128}};
    for (size_t i = 0; i < cards.size(); ++i) {
        EXPECT_NEAR(cards[i].rect.left(), expected[i].x(), 1e-9) << i;
        EXPECT_NEAR(cards[i].rect.top(), expected[i].y(), 1e-9) << i;
        EXPECT_DOUBLE_EQ(cards[i].rect.width(), 85.0);
        EXPECT_EQ(cards[i].record, int(i));
    }
}

TEST(ReportLayout, ChildBandsStayUnderTheirCardAcross) {
    const MemoryDataSource data = sampleAssets(3);
    Report report = labelSheet(2);
    Band& child = report.detail.addChild(QStringLiteral("ChildBand1"), 6);
    child.add(
        Item::dataField(QStringLiteral("extra"), QRectF(2, 1, 40, 4), QStringLiteral("zclb")));
    const Document doc = layoutReport(report, data, fixedOptions());
    ASSERT_EQ(doc.pageCount(), 1);
    const auto cards = bandsOf(doc.pages[0], BandKind::Detail);
    ASSERT_EQ(cards.size(), 3u);
    // Card and child make one 60 mm block per column.
    EXPECT_NEAR(cards[1].rect.left(), 95, 1e-9);
    EXPECT_NEAR(cards[2].rect.top(), 80, 1e-9);
    EXPECT_NEAR(cards[0].rect.height(), 60, 1e-9);
    const QStringList extras = textsOf(doc, QStringLiteral("extra"));
    ASSERT_EQ(extras.size(), 3);
    for (const Primitive& p : doc.pages[0].primitives) {
        if (p.item != QStringLiteral("extra")) continue;
        const bool second = p.rect.left() > 90;
        EXPECT_NEAR(p.rect.left(), (second ? 95 : 10) + 2, 1e-9);
        EXPECT_NEAR(std::fmod(p.rect.top() - 20, 60), 55, 1e-9);
    }
}

TEST(ReportLayout, LabelsFillFurtherPages) {
    const MemoryDataSource data = sampleAssets(23);
    Report report = labelSheet(5);
    report.page.margins = {10, 6, 5, 5};
    report.detail.width = 40;
    report.detail.height = 25;
    const Document doc = layoutReport(report, data, fixedOptions());
    // 297 - 6 - 5 = 286 mm hold 11 rows of 25 mm: 55 cards a page.
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(bandsOf(doc.pages[0], BandKind::Detail).size(), 23u);
    const MemoryDataSource many = sampleAssets(60);
    const Document two = layoutReport(report, many, fixedOptions());
    ASSERT_EQ(two.pageCount(), 2);
    EXPECT_EQ(bandsOf(two.pages[0], BandKind::Detail).size(), 55u);
    EXPECT_EQ(bandsOf(two.pages[1], BandKind::Detail).size(), 5u);
    EXPECT_NEAR(bandsOf(two.pages[1], BandKind::Detail)[0].rect.top(), 6, 1e-9);
}

TEST(ReportLayout, AutoSizeKeepsTheAlignedEdge) {
    MemoryDataSource data({QStringLiteral("s")});
    data.addRow({QStringLiteral("固定资产")});
    Report r;
    r.detail.height = 10;
    Item left = Item::dataField(QStringLiteral("left"), QRectF(20, 0, 60, 5), QStringLiteral("s"));
    left.autoSize = true;
    Item right = left;
    right.name = QStringLiteral("right");
    right.align = HAlign::Right;
    Item centre = left;
    centre.name = QStringLiteral("centre");
    centre.align = HAlign::Center;
    r.detail.add(left);
    r.detail.add(right);
    r.detail.add(centre);
    const Document doc = layoutReport(r, data, fixedOptions());
    const Page& page = doc.pages.at(0);
    TextMetrics metrics;
    const qreal w = metrics.width(FontDesc{}, QStringLiteral("固定资产"));
    ASSERT_GT(w, 5.0);
    const qreal x0 = r.page.margins.left;
    EXPECT_NEAR(firstText(page, QStringLiteral("left"))->rect.left(), x0 + 20, 1e-9);
    EXPECT_NEAR(firstText(page, QStringLiteral("left"))->rect.width(), w, 1e-9);
    EXPECT_NEAR(firstText(page, QStringLiteral("right"))->rect.right(), x0 + 80, 1e-9);
    EXPECT_NEAR(firstText(page, QStringLiteral("right"))->rect.width(), w, 1e-9);
    EXPECT_NEAR(firstText(page, QStringLiteral("centre"))->rect.center().x(), x0 + 50, 1e-9);
}

TEST(ReportLayout, WordWrapStretchesTheBand) {
    const QString slip = QStringLiteral(
        "    由于工作需要，准予财务科张三借用以下固定资产。借用人有责任保管好借用物品，"
        "并在使用完毕后及时归还入库。");
    MemoryDataSource data;
    Report r;
    Band& title = r.band(BandKind::Title, QStringLiteral("TitleBand1"), px(120));
    FontDesc kai;
    kai.family = QStringLiteral("楷体_GB2312");
    kai.pointSize = 18;
    Item text = Item::richText(QStringLiteral("QRRichText1"), rectPx(0, 0, 400, 30), slip, kai);
    text.autoStretch = true;
    title.add(text);
    title.add(Item::label(QStringLiteral("QRLabel2"), rectPx(0, 100, 200, 20),
                          QStringLiteral("固定资产序号：12"), kai));
    const Document doc = layoutReport(r, data, fixedOptions());
    const QStringList lines = textsOf(doc, QStringLiteral("QRRichText1"));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.join(QString()).remove(QLatin1Char(' ')),
              QString(slip).remove(QLatin1Char(' ')));
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("    由于")));
    // No line is wider than the box, and no line starts with a closing punctuation mark.
    TextMetrics metrics;
    for (const QString& line : lines) {
        EXPECT_LE(metrics.width(kai, line), px(400) + 1e-6) << line.toStdString();
        EXPECT_FALSE(line.startsWith(QStringLiteral("，"))) << line.toStdString();
        EXPECT_FALSE(line.startsWith(QStringLiteral("。"))) << line.toStdString();
    }
    const auto bands = bandsOf(doc.pages[0], BandKind::Title);
    ASSERT_EQ(bands.size(), 1u);
    const qreal needed = lines.size() * metrics.lineHeight(kai);
    EXPECT_NEAR(bands[0].rect.height(), qMax(px(120), needed), 1e-9);
}

TEST(ReportLayout, WithoutStretchOnlyWholeLinesPrint) {
    MemoryDataSource data;
    Report r;
    Band& title = r.band(BandKind::Title, QStringLiteral("TitleBand1"), 30);
    FontDesc f;
    f.pointSize = 12;
    TextMetrics metrics;
    const qreal line = metrics.lineHeight(f);
    // Room for two and a half lines: the half line stays out.
    title.add(Item::richText(QStringLiteral("rt"), QRectF(0, 0, 30, line * 2.5),
                             QString(60, QChar(0x4E2D)), f));
    // Too low for even one line: the first line prints all the same.
    title.add(Item::richText(QStringLiteral("low"), QRectF(40, 0, 30, line / 2),
                             QString(60, QChar(0x4E2D)), f));
    const Document doc = layoutReport(r, data, fixedOptions());
    const QStringList lines = textsOf(doc, QStringLiteral("rt"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines.join(QString()), QString(lines.join(QString()).size(), QChar(0x4E2D)));
    EXPECT_EQ(textsOf(doc, QStringLiteral("low")).size(), 1);
    EXPECT_NEAR(doc.pages[0].bands[0].rect.height(), 30, 1e-9);
}

TEST(ReportLayout, BandTallerThanAPageSplitsBetweenLines) {
    QStringList lines;
    for (int i = 1; i <= 120; ++i)
        lines << QStringLiteral("%1    JSJ-%2    台式电脑    计算机").arg(i).arg(100 + i);
    MemoryDataSource data;
    Report r;
    r.page.margins = {10, 10, 10, 10};
    Band& title = r.band(BandKind::Title, QStringLiteral("TitleBand1"), 20);
    title.add(Item::label(QStringLiteral("caption"), QRectF(0, 0, 100, 8),
                          QStringLiteral("固定资产调拨单")));
    Band& list = title.addChild(QStringLiteral("ChildBand1"), 10);
    FontDesc arial;
    arial.family = QStringLiteral("Arial");
    arial.pointSize = 10;
    Item rt = Item::richText(QStringLiteral("QRRichText3"), QRectF(0, 0, 190, 10),
                             lines.join(QLatin1Char('\n')), arial);
    rt.autoStretch = true;
    list.add(rt);
    Band& footer = r.band(BandKind::PageFooter, QStringLiteral("footer"), 10);
    footer.add(Item::systemItem(QStringLiteral("page"), QRectF(0, 2, 50, 6),
                                SystemValue::PageNumber, QStringLiteral("页号：")));
    const Document doc = layoutReport(r, data, fixedOptions());
    ASSERT_GE(doc.pageCount(), 2);
    // Every line printed once, in order, and none below the room above the page footer.
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRRichText3")), lines);
    const qreal limit = 297 - 10 - 10;
    for (const Page& page : doc.pages) {
        for (const Primitive& p : page.primitives) {
            if (p.item == QStringLiteral("QRRichText3")) {
                EXPECT_LE(p.rect.bottom(), limit + 1e-9);
            }
        }
    }
    EXPECT_NEAR(doc.pages[1].bands.front().rect.top(), 10, 1e-9);
    EXPECT_EQ(textsOf(doc, QStringLiteral("page")).last(),
              QStringLiteral("页号：%1").arg(doc.pageCount()));
}

TEST(ReportLayout, LayoutPageByPageGivesTheSameDocument) {
    const MemoryDataSource data = sampleAssets(60);
    const Report report = groupedListReport();
    ReportLayout layout(report, data, fixedOptions());
    ASSERT_TRUE(layout.layoutNextPage());
    EXPECT_EQ(layout.document().pageCount(), 1);
    EXPECT_FALSE(layout.finished());
    EXPECT_GT(layout.recordsDone(), 0);
    EXPECT_LT(layout.recordsDone(), 60);
    const Document stepped = layout.takeDocument();
    EXPECT_TRUE(layout.finished());
    EXPECT_FALSE(layout.layoutNextPage());
    EXPECT_EQ(stepped, layoutReport(report, data, fixedOptions()));
}

TEST(ReportLayout, UnknownFieldsAndBadExpressionsPrintNothing) {
    MemoryDataSource data({QStringLiteral("a")});
    data.addRow({1});
    Report r;
    r.detail.height = 6;
    r.detail.add(Item::dataField(QStringLiteral("e1"), QRectF(0, 0, 20, 5), QStringLiteral("e1")));
    r.detail.add(Item::expr(QStringLiteral("bad"), QRectF(20, 0, 20, 5), QStringLiteral("IF(a,")));
    r.detail.add(Item::expr(QStringLiteral("empty"), QRectF(40, 0, 20, 5), QString()));
    r.detail.add(Item::expr(QStringLiteral("good"), QRectF(60, 0, 20, 5), QStringLiteral("a+1")));
    EXPECT_EQ(r.check().size(), 1);
    EXPECT_TRUE(r.check().first().startsWith(QStringLiteral("bad：")));
    const Document doc = layoutReport(r, data, fixedOptions());
    EXPECT_TRUE(textsOf(doc, QStringLiteral("e1")).isEmpty());
    EXPECT_TRUE(textsOf(doc, QStringLiteral("bad")).isEmpty());
    EXPECT_TRUE(textsOf(doc, QStringLiteral("empty")).isEmpty());
    EXPECT_EQ(textsOf(doc, QStringLiteral("good")), QStringList{QStringLiteral("2")});
}

TEST(PageSetup, PaperSizesAndOrientation) {
    PageSetup p;
    EXPECT_EQ(p.pageSize(), QSizeF(210, 297));
    p.orientation = Orientation::Landscape;
    EXPECT_EQ(p.pageSize(), QSizeF(297, 210));
    EXPECT_DOUBLE_EQ(p.printableWidth(), 277);
    p.orientation = Orientation::Portrait;
    p.paper = Paper::A3;
    EXPECT_EQ(p.pageSize(), QSizeF(297, 420));
    p.paper = Paper::A5;
    EXPECT_EQ(p.pageSize(), QSizeF(148, 210));
    p.paper = Paper::B4;
    EXPECT_EQ(p.pageSize(), QSizeF(257, 364));
    p.paper = Paper::B5;
    EXPECT_EQ(p.pageSize(), QSizeF(182, 257));
    p.paper = Paper::PrinterDefault;
    EXPECT_EQ(p.pageSize(), printerDefaultPaper().size(QPageSize::Millimeter));
    p.paper = Paper::A4;
    p.columns = 5;
    p.margins = {10, 6, 5, 5};
    EXPECT_DOUBLE_EQ(p.columnWidth(), 39);
}

TEST(Fonts, ReportFamiliesMapToInstalledChineseFonts) {
    EXPECT_EQ(mappedFamilies(QStringLiteral("宋体")).first(), QStringLiteral("AR PL UMing CN"));
    EXPECT_EQ(mappedFamilies(QStringLiteral("楷体_GB2312")).first(),
              QStringLiteral("AR PL UKai CN"));
    EXPECT_EQ(mappedFamilies(QStringLiteral("黑体")).first(), QStringLiteral("WenQuanYi Zen Hei"));
    EXPECT_EQ(mappedFamilies(QStringLiteral("Arial")).first(), QStringLiteral("DejaVu Sans"));
    const char* families[] = {"宋体", "楷体_GB2312", "黑体"};
    for (const char* family : families) {
        FontDesc desc;
        desc.family = QString::fromUtf8(family);
        const QFont font = mappedFont(desc);
        const QFontInfo info(font);
        EXPECT_EQ(info.family(), mappedFamilies(desc.family).first()) << family;
        const QFontMetricsF metrics(font);
        for (QChar c : QStringLiteral("固定资产调拨单借用人签名：（）"))
            EXPECT_TRUE(metrics.inFont(c)) << family;
    }
}

TEST(ReportLayout, SystemItemsFormatsAndShapes) {
    MemoryDataSource data({QStringLiteral("gmrq"), QStringLiteral("gmjg")});
    data.addRow({QDate(2003, 5, 6), 1234.5});
    data.addRow({QDate(2024, 12, 31), -0.004});
    Report r;
    r.title = QStringLiteral("系统项目");
    r.page.paper = Paper::A5;
    r.page.orientation = Orientation::Landscape;
    Band& header = r.band(BandKind::PageHeader, QStringLiteral("PageHeaderBand1"), 12);
    header.background = QColor(192, 192, 192);
    const struct {
        const char* name;
        SystemValue value;
        const char* format;
    } items[] = {
        {"title", SystemValue::ReportTitle, ""}, {"date", SystemValue::Date, "yyyy'年'M'月'd'日'"},
        {"time", SystemValue::Time, ""},         {"both", SystemValue::DateTime, ""},
        {"count", SystemValue::PageCount, ""},   {"of", SystemValue::PageOfCount, "第%1页/共%2页"}};
    qreal x = 0;
    for (const auto& s : items) {
        Item i = Item::systemItem(QString::fromLatin1(s.name), QRectF(x, 1, 30, 5), s.value);
        i.format = QString::fromUtf8(s.format);
        i.font.pointSize = 8;
        header.add(i);
        x += 31;
    }
    r.detail.height = 8;
    Item date =
        Item::dataField(QStringLiteral("gmrq"), QRectF(0, 1, 40, 5), QStringLiteral("gmrq"));
    date.format = QStringLiteral("yyyy.M.d");
    r.detail.add(date);
    Item price =
        Item::dataField(QStringLiteral("gmjg"), QRectF(40, 1, 30, 5), QStringLiteral("gmjg"));
    price.format = QStringLiteral("#,##0.00");
    price.align = HAlign::Right;
    price.frame.sides = Frame::Left | Frame::Right;
    price.frame.color = Qt::red;
    r.detail.add(price);
    r.detail.add(
        Item::dataField(QStringLiteral("raw"), QRectF(75, 1, 30, 5), QStringLiteral("gmjg")));
    Item line =
        Item::shapeItem(QStringLiteral("rule"), QRectF(0, 6, 100, 2), ShapeKind::HorizontalLine);
    r.detail.add(line);
    Item bar =
        Item::shapeItem(QStringLiteral("bar"), QRectF(110, 0, 2, 8), ShapeKind::VerticalLine, 0.5);
    r.detail.add(bar);
    Item hidden =
        Item::label(QStringLiteral("hidden"), QRectF(120, 0, 20, 5), QStringLiteral("不显示"));
    hidden.visible = false;
    r.detail.add(hidden);
    const Document doc = layoutReport(r, data, fixedOptions());
    EXPECT_TRUE(matchesExpected(QStringLiteral("system_items"), dumpDocument(doc)));
    EXPECT_EQ(textsOf(doc, QStringLiteral("date")), QStringList{QStringLiteral("2026年12月9日")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("time")), QStringList{QStringLiteral("10:30:00")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("both")),
              QStringList{QStringLiteral("2026-12-09 10:30:00")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("of")), QStringList{QStringLiteral("第1页/共1页")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("gmrq")),
              (QStringList{QStringLiteral("2003.5.6"), QStringLiteral("2024.12.31")}));
    EXPECT_EQ(textsOf(doc, QStringLiteral("gmjg")),
              (QStringList{QStringLiteral("1,234.50"), QStringLiteral("0.00")}));
    EXPECT_EQ(textsOf(doc, QStringLiteral("raw")),
              (QStringList{QStringLiteral("1234.5"), QStringLiteral("-0.004")}));
    EXPECT_TRUE(textsOf(doc, QStringLiteral("hidden")).isEmpty());
}

TEST(ReportLayout, HeaderOnFirstPageAndFooterOnLastPageCanBeLeftOut) {
    const MemoryDataSource data = sampleAssets(60);
    Report r = groupedListReport();
    Band& header = r.band(BandKind::PageHeader, QStringLiteral("PageHeaderBand1"), 8);
    header.add(Item::systemItem(QStringLiteral("pageNo"), QRectF(0, 0, 40, 5),
                                SystemValue::PageNumber, QStringLiteral("第页：")));
    r.options.firstPageHeader = false;
    r.options.lastPageFooter = false;
    const Document doc = layoutReport(r, data, fixedOptions());
    ASSERT_GE(doc.pageCount(), 3);
    for (int i = 0; i < doc.pageCount(); ++i) {
        const Page& page = doc.pages[size_t(i)];
        EXPECT_EQ(bandsOf(page, BandKind::PageHeader).size(), i == 0 ? 0u : 1u) << i;
        EXPECT_EQ(bandsOf(page, BandKind::PageFooter).size(), i + 1 == doc.pageCount() ? 0u : 1u)
            << i;
    }
    // On later pages the header comes first, the column header after it.
    EXPECT_EQ(doc.pages[1].bands[0].kind, BandKind::PageHeader);
    EXPECT_EQ(doc.pages[1].bands[1].kind, BandKind::ColumnHeader);
    EXPECT_EQ(textsOf(doc, QStringLiteral("pageNo")).first(), QStringLiteral("第页：2"));
}
