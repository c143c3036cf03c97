#include "summaryform.h"

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
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kLightGrey(0xDC, 0xDC, 0xDC);

// An item whose right edge ends at `right` design pixels.
Item rightAligned(Item item, qreal right, qreal top, qreal width, qreal height) {
    item.rect = rectPx(right - width, top, width, height);
    item.align = HAlign::Right;
    return item;
}

Frame frameOf(int sides) {
    Frame f;
    f.sides = sides;
    return f;
}

QString departmentQuery(const QString& where) {
    const QString columns = QStringLiteral(
        "(YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq) AS ynum,sbjl.ybf,sbjl.zclb,"
        "sbjl.sbmc,sbjl.sbxh,sbjl.gmrq,sbjl.gmjg,sbjl.wz,syq.yue,sortproc.cz from sbjl,syq,"
        "sortproc");
    return QStringLiteral("select sbjl.wz AS bmmc,") + columns + QLatin1Char(' ') + where +
           QStringLiteral(" and worp union all select person.bm AS bmmc,") + columns +
           QStringLiteral(",person ") + where +
           QStringLiteral(" and person.pname=sbjl.wz and not worp");
}

}  // namespace

QString assetField(SummaryOptions::AssetLevel level) {
    switch (level) {
        case SummaryOptions::AssetLevel::Category:
            return QStringLiteral("zclb");
        case SummaryOptions::AssetLevel::Name:
            return QStringLiteral("sbmc");
        case SummaryOptions::AssetLevel::Model:
            return QStringLiteral("sbxh");
    }
    return QStringLiteral("zclb");
}

QString storageField(SummaryOptions::StorageLevel level) {
    return level == SummaryOptions::StorageLevel::Department ? QStringLiteral("bmmc")
                                                             : QStringLiteral("wz");
}

std::optional<QString> summaryQuery(const QString& baseQuery, const SummaryOptions& options) {
    const qsizetype at = baseQuery.indexOf(QLatin1String("where"), 0, Qt::CaseInsensitive);
    if (at < 0) return std::nullopt;
    const QString a = assetField(options.asset);
    const QString s = storageField(options.storage);
    const QString query = options.storage == SummaryOptions::StorageLevel::Department
                              ? departmentQuery(baseQuery.mid(at))
                              : baseQuery;
    const QString order =
        options.storageOuter ? s + QLatin1Char(',') + a : a + QLatin1Char(',') + s;
    return query + QStringLiteral(" order by ") + order;
}

report::Report summaryReport(const SummaryOptions& options, const QString& title) {
    const QString a = assetField(options.asset);
    const QString s = storageField(options.storage);
    const QString outerField = options.storageOuter ? s : a;
    const QString innerField = options.storageOuter ? a : s;
    const FontDesc plain{kSong, 10};
    const FontDesc bold{kSong, 10, true};
    const FontDesc bigBold{kSong, 12, true};
    // The value cells and totals; without the value analysis they print nothing.
    auto value = [&](const QString& expression) { return options.values ? expression : QString(); };

    report::Report r;
    r.title = title;
    r.page.margins = {10, 10, 10, 10};
    r.options.printIfEmpty = false;

    Band& titleBand = r.band(BandKind::Title, QStringLiteral("TitleBand1"), px(54));
    Item t = Item::systemItem(QStringLiteral("QRSysData1"), rectPx(0, 14, 718, 28),
                              report::SystemValue::ReportTitle, {}, FontDesc{kSong, 18, true});
    t.alignToBand = true;
    t.align = HAlign::Center;
    titleBand.add(t);

    report::Group& outer = r.addGroup(QStringLiteral("QRGroup1"), outerField);
    Band& outerHeader = outer.addHeader(QStringLiteral("QRGroup1"), px(21));
    outerHeader.frame = frameOf(Frame::Top | Frame::Left | Frame::Right);
    outerHeader.background = options.details ? kSilver : kLightGrey;
    outerHeader.add(
        Item::dataField(QStringLiteral("QRDBText1"), rectPx(20, 3, 400, 16), outerField, bold));
    outerHeader.add(Item::label(QStringLiteral("QRLabel1"), rectPx(572, 3, 50, 16),
                                value(QStringLiteral("原值")), plain));
    outerHeader.add(Item::label(QStringLiteral("QRLabel2"), rectPx(652, 3, 50, 16),
                                value(QStringLiteral("净值")), plain));

    Band& outerFooter = outer.addFooter(QStringLiteral("QRBand1"), px(24));
    outerFooter.frame = frameOf(Frame::Bottom | Frame::Left | Frame::Right);
    outerFooter.background = outerHeader.background;
    outerFooter.add(rightAligned(Item::expr(QStringLiteral("QRExprSUN"), {},
                                            QStringLiteral("'总共：'+sum(1)+'件'"), bigBold),
                                 410, 3, 300, 18));
    outerFooter.add(
        rightAligned(Item::expr(QStringLiteral("QRExpr8"), {}, value(kOriginalValueTotal), bold),
                     624, 4, 110, 16));
    outerFooter.add(rightAligned(
        Item::expr(QStringLiteral("QRExpr5"), {}, value(kNetValueTotal), bold), 712, 4, 86, 16));
    outerFooter.addChild(QStringLiteral("ChildBand1"), px(10));

    report::Group& inner = r.addGroup(QStringLiteral("QRGroup2"), innerField);
    inner.addHeader(QStringLiteral("QRGroup2"), px(3)).frame = frameOf(Frame::Left | Frame::Right);
    Band& innerFooter = inner.addFooter(QStringLiteral("QRBand2"), px(20));
    innerFooter.frame = frameOf(Frame::Left | Frame::Right);
    innerFooter.background = options.details ? kLightGrey : QColor(Qt::white);
    innerFooter.add(rightAligned(
        Item::dataField(QStringLiteral("QRDBText2"), {}, innerField, plain), 289, 2, 260, 16));
    innerFooter.add(rightAligned(
        Item::expr(QStringLiteral("QRExpr6"), {}, QStringLiteral("sum(1)+'件'"), plain), 405, 2,
        110, 16));
    innerFooter.add(
        rightAligned(Item::expr(QStringLiteral("QRExpr3"), {}, value(kOriginalValueTotal), plain),
                     622, 2, 110, 16));
    innerFooter.add(rightAligned(
        Item::expr(QStringLiteral("QRExpr4"), {}, value(kNetValueTotal), plain), 710, 2, 84, 16));

    r.detail.name = QStringLiteral("DetailBand1");
    r.detail.height = options.details ? px(20) : 0;
    r.detail.frame = frameOf(Frame::Left | Frame::Right);
    r.detail.add(Item::dataField(QStringLiteral("QRDBText3"), rectPx(24, 2, 145, 16),
                                 QStringLiteral("wz"), plain));
    r.detail.add(Item::dataField(QStringLiteral("QRDBText4"), rectPx(176, 2, 153, 16),
                                 QStringLiteral("sbmc"), plain));
    r.detail.add(Item::dataField(QStringLiteral("QRDBText5"), rectPx(336, 2, 269, 16),
                                 QStringLiteral("sbxh"), plain));
    r.detail.add(
        rightAligned(Item::expr(QStringLiteral("QRExpr1"), {}, value(kOriginalValueCell), plain),
                     622, 2, 90, 16));
    r.detail.add(rightAligned(
        Item::expr(QStringLiteral("QRExpr2"), {}, value(kNetValueCell), plain), 710, 2, 84, 16));

    Band& footer = r.band(BandKind::PageFooter, QStringLiteral("PageFooterBand1"), px(42));
    footer.frame.sides = Frame::Top;
    footer.frame.color = Qt::gray;
    footer.frame.width = px(2);
    footer.add(Item::systemItem(QStringLiteral("QRSysData2"), rectPx(20, 12, 250, 17),
                                report::SystemValue::Date, QStringLiteral("打印日期："), plain));
    Item page = Item::systemItem(QStringLiteral("QRSysData3"), rectPx(560, 12, 150, 17),
                                 report::SystemValue::PageNumber, QStringLiteral("页号："), plain);
    page.align = HAlign::Right;
    footer.add(page);
    return r;
}

}  // namespace fx::reports
