#include "labelform.h"

#include <initializer_list>

#include "units.h"

namespace fx::reports {

using report::Band;
using report::FontDesc;
using report::Frame;
using report::Item;
using report::rectPx;

namespace {

struct Format {
    int across;
    qreal rightMargin, topMargin;  // mm
    qreal height, width;           // mm
};

Format formatOf(int format) {
    switch (format) {
        case 2:
            return {4, 5, 5, 40, 50};
        case 3:
            return {2, 20, 20, 54, 85};
        default:
            return {5, 5, 6, 25, 40};  // formats 1 and 4
    }
}

const QString kSong = QStringLiteral("宋体");

// A text too long for its place on a card prints smaller, down to this size, and is then cut.
constexpr qreal kSmallestPoints = 6;
// Room kept between the text and the cutting line.
constexpr qreal kInsetPx = 1;

// Nothing may run over the cutting line into the next card: every item is kept inside the
// card, and its text shrinks and is cut to its place.
void keepInside(Band& card) {
    const QRectF inside(0, 0, card.width - report::px(kInsetPx),
                        card.height - report::px(kInsetPx));
    for (Item& i : card.items) {
        i.rect = i.rect.intersected(inside);
        i.shrinkTo = qMin(i.font.pointSize, kSmallestPoints);
    }
}

// Captions and values of one line are one text high; the boxed ones wrap in their box.
Item caption(const QString& name, qreal left, qreal top, const QString& text, qreal points) {
    return Item::label(name, rectPx(left, top, 72, 17), text, FontDesc{kSong, points});
}

Item value(const QString& name, qreal left, qreal top, qreal width, const QString& field,
           qreal points) {
    return Item::dataField(name, rectPx(left, top, width, 17), field, FontDesc{kSong, points});
}

Item boxed(const QString& name, qreal left, qreal top, qreal width, qreal height,
           const QString& field, qreal points) {
    // LabelRows puts in the spaces where the text may wrap.
    Item i =
        Item::dataField(name, rectPx(left, top, width, height), field, FontDesc{kSong, points});
    i.wordWrap = true;
    return i;
}

// The first line: the record number, or the asset number. Printing the card's asset with the
// asset number, the number box's text stands where the value would.
void addIdentity(Band& card, const LabelOptions& o, qreal captionLeft, qreal valueLeft, qreal top) {
    const bool number = identityIsNumber(o);
    card.add(caption(QStringLiteral("QRLabelId"), captionLeft, top,
                     number ? QStringLiteral("编号：") : QStringLiteral("序号："), 10));
    if (number && o.cardNumber)
        card.add(Item::label(QStringLiteral("QRLabelNumber"), rectPx(valueLeft, top, 110, 17),
                             *o.cardNumber, FontDesc{kSong, 10}));
    else
        card.add(value(QStringLiteral("QRDBTextId"), valueLeft, top, 110,
                       number ? QStringLiteral("bh") : QStringLiteral("ID1"), 10));
}

// The last line: the purchase date, or "<organisation>所有".
void addLastLine(Band& card, const LabelOptions& o, qreal captionLeft, qreal valueLeft, qreal top) {
    if (o.ownership) {
        card.add(Item::label(QStringLiteral("QRLabelLast"), rectPx(captionLeft, top, 300, 17),
                             o.organisation + QStringLiteral("所有"), FontDesc{kSong, 10}));
        return;
    }
    card.add(
        caption(QStringLiteral("QRLabelLast"), captionLeft, top, QStringLiteral("购买日期："), 10));
    Item date =
        value(QStringLiteral("QRDBTextDate"), valueLeft, top, 100, QStringLiteral("gmrq"), 10);
    date.format = QStringLiteral("yyyy-MM-dd");
    card.add(date);
}

// A caption and its value on one line: "QRLabel<key>" at (left, top) and "QRDBText<key>" of
// the given width at (valueLeft, top).
struct FieldLine {
    const char* key;
    const char* caption;
    qreal left, valueLeft, top, width;
    const char* field;
};

void addLines(Band& card, std::initializer_list<FieldLine> lines, qreal points) {
    for (const FieldLine& l : lines) {
        const QString key = QLatin1String(l.key);
        card.add(caption(QStringLiteral("QRLabel") + key, l.left, l.top,
                         QString::fromUtf8(l.caption), points));
        card.add(value(QStringLiteral("QRDBText") + key, l.valueLeft, l.top, l.width,
                       QLatin1String(l.field), points));
    }
}

void formatOne(Band& card, const LabelOptions& o) {
    addIdentity(card, o, 10, 50, 10);
    addLines(card,
             {{"Wz", "位置：", 10, 50, 29, 100, "wz"}, {"Xh", "型号：", 10, 50, 49, 100, "sbxh"}},
             10);
    addLastLine(card, o, 10, 80, 68);
}

void formatTwo(Band& card, const LabelOptions& o) {
    addIdentity(card, o, 16, 56, 16);
    addLines(card,
             {{"Wz", "位置：", 16, 56, 36, 125, "wz"},
              {"Xh", "型号：", 16, 56, 56, 125, "sbxh"},
              {"Mc", "名称：", 16, 56, 76, 125, "sbmc"}},
             10);
    card.add(caption(QStringLiteral("QRLabelLb"), 16, 96, QStringLiteral("类别："), 10));
    card.add(boxed(QStringLiteral("QRExprLb"), 56, 96, 40, 17, QStringLiteral("zclb"), 10));
    addLastLine(card, o, 16, 88, 116);
}

void formatThree(Band& card, const LabelOptions& o) {
    addIdentity(card, o, 16, 56, 16);
    addLines(card,
             {{"Mc", "名称：", 168, 208, 16, 100, "sbmc"},
              {"Wz", "位置：", 16, 56, 34, 110, "wz"},
              {"Bgr", "保管人：", 168, 224, 34, 90, "bgr"},
              {"Xh", "型号：", 16, 56, 53, 250, "sbxh"}},
             10);
    card.add(caption(QStringLiteral("QRLabelPz"), 16, 72, QStringLiteral("配置："), 10));
    card.add(boxed(QStringLiteral("QRExprPz"), 56, 72, 260, 49, QStringLiteral("sbpz"), 10));
    card.add(caption(QStringLiteral("QRLabelBz"), 16, 120, QStringLiteral("备注："), 10));
    Item remark = Item::richText(QStringLiteral("QRRichBz"), rectPx(56, 120, 260, 49), {},
                                 FontDesc{kSong, 10});
    remark.field = QStringLiteral("other");
    card.add(remark);
    addLastLine(card, o, 16, 88, 176);
}

void formatFour(Band& card, const LabelOptions& o) {
    addLines(card, {{"Id", "序号：", 10, 50, 4, 100, "ID1"}}, 9);
    card.add(caption(QStringLiteral("QRLabelBh"), 10, 18, QStringLiteral("编号："), 9));
    if (o.cardNumber)
        card.add(Item::label(QStringLiteral("QRLabelNumber"), rectPx(50, 17, 100, 17),
                             *o.cardNumber, FontDesc{kSong, 9}));
    else
        card.add(value(QStringLiteral("QRDBTextBh"), 50, 17, 100, QStringLiteral("bh"), 9));
    addLines(card,
             {{"Wz", "位置：", 10, 50, 34, 100, "wz"},
              {"Mc", "名称：", 10, 50, 49, 100, "sbmc"},
              {"Xh", "型号：", 10, 50, 64, 100, "sbxh"}},
             9);
    card.add(boxed(QStringLiteral("QRExprPz"), 7, 79, 150, 30, QStringLiteral("sbpz"), 5));
}

int gbkBytes(QChar c) {
    return c.unicode() < 0x80 ? 1 : 2;
}

}  // namespace

bool identityIsNumber(const LabelOptions& options) {
    return options.numberAsIdentity && options.format != 4;
}

report::Report labelReport(const LabelOptions& options) {
    const int format = options.format < 1 || options.format > 4 ? 1 : options.format;
    const Format f = formatOf(format);
    report::Report r;
    r.title = QStringLiteral("固定资产标签");
    r.page.margins = {10, f.topMargin, f.rightMargin, 5};
    r.page.columns = f.across;
    r.page.columnSpacing = 0;
    r.options.printIfEmpty = false;
    Band& card = r.detail;
    card.name = QStringLiteral("DetailBand1");
    card.height = f.height;
    card.width = f.width;
    card.frame.sides = Frame::All;
    switch (format) {
        case 2:
            formatTwo(card, options);
            break;
        case 3:
            formatThree(card, options);
            break;
        case 4:
            formatFour(card, options);
            break;
        default:
            formatOne(card, options);
            break;
    }
    keepInside(card);
    return r;
}

LabelRows::LabelRows(const report::DataSource& rows)
    : rows_(rows),
      category_(rows.fieldIndex(QStringLiteral("zclb"))),
      configuration_(rows.fieldIndex(QStringLiteral("sbpz"))) {}

QVariant LabelRows::value(int row, int field) const {
    const QVariant v = rows_.value(row, field);
    if (field >= 0 && (field == category_ || field == configuration_))
        return wrapAtGbkBytes(v.toString(), QLatin1Char('\n'));
    return v;
}

QString wrapAtGbkBytes(const QString& text, QChar separator) {
    QString out = text;
    for (const int at : {35, 71}) {
        // Find the character holding byte `at` (1-based) of the text as it now stands.
        int bytes = 0;
        qsizetype i = 0;
        while (i < out.size() && bytes + gbkBytes(out.at(i)) < at) bytes += gbkBytes(out.at(i++));
        if (i >= out.size()) break;  // the text ends before that byte
        const bool startsCharacter = gbkBytes(out.at(i)) == 2 && bytes + 1 == at;
        if (startsCharacter) {
            out.insert(i, separator);
        } else {
            if (i + 1 >= out.size()) break;  // the byte is the text's last: nothing follows
            out.insert(i + 1, separator);
        }
    }
    return out;
}

}  // namespace fx::reports
