#include "listform.h"

#include "depreciation.h"
#include "units.h"

namespace fx::reports {

using report::Band;
using report::BandKind;
using report::FontDesc;
using report::Frame;
using report::HAlign;
using report::Item;
using report::px;
using report::rectPx;

namespace {

const QString kSong = QStringLiteral("宋体");
constexpr qreal kMmPerPx = 25.4 / 96.0;

QString headerName(int slot) {
    // Slots 1..8 are QRLabel1..8, slots 9..13 QRLabel11..15 (9 and 10 are summary captions).
    return QStringLiteral("QRLabel%1").arg(slot <= 8 ? slot : slot + 2);
}

QString cellName(int slot) {
    return QStringLiteral("QRDBText%1").arg(slot);
}

Frame headerRule() {
    Frame f;
    f.sides = Frame::Bottom;
    f.color = Qt::gray;
    f.width = px(2);
    return f;
}

// The columns of a standard format; widths are in pixels.
QList<ListColumn> standardColumns(int format, bool number) {
    const ListColumn first = number ? ListColumn{QStringLiteral("编号"), QStringLiteral("bh"), 64}
                                    : ListColumn{QStringLiteral("序号"), QStringLiteral("ID1"), 48};
    switch (format) {
        case 1:
            return {first,
                    {QStringLiteral("名称"), QStringLiteral("sbmc"), 94},
                    {QStringLiteral("资产类别"), QStringLiteral("zclb"), 94},
                    {QStringLiteral("设备型号"), QStringLiteral("sbxh"), 130},
                    {QStringLiteral("存放位置"), QStringLiteral("wz"), 94},
                    {QStringLiteral("用途"), QStringLiteral("yt"), 94},
                    {QStringLiteral("使用年限"), QStringLiteral("bxq"), 72},
                    number ? ListColumn{QStringLiteral("购买日"), QStringLiteral("gmrq"), 64}
                           : ListColumn{QStringLiteral("购买日期"), QStringLiteral("gmrq"), 80}};
        case 2:
            return {first,
                    {QStringLiteral("购买价格"), QStringLiteral("gmjg"), 74},
                    {QStringLiteral("配置"), QStringLiteral("sbpz"), 290},
                    {QStringLiteral("备注"), QStringLiteral("other"), number ? 274 : 290}};
        case 3:
            return {first,
                    {QStringLiteral("购买价格"), QStringLiteral("gmjg"), 74},
                    {QStringLiteral("累计折旧"), QStringLiteral("e1"), 74},
                    {QStringLiteral("净值"), QStringLiteral("e2"), 74},
                    {QStringLiteral("配置"), QStringLiteral("sbpz"), number ? 414 : 430}};
        default:
            return {};
    }
}

}  // namespace

const QList<ListColumn>& columnChoices() {
    static const QList<ListColumn> choices = {
        {QStringLiteral("序号"), QStringLiteral("ID1"), 48},
        {QStringLiteral("编号"), QStringLiteral("bh"), 64},
        {QStringLiteral("名称"), QStringLiteral("sbmc"), 94},
        {QStringLiteral("资产类别"), QStringLiteral("zclb"), 94},
        {QStringLiteral("型号"), QStringLiteral("sbxh"), 130},
        {QStringLiteral("位置"), QStringLiteral("wz"), 94},
        {QStringLiteral("用途"), QStringLiteral("yt"), 94},
        {QStringLiteral("保管人"), QStringLiteral("bgr"), 94},
        {QStringLiteral("使用年限"), QStringLiteral("bxq"), 72},
        {QStringLiteral("购买日期"), QStringLiteral("gmrq"), 70},
        {QStringLiteral("购买价格"), QStringLiteral("gmjg"), 74},
        {QStringLiteral("配置"), QStringLiteral("sbpz"), 290},
        {QStringLiteral("备注"), QStringLiteral("other"), 290},
        {QStringLiteral("累计折旧"), QStringLiteral("e1"), 74},
        {QStringLiteral("净值"), QStringLiteral("e2"), 74},
        {QStringLiteral("来源"), QStringLiteral("ly"), 64},
    };
    return choices;
}

const ListColumn* columnChoice(const QString& caption) {
    for (const ListColumn& c : columnChoices())
        if (c.caption == caption) return &c;
    return nullptr;
}

QString standardFormatTitle(int format) {
    switch (format) {
        case 2:
            return QStringLiteral("固定资产报表（配置）");
        case 3:
            return QStringLiteral("固定资产报表（价值分析）");
        case 4:
            return QStringLiteral("固定资产报表（价值汇总）");
        default:
            return QStringLiteral("固定资产报表（基本）");
    }
}

report::Report listReport(const ListReportOptions& o) {
    const bool custom = o.source == ListReportOptions::Source::Custom;
    report::Report r;
    r.title = o.title;
    r.page.paper = custom ? o.paper : report::Paper::A4;
    r.page.orientation = custom ? o.orientation : report::Orientation::Portrait;
    r.page.margins = {10, 10, 10, 10};
    r.options.printIfEmpty = true;
    r.options.firstPageHeader = true;
    r.options.lastPageFooter = true;
    const qreal bandWidth = r.page.pageSize().width() - 20;  // mm

    Band& title = r.band(BandKind::Title, QStringLiteral("TitleBand1"), px(48));
    Item t = Item::systemItem(QStringLiteral("QRSysData1"), rectPx(0, 10, 700, 28),
                              report::SystemValue::ReportTitle, {}, FontDesc{kSong, 18, true});
    t.alignToBand = true;
    t.align = HAlign::Center;
    title.add(t);

    // The slots: captions, widths and fields from the format or the chosen columns; the
    // thirteen slots take the first thirteen columns.
    QList<ListColumn> columns =
        custom ? o.columns : standardColumns(o.standardFormat, o.numberAsIdentity);
    if (columns.size() > kColumnSlots) columns.resize(kColumnSlots);
    const bool valueOnly = !custom && o.standardFormat == 4;

    Band& header =
        r.band(BandKind::ColumnHeader, QStringLiteral("ColumnHeaderBand1"), valueOnly ? 0 : px(53));
    r.detail.name = QStringLiteral("DetailBand1");
    r.detail.height = valueOnly ? 0 : px(24);
    const FontDesc headerFont{kSong, 12, true, true};
    const FontDesc cellFont{kSong, 10};
    qreal left = 4;  // px
    for (int slot = 1; slot <= kColumnSlots; ++slot) {
        const ListColumn c = slot <= columns.size() ? columns[slot - 1] : ListColumn{};
        Item h =
            Item::label(headerName(slot), rectPx(left, 28, c.width, 17), c.caption, headerFont);
        h.frame = headerRule();
        header.add(h);
        Item cell =
            Item::dataField(cellName(slot), rectPx(left, 8, c.width, 17), c.field, cellFont);
        cell.autoSize = true;
        r.detail.add(cell);
        left += c.width + 3;
    }
    // The filler carries the header rule on to the right margin.
    const int chosen = custom ? int(o.columns.size()) : 0;
    const qreal fillerLeft = left - 3 * (kColumnSlots - qMin(chosen, kColumnSlots));
    const qreal reportWidthPx = r.page.pageSize().width() / kMmPerPx;
    const qreal fillerEnd = reportWidthPx - 76;
    Item filler =
        Item::label(QStringLiteral("QRLabel16"), rectPx(fillerLeft, 28, 0, 17), {}, headerFont);
    filler.frame = headerRule();
    if (fillerLeft < fillerEnd) {
        filler.rect = rectPx(fillerLeft, 28, fillerEnd - fillerLeft, 17);
        filler.text = QStringLiteral(" ");
    }
    header.add(filler);

    // The depreciation and net value cells, parked at the far right until a slot takes them.
    const qreal parked = bandWidth / kMmPerPx - 80;
    Item depreciation =
        Item::expr(QStringLiteral("QRExpr3"), rectPx(parked, 8, 74, 17), {}, cellFont);
    Item net = Item::expr(QStringLiteral("QRExpr5"), rectPx(parked, 8, 74, 17), {}, cellFont);
    depreciation.autoSize = net.autoSize = true;
    bool depreciationSlot = false, netSlot = false;
    for (int slot = 1; slot <= columns.size(); ++slot) {
        const QRectF cell = r.detail.items[size_t(slot - 1)].rect;
        if (columns[slot - 1].field == QStringLiteral("e1")) {
            depreciation.rect.moveLeft(cell.left());
            depreciationSlot = true;
        } else if (columns[slot - 1].field == QStringLiteral("e2")) {
            net.rect.moveLeft(cell.left());
            netSlot = true;
        }
    }

    Band& summary = r.band(BandKind::Summary, QStringLiteral("SummaryBand1"), px(76));
    const FontDesc summaryFont{kSong, 12, true};
    const SummaryLine count = o.listSummary ? (*o.listSummary)[0]
                                            : SummaryLine{QStringLiteral("共有固定资产："),
                                                          QStringLiteral("COUNT()+'件'")};
    const SummaryLine price =
        o.listSummary ? (*o.listSummary)[1]
                      : SummaryLine{QStringLiteral("总购买价格："),
                                    QStringLiteral("FORMATNUMERIC('0.00',SUM(gmjg))+'元(RMB)'")};
    summary.add(Item::label(QStringLiteral("QRLabel9"), rectPx(16, 16, 120, 20), count.caption,
                            summaryFont));
    summary.add(Item::expr(QStringLiteral("QRExpr1"), rectPx(136, 16, 200, 20), count.expression,
                           summaryFont));
    summary.add(Item::label(QStringLiteral("QRLabel10"), rectPx(344, 16, 104, 20), price.caption,
                            summaryFont));
    summary.add(Item::expr(QStringLiteral("QRExpr2"), rectPx(448, 16, 300, 20), price.expression,
                           summaryFont));
    Item totalDepreciation =
        Item::expr(QStringLiteral("QRExpr4"), rectPx(16, 48, 320, 20), {}, summaryFont);
    Item totalNet =
        Item::expr(QStringLiteral("QRExpr6"), rectPx(344, 48, 360, 20), {}, summaryFont);

    // The value expressions: the value summary sets them all; otherwise the cells follow their
    // slots and the total lines always print, unless the user hides depreciation. Lists other
    // than assets carry no values.
    if (valueOnly) {
        depreciation.expression = kDepreciationCell;
        net.expression = kNetValueCell;
    }
    if (o.showDepreciation && !o.listSummary) {
        if (depreciationSlot) depreciation.expression = kDepreciationCell;
        if (netSlot) net.expression = kNetValueCell;
        totalDepreciation.expression = kTotalDepreciationLine;
        totalNet.expression = kTotalNetValueLine;
    } else {
        depreciation.expression.clear();
        net.expression.clear();
    }
    r.detail.add(depreciation);
    r.detail.add(net);
    summary.add(totalDepreciation);
    summary.add(totalNet);

    Band& footer = r.band(BandKind::PageFooter, QStringLiteral("PageFooterBand1"), px(42));
    footer.frame.sides = Frame::Top;
    footer.frame.color = Qt::gray;
    footer.frame.width = px(2);
    footer.add(Item::systemItem(QStringLiteral("QRSysData2"), QRectF(10, px(12), 70, px(17)),
                                report::SystemValue::Date, QStringLiteral("打印日期："), cellFont));
    footer.add(
        Item::systemItem(QStringLiteral("QRSysData3"), QRectF(bandWidth - 20, px(12), 30, px(17)),
                         report::SystemValue::PageNumber, QStringLiteral("页号："), cellFont));
    for (Band* b : {&title, &r.detail, &summary, &footer}) b->width = bandWidth;
    return r;
}

}  // namespace fx::reports
