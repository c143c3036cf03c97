// A list report of 10000 assets, as the report printing dialog lays it out: the time to the
// first page (what the preview waits for), to every page, and to write the PDF.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "datasource.h"
#include "layout.h"
#include "qrpfile.h"
#include "render.h"
#include "units.h"

using namespace fx::report;

namespace {

constexpr int kRows = 10000;

const MemoryDataSource& assets() {
    static const MemoryDataSource data = [] {
        MemoryDataSource d({QStringLiteral("ID1"), QStringLiteral("bh"), QStringLiteral("sbmc"),
                            QStringLiteral("zclb"), QStringLiteral("sbxh"), QStringLiteral("wz"),
                            QStringLiteral("yt"), QStringLiteral("bxq"), QStringLiteral("gmrq"),
                            QStringLiteral("gmjg"), QStringLiteral("ynum"), QStringLiteral("yue"),
                            QStringLiteral("cz"), QStringLiteral("ybf")});
        const QString names[] = {QStringLiteral("台式电脑"), QStringLiteral("打印机"),
                                 QStringLiteral("文件柜"), QStringLiteral("笔记本电脑"),
                                 QStringLiteral("投影仪")};
        const QString places[] = {QStringLiteral("办公室"), QStringLiteral("财务科"),
                                  QStringLiteral("档案室"), QStringLiteral("会议室")};
        for (int i = 0; i < kRows; ++i)
            d.addRow({i + 1, QStringLiteral("JSJ-%1").arg(100 + i), names[i % 5],
                      QStringLiteral("计算机"), QStringLiteral("联想启天M%1").arg(4000 + i % 97),
                      places[i % 4], QStringLiteral("办公"), QStringLiteral("五年"),
                      QDate(2015 + i % 10, 1 + i % 12, 1 + i % 28), 1000.0 + (i % 500) * 7.31,
                      i % 120, 60, 5, i % 37 == 0});
        return d;
    }();
    return data;
}

FontDesc song(qreal size, bool bold = false, bool italic = false) {
    FontDesc f;
    f.pointSize = size;
    f.bold = bold;
    f.italic = italic;
    return f;
}

// Title, column header with ruled captions, detail cells sized to their text with the
// depreciation and net value expressions, the summary lines and the page footer.
Report listReport() {
    Report r;
    r.title = QStringLiteral("青石岭单位固定资产报表（价值分析）");
    r.page.orientation = Orientation::Landscape;
    Band& title = r.band(BandKind::Title, QStringLiteral("TitleBand1"), px(48));
    Item t = Item::systemItem(QStringLiteral("QRSysData1"), rectPx(0, 10, 100, 24),
                              SystemValue::ReportTitle, {}, song(18, true));
    t.alignToBand = true;
    t.align = HAlign::Center;
    title.add(t);
    Band& header = r.band(BandKind::ColumnHeader, QStringLiteral("ColumnHeaderBand1"), px(53));
    Band& detail = r.band(BandKind::Detail, QStringLiteral("DetailBand1"), px(24));
    const struct {
        const char* caption;
        const char* field;
        int width;
    } columns[] = {{"序号", "ID1", 48},      {"编号", "bh", 64},      {"名称", "sbmc", 94},
                   {"资产类别", "zclb", 94}, {"型号", "sbxh", 130},   {"位置", "wz", 94},
                   {"用途", "yt", 94},       {"使用年限", "bxq", 72}, {"购买日期", "gmrq", 70},
                   {"购买价格", "gmjg", 74}, {"累计折旧", "e1", 74},  {"净值", "e2", 74}};
    int left = 4, slot = 1;
    for (const auto& c : columns) {
        Item h = Item::label(QStringLiteral("QRLabel%1").arg(slot), rectPx(left, 28, c.width, 17),
                             QString::fromUtf8(c.caption), song(12, true, true));
        h.frame.sides = Frame::Bottom;
        h.frame.color = QColor(128, 128, 128);
        h.frame.width = px(2);
        header.add(h);
        Item cell =
            Item::dataField(QStringLiteral("QRDBText%1").arg(slot), rectPx(left, 8, c.width, 17),
                            QString::fromLatin1(c.field), song(10));
        cell.autoSize = true;
        detail.add(cell);
        if (QLatin1String(c.field) == QLatin1String("e1"))
            detail.add(Item::expr(QStringLiteral("QRExpr3"), rectPx(left, 8, c.width, 17),
                                  QStringLiteral("FORMATNUMERIC('0.00',IF((ynum>yue) Or "
                                                 "ybf,gmjg*(100-cz)/100,gmjg*ynum*(100-cz)/yue/"
                                                 "100))"),
                                  song(10)));
        if (QLatin1String(c.field) == QLatin1String("e2"))
            detail.add(Item::expr(QStringLiteral("QRExpr5"), rectPx(left, 8, c.width, 17),
                                  QStringLiteral("FORMATNUMERIC('0.00',IF((ynum>yue) Or "
                                                 "ybf,gmjg*cz/100,gmjg-gmjg*ynum*(100-cz)/yue/"
                                                 "100))"),
                                  song(10)));
        left += c.width + 3;
        ++slot;
    }
    Band& summary = r.band(BandKind::Summary, QStringLiteral("SummaryBand1"), px(72));
    summary.add(Item::label(QStringLiteral("QRLabel9"), rectPx(16, 16, 120, 20),
                            QStringLiteral("共有固定资产："), song(12, true)));
    summary.add(Item::expr(QStringLiteral("QRExpr1"), rectPx(136, 16, 200, 20),
                           QStringLiteral("COUNT()+'件'"), song(12, true)));
    summary.add(Item::expr(QStringLiteral("QRExpr2"), rectPx(448, 16, 300, 20),
                           QStringLiteral("FORMATNUMERIC('0.00',SUM(gmjg))+'元(RMB)'"),
                           song(12, true)));
    summary.add(
        Item::expr(QStringLiteral("QRExpr4"), rectPx(16, 48, 320, 20),
                   QStringLiteral("'总计折旧：'+FORMATNUMERIC('0.00',SUM(IF((ynum>yue) Or "
                                  "ybf,gmjg*(100-cz)/100,gmjg*ynum*(100-cz)/yue/100)))+'元(RMB)'"),
                   song(12, true)));
    summary.add(
        Item::expr(QStringLiteral("QRExpr6"), rectPx(344, 48, 320, 20),
                   QStringLiteral("'总计净值：'+FORMATNUMERIC('0.00',SUM(IF((ynum>yue) Or "
                                  "ybf,gmjg*cz/100,gmjg-gmjg*ynum*(100-cz)/yue/100)))+'元(RMB)'"),
                   song(12, true)));
    Band& footer = r.band(BandKind::PageFooter, QStringLiteral("PageFooterBand1"), px(42));
    footer.frame.sides = Frame::Top;
    footer.frame.color = QColor(128, 128, 128);
    footer.frame.width = px(2);
    footer.add(Item::systemItem(QStringLiteral("QRSysData2"), rectPx(16, 12, 200, 17),
                                SystemValue::Date, QStringLiteral("打印日期："), song(10)));
    footer.add(Item::systemItem(QStringLiteral("QRSysData3"), rectPx(950, 12, 100, 17),
                                SystemValue::PageNumber, QStringLiteral("页号："), song(10)));
    return r;
}

RunOptions options() {
    RunOptions o;
    o.printedAt = QDateTime(QDate(2026, 12, 9), QTime(9, 0));
    return o;
}

void BM_FirstPage(benchmark::State& state) {
    const Report report = listReport();
    for (auto _ : state) {
        ReportLayout layout(report, assets(), options());
        layout.layoutNextPage();
        benchmark::DoNotOptimize(layout.document().pages.size());
    }
}
BENCHMARK(BM_FirstPage)->Unit(benchmark::kMillisecond);

void BM_AllPages(benchmark::State& state) {
    const Report report = listReport();
    int pages = 0;
    for (auto _ : state) {
        const Document doc = layoutReport(report, assets(), options());
        pages = doc.pageCount();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_AllPages)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WritePdf(benchmark::State& state) {
    const Document doc = layoutReport(listReport(), assets(), options());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    for (auto _ : state) {
        if (!writePdf(doc, path)) state.SkipWithError("PDF not written");
    }
    state.counters["pages"] = doc.pageCount();
}
BENCHMARK(BM_WritePdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveAndOpenQrp(benchmark::State& state) {
    const Document doc = layoutReport(listReport(), assets(), options());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.QRP"));
    for (auto _ : state) {
        if (!writeQrpFile(doc, path) || !readQrpFile(path)) state.SkipWithError("QRP failed");
    }
}
BENCHMARK(BM_SaveAndOpenQrp)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
