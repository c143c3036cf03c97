#include "report.h"

#include <QPrinterInfo>
#include <QStringList>
#include <functional>

#include "expression.h"

namespace fx::report {

QPageSize pageSizeOf(Paper paper, const QSizeF& customSize) {
    switch (paper) {
        case Paper::A4:
            return QPageSize(QPageSize::A4);
        case Paper::A3:
            return QPageSize(QPageSize::A3);
        case Paper::A5:
            return QPageSize(QPageSize::A5);
        case Paper::B4:
            return QPageSize(QPageSize::JisB4);
        case Paper::B5:
            return QPageSize(QPageSize::JisB5);
        case Paper::PrinterDefault:
            return printerDefaultPaper();
        case Paper::Custom:
            return QPageSize(customSize, QPageSize::Millimeter);
    }
    return QPageSize(QPageSize::A4);
}

QPageSize printerDefaultPaper() {
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (!printer.isNull()) {
        const QPageSize size = printer.defaultPageSize();
        if (size.isValid()) return size;
    }
    return QPageSize(QPageSize::A4);
}

QSizeF PageSetup::pageSize() const {
    QSizeF s = pageSizeOf(paper, customSize).size(QPageSize::Millimeter);
    const bool wide = s.width() > s.height();
    if ((orientation == Orientation::Landscape) != wide) s.transpose();
    return s;
}

qreal PageSetup::columnWidth() const {
    const int n = columns < 1 ? 1 : columns;
    return (printableWidth() - (n - 1) * columnSpacing) / n;
}

namespace {

Item makeItem(ItemKind kind, const QString& name, const QRectF& rect, const FontDesc& font) {
    Item i;
    i.kind = kind;
    i.name = name;
    i.rect = rect;
    i.font = font;
    return i;
}

}  // namespace

Item Item::label(const QString& name, const QRectF& rect, const QString& text,
                 const FontDesc& font) {
    Item i = makeItem(ItemKind::Label, name, rect, font);
    i.text = text;
    return i;
}

Item Item::dataField(const QString& name, const QRectF& rect, const QString& field,
                     const FontDesc& font) {
    Item i = makeItem(ItemKind::Field, name, rect, font);
    i.field = field;
    return i;
}

Item Item::expr(const QString& name, const QRectF& rect, const QString& expression,
                const FontDesc& font) {
    Item i = makeItem(ItemKind::Expression, name, rect, font);
    i.expression = expression;
    return i;
}

Item Item::systemItem(const QString& name, const QRectF& rect, SystemValue value,
                      const QString& prefix, const FontDesc& font) {
    Item i = makeItem(ItemKind::System, name, rect, font);
    i.system = value;
    i.text = prefix;
    return i;
}

Item Item::richText(const QString& name, const QRectF& rect, const QString& text,
                    const FontDesc& font) {
    Item i = makeItem(ItemKind::RichText, name, rect, font);
    i.text = text;
    i.wordWrap = true;
    return i;
}

Item Item::shapeItem(const QString& name, const QRectF& rect, ShapeKind shape, qreal penWidth) {
    Item i = makeItem(ItemKind::Shape, name, rect, {});
    i.shape = shape;
    i.penWidth = penWidth;
    return i;
}

Item Item::imageItem(const QString& name, const QRectF& rect, const QImage& image) {
    Item i = makeItem(ItemKind::Image, name, rect, {});
    i.image = image;
    return i;
}

Item Item::barcodeItem(const QString& name, const QRectF& rect, Symbology symbology,
                       const QString& field, qreal moduleMm) {
    Item i = makeItem(ItemKind::Barcode, name, rect, {});
    i.symbology = symbology;
    i.field = field;
    i.moduleMm = moduleMm;
    return i;
}

QString bandKindName(BandKind kind) {
    switch (kind) {
        case BandKind::Title:
            return QStringLiteral("title");
        case BandKind::PageHeader:
            return QStringLiteral("pageheader");
        case BandKind::ColumnHeader:
            return QStringLiteral("columnheader");
        case BandKind::GroupHeader:
            return QStringLiteral("groupheader");
        case BandKind::Detail:
            return QStringLiteral("detail");
        case BandKind::GroupFooter:
            return QStringLiteral("groupfooter");
        case BandKind::Summary:
            return QStringLiteral("summary");
        case BandKind::PageFooter:
            return QStringLiteral("pagefooter");
        case BandKind::Child:
            return QStringLiteral("child");
    }
    return {};
}

Band Band::of(BandKind kind, const QString& name, qreal height) {
    Band b;
    b.kind = kind;
    b.name = name;
    b.height = height;
    return b;
}

Item& Band::add(const Item& item) {
    items.push_back(item);
    return items.back();
}

Band& Band::addChild(const QString& childName, qreal childHeight) {
    children.push_back(Band::of(BandKind::Child, childName, childHeight));
    return children.back();
}

Band& Group::addHeader(const QString& bandName, qreal height) {
    header = Band::of(BandKind::GroupHeader, bandName, height);
    return *header;
}

Band& Group::addFooter(const QString& bandName, qreal height) {
    footer = Band::of(BandKind::GroupFooter, bandName, height);
    return *footer;
}

Band& Report::band(BandKind kind, const QString& name, qreal height) {
    std::optional<Band>* slot = nullptr;
    switch (kind) {
        case BandKind::Title:
            slot = &titleBand;
            break;
        case BandKind::PageHeader:
            slot = &pageHeader;
            break;
        case BandKind::ColumnHeader:
            slot = &columnHeader;
            break;
        case BandKind::Summary:
            slot = &summary;
            break;
        case BandKind::PageFooter:
            slot = &pageFooter;
            break;
        case BandKind::Detail:
        case BandKind::GroupHeader:
        case BandKind::GroupFooter:
        case BandKind::Child:
            if (!name.isEmpty()) detail.name = name;
            if (height > 0) detail.height = height;
            return detail;
    }
    if (!*slot) *slot = Band::of(kind, name.isEmpty() ? bandKindName(kind) : name, height);
    return **slot;
}

Group& Report::addGroup(const QString& name, const QString& expression) {
    Group g;
    g.name = name;
    g.expression = expression;
    groups.push_back(g);
    return groups.back();
}

namespace {

// Calls `f` on every band of the report, children included, in print order.
void forEachBand(Report& r, const std::function<void(Band&)>& f) {
    std::function<void(Band&)> walk = [&](Band& b) {
        f(b);
        for (Band& c : b.children) walk(c);
    };
    if (r.pageHeader) walk(*r.pageHeader);
    if (r.titleBand) walk(*r.titleBand);
    if (r.columnHeader) walk(*r.columnHeader);
    for (Group& g : r.groups)
        if (g.header) walk(*g.header);
    walk(r.detail);
    for (Group& g : r.groups)
        if (g.footer) walk(*g.footer);
    if (r.summary) walk(*r.summary);
    if (r.pageFooter) walk(*r.pageFooter);
}

}  // namespace

Band* Report::findBand(const QString& name) {
    Band* found = nullptr;
    forEachBand(*this, [&](Band& b) {
        if (!found && b.name == name) found = &b;
    });
    return found;
}

Item* Report::findItem(const QString& name) {
    Item* found = nullptr;
    forEachBand(*this, [&](Band& b) {
        for (Item& i : b.items)
            if (!found && i.name == name) found = &i;
    });
    return found;
}

const Item* Report::findItem(const QString& name) const {
    return const_cast<Report*>(this)->findItem(name);
}

QStringList Report::check() const {
    QStringList errors;
    Report& self = const_cast<Report&>(*this);
    forEachBand(self, [&](Band& b) {
        for (const Item& i : b.items) {
            if (i.kind != ItemKind::Expression) continue;
            const Expression e(i.expression);
            if (!e.ok()) errors << i.name + QStringLiteral("：") + e.error();
        }
    });
    for (const Group& g : groups) {
        const Expression e(g.expression);
        if (!e.ok()) errors << g.name + QStringLiteral("：") + e.error();
    }
    return errors;
}

}  // namespace fx::report
