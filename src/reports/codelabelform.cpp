#include "codelabelform.h"

namespace fx::reports {

using report::Band;
using report::FontDesc;
using report::Frame;
using report::HAlign;
using report::Item;
using report::Symbology;

namespace {

const QString kSong = QStringLiteral("宋体");
const QString kHei = QStringLiteral("黑体");

// A label's size and how a sheet of A4 holds them (mm).
struct Sheet {
    qreal width, height;
    int across;
    qreal left, top, right, bottom;
};

Sheet sheetOf(CodeLabel kind) {
    if (kind == CodeLabel::Barcode) return {60, 40, 3, 15, 8, 15, 5};
    return {50, 30, 4, 5, 6, 5, 5};  // QR-code and place labels: 4 across, 9 down
}

Item text(const QString& name, const QRectF& rect, const QString& value, const FontDesc& font) {
    Item i = Item::label(name, rect, value, font);
    i.wordWrap = true;
    return i;
}

Item field(const QString& name, const QRectF& rect, const QString& fieldName,
           const FontDesc& font) {
    Item i = Item::dataField(name, rect, fieldName, font);
    i.wordWrap = true;
    return i;
}

// The asset number: the card's number box when printing the card's asset, else the row's bh.
Item number(const QString& name, const QRectF& rect, const CodeLabelOptions& o,
            const FontDesc& font) {
    if (o.cardNumber) return text(name, rect, *o.cardNumber, font);
    return field(name, rect, QStringLiteral("bh"), font);
}

// The code of the asset number, as typed in the card's number box, so that a scan into that
// box finds the asset.
Item numberCode(const QString& name, const QRectF& rect, Symbology symbology, qreal moduleMm,
                const CodeLabelOptions& o) {
    Item code = Item::barcodeItem(name, rect, symbology, QStringLiteral("bh"), moduleMm);
    if (o.cardNumber) {
        code.field.clear();
        code.text = *o.cardNumber;
    }
    return code;
}

// 50 x 30 mm: the code on the left, the number large beside it, the name and the owner under it.
void qrCodeLabel(Band& card, const CodeLabelOptions& o) {
    card.add(numberCode(QStringLiteral("QRCode"), QRectF(1, 3, 24, 24), Symbology::QrCode, 0.8, o));
    card.add(
        number(QStringLiteral("QRNumber"), QRectF(26, 3, 23, 10), o, FontDesc{kHei, 12, true}));
    card.add(field(QStringLiteral("QRName"), QRectF(26, 14, 23, 8), QStringLiteral("sbmc"),
                   FontDesc{kSong, 9}));
    card.add(text(QStringLiteral("QROrganisation"), QRectF(26, 23, 23, 6), o.organisation,
                  FontDesc{kSong, 7}));
}

// 60 x 40 mm: the barcode across the top with the number under it, then name, model and date.
void barcodeLabel(Band& card, const CodeLabelOptions& o) {
    Item code =
        numberCode(QStringLiteral("BarCode"), QRectF(3, 2, 54, 13), Symbology::Code128, 0.33, o);
    code.align = HAlign::Center;
    card.add(code);
    Item under = number(QStringLiteral("BarNumber"), QRectF(0, 15.5, 60, 4.5), o,
                        FontDesc{QStringLiteral("Arial"), 9});
    under.alignToBand = true;
    under.align = HAlign::Center;
    under.wordWrap = false;
    card.add(under);
    const FontDesc f{kSong, 9};
    card.add(Item::label(QStringLiteral("BarLabelName"), QRectF(3, 21, 12, 5),
                         QStringLiteral("名称："), f));
    card.add(Item::dataField(QStringLiteral("BarName"), QRectF(15, 21, 43, 5),
                             QStringLiteral("sbmc"), f));
    card.add(Item::label(QStringLiteral("BarLabelModel"), QRectF(3, 26.5, 12, 5),
                         QStringLiteral("型号："), f));
    card.add(Item::dataField(QStringLiteral("BarModel"), QRectF(15, 26.5, 43, 5),
                             QStringLiteral("sbxh"), f));
    card.add(Item::label(QStringLiteral("BarLabelDate"), QRectF(3, 32, 18, 5),
                         QStringLiteral("购买日期："), f));
    Item date = Item::dataField(QStringLiteral("BarDate"), QRectF(21, 32, 37, 5),
                                QStringLiteral("gmrq"), f);
    date.format = QStringLiteral("yyyy-MM-dd");
    card.add(date);
}

// 50 x 30 mm: the place's code on the left, its name large beside it.
void placeLabel(Band& card, const CodeLabelOptions& o) {
    Item code = Item::barcodeItem(QStringLiteral("PlaceCode"), QRectF(1, 3, 24, 24),
                                  Symbology::QrCode, {}, 0.8);
    code.expression = QLatin1Char('\'') + kPlaceCodePrefix + QStringLiteral("'+wz");
    card.add(code);
    card.add(text(QStringLiteral("PlaceCaption"), QRectF(26, 3, 23, 5), QStringLiteral("盘点位置"),
                  FontDesc{kSong, 8}));
    card.add(field(QStringLiteral("PlaceName"), QRectF(26, 8, 23, 14), QStringLiteral("wz"),
                   FontDesc{kHei, 12, true}));
    card.add(text(QStringLiteral("PlaceOrganisation"), QRectF(26, 23, 23, 6), o.organisation,
                  FontDesc{kSong, 7}));
}

}  // namespace

report::Report codeLabelReport(const CodeLabelOptions& options) {
    const Sheet s = sheetOf(options.kind);
    report::Report r;
    r.title = options.kind == CodeLabel::Place ? QStringLiteral("位置标签")
                                               : QStringLiteral("固定资产标签");
    r.options.printIfEmpty = false;
    if (options.labelPrinter) {
        // The page is the label: a label printer feeds one at a time, no cutting line needed.
        r.page.paper = report::Paper::Custom;
        r.page.customSize = QSizeF(s.width, s.height);
        r.page.orientation = report::Orientation::Landscape;  // the labels are wider than high
        r.page.margins = {0, 0, 0, 0};
        r.page.columns = 1;
    } else {
        r.page.margins = {s.left, s.top, s.right, s.bottom};
        r.page.columns = s.across;
    }
    r.page.columnSpacing = 0;
    Band& card = r.detail;
    card.name = QStringLiteral("DetailBand1");
    card.height = s.height;
    card.width = s.width;
    if (!options.labelPrinter) card.frame.sides = Frame::All;
    switch (options.kind) {
        case CodeLabel::QrCode:
            qrCodeLabel(card, options);
            break;
        case CodeLabel::Barcode:
            barcodeLabel(card, options);
            break;
        case CodeLabel::Place:
            placeLabel(card, options);
            break;
    }
    return r;
}

report::MemoryDataSource placeRows(const QStringList& places) {
    report::MemoryDataSource rows({QStringLiteral("wz")});
    for (const QString& place : places) rows.addRow({place});
    return rows;
}

}  // namespace fx::reports
