#include "slipform.h"

#include "units.h"

namespace fx::report {

namespace {

// The form is designed in pixels at 96 per inch on an A4 page with 10 mm margins.
constexpr qreal kBandWidthPx = 718;
constexpr qreal kTitleBandHeightPx = 531;
// What the batch layout takes off the title band and moves the closing lines up by.
constexpr qreal kBatchShiftPx = 200;
// Line heights of the form's fonts: 24 pt and 18 pt at 96 pixels per inch.
constexpr qreal kHeadingHeightPx = 32;
constexpr qreal kLineHeightPx = 24;

const FontDesc kHeading{QStringLiteral("黑体"), 24, true};
const FontDesc kBody{QStringLiteral("楷体_GB2312"), 18};
const FontDesc kSignature{QStringLiteral("宋体"), 18, true};
// The batch list pads its columns by display width, a Chinese character counting two. That
// lines the columns up only in a font whose Chinese characters are exactly two Latin
// characters wide; in a proportional face such as Arial the columns drift apart line by line.
const FontDesc kList{QStringLiteral("WenQuanYi Zen Hei Mono"), 10};

// A centred line across the band.
Item centred(Item item) {
    item.alignToBand = true;
    item.align = HAlign::Center;
    return item;
}

// A one-line label whose box follows its text, as the form's labels do.
Item line(const QString& name, qreal x, qreal y, const QString& text, const FontDesc& font) {
    Item item = Item::label(name, rectPx(x, y, kBandWidthPx - x, kLineHeightPx), text, font);
    item.autoSize = true;
    return item;
}

}  // namespace

Report slipReport(const SlipTexts& texts) {
    Report r;
    r.title = texts.title;
    r.page.paper = Paper::A4;
    r.page.orientation = Orientation::Portrait;
    r.page.margins = Margins{10, 10, 10, 10};
    r.options.printIfEmpty = true;

    Band& band = r.band(BandKind::Title, QStringLiteral("TitleBand1"), px(kTitleBandHeightPx));
    band.width = px(kBandWidthPx);
    band.add(centred(Item::label(QStringLiteral("QRLabel7"),
                                 rectPx(0, 8, kBandWidthPx, kHeadingHeightPx), texts.organisation,
                                 kHeading)));
    band.add(centred(Item::systemItem(QStringLiteral("QRSysData1"),
                                      rectPx(0, 44, kBandWidthPx, kHeadingHeightPx),
                                      SystemValue::ReportTitle, {}, kHeading)));
    band.add(Item::richText(QStringLiteral("QRRichText1"), rectPx(0, 120, 713, 105),
                            texts.paragraph, kBody));
    band.add(line(QStringLiteral("QRLabel2"), 48, 224, texts.serial, kBody));
    band.add(line(QStringLiteral("QRLabel3"), 48, 250, texts.number, kBody));
    band.add(line(QStringLiteral("QRLabel4"), 48, 276, texts.name, kBody));
    band.add(line(QStringLiteral("QRLabel5"), 48, 302, texts.model, kBody));
    band.add(Item::richText(QStringLiteral("QRRichText2"), rectPx(48, 328, 633, 97),
                            texts.configuration, kBody));
    band.add(line(QStringLiteral("QRLabel9"), 16, 432, texts.upperLeft, kSignature));
    band.add(line(QStringLiteral("QRLabel8"), 16, 472, texts.lowerLeft, kSignature));
    band.add(line(QStringLiteral("QRLabel6"), 376, 432, texts.signature, kSignature));
    band.add(line(QStringLiteral("QRLabel1"), 376, 472, texts.date, kSignature));

    Band& child = band.addChild(QStringLiteral("ChildBand1"), px(kLineHeightPx));
    child.width = px(kBandWidthPx);
    Item list = Item::richText(QStringLiteral("QRRichText3"), rectPx(0, 0, kBandWidthPx, 17),
                               texts.list, kList);
    list.autoStretch = true;
    child.add(list);

    r.detail = Band::of(BandKind::Detail, QStringLiteral("DetailBand1"), 0);

    if (texts.layout == SlipLayout::Batch) {
        Item* configuration = r.findItem(QStringLiteral("QRRichText2"));
        configuration->rect.translate(0, px(40));
        configuration->rect.setHeight(0);
        for (const QString& name :
             {QStringLiteral("QRLabel8"), QStringLiteral("QRLabel6"), QStringLiteral("QRLabel1")})
            r.findItem(name)->rect.translate(0, -px(kBatchShiftPx));
        r.titleBand->height -= px(kBatchShiftPx);
    }
    return r;
}

}  // namespace fx::report
