#pragma once

#include <QColor>
#include <QImage>
#include <QPageSize>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>
#include <vector>

#include "barcode.h"
#include "fontdesc.h"

// How a report is made and run (see layout.h, render.h, qrpfile.h, dump.h):
//
//   Report r;
//   r.title = org + QStringLiteral("固定资产报表（基本）");
//   r.page.orientation = Orientation::Landscape;
//   Band& title = r.band(BandKind::Title, QStringLiteral("TitleBand1"), px(40));
//   FontDesc bold{QStringLiteral("宋体"), 18, true};
//   Item t = Item::systemItem(QStringLiteral("QRSysData1"), rectPx(0, 8, 100, 24),
//                             SystemValue::ReportTitle, {}, bold);
//   t.alignToBand = true;
//   t.align = HAlign::Center;
//   title.add(t);
//   r.detail.height = px(24);
//   r.detail.add(Item::dataField(QStringLiteral("QRDBText1"), rectPx(4, 8, 48, 17),
//                                QStringLiteral("ID1")));
//   Document pages = layoutReport(r, rows, RunOptions{fx::Clock::now()});
//
// The pages then go to the preview window (fx_report_preview: previewReport, ReportPreview),
// a printer (printDocument, printDirect), a PDF (writePdf) or a .QRP file (writeQrpFile).

namespace fx::report {

// ---- Page setup --------------------------------------------------------------------------

enum class Paper { A4, A3, A5, B4, B5, PrinterDefault, Custom };
enum class Orientation { Portrait, Landscape };

struct Margins {
    qreal left = 10, top = 10, right = 10, bottom = 10;  // mm
};

struct PageSetup {
    Paper paper = Paper::A4;
    QSizeF customSize{210, 297};  // mm, portrait; used with Paper::Custom
    Orientation orientation = Orientation::Portrait;
    Margins margins;
    int columns = 1;          // detail columns across the page (labels use several)
    qreal columnSpacing = 0;  // mm between detail columns

    // The paper's size in mm as it lies (landscape swaps width and height). B4 and B5 are the
    // JIS sizes printers offer under those names. PrinterDefault asks the default printer and
    // falls back to A4 when there is none.
    QSizeF pageSize() const;
    // Width between the left and right margins.
    qreal printableWidth() const { return pageSize().width() - margins.left - margins.right; }
    // Width of one detail column.
    qreal columnWidth() const;
};

// The QPageSize of a paper choice (portrait).
QPageSize pageSizeOf(Paper paper, const QSizeF& customSize = QSizeF(210, 297));
// The default printer's paper, or A4 when no printer is installed.
QPageSize printerDefaultPaper();

// ---- Items -------------------------------------------------------------------------------

enum class HAlign { Left, Center, Right };

// Frame lines drawn along the sides of an item or a band.
struct Frame {
    enum Side { None = 0, Top = 1, Bottom = 2, Left = 4, Right = 8, All = 15 };
    int sides = None;
    QColor color = Qt::black;
    qreal width = 0.2646;  // mm (one design pixel)

    friend bool operator==(const Frame&, const Frame&) = default;
};

enum class ItemKind {
    Label,       // fixed text
    Field,       // a field of the data source, by name; an unknown name prints nothing
    Expression,  // an expression (see Expression)
    System,      // report title, page number, page count, date, time
    RichText,    // paragraphs of text (fixed, or from a field), always wrapped
    Shape,       // lines, rectangles, ellipses
    Image,
    Barcode,  // a QR code or linear barcode of the item's text, drawn as rectangles
};

enum class SystemValue { ReportTitle, PageNumber, PageCount, PageOfCount, Date, Time, DateTime };
enum class ShapeKind { HorizontalLine, VerticalLine, Rectangle, Ellipse };

// Which records SUM and COUNT of an expression item cover. Auto: the item's group when it
// sits in a group header or footer (or a child of one), else the whole report.
enum class AggregateScope { Auto, Report, Group };

// A printable item of a band. Geometry is in mm from the band's top left corner.
struct Item {
    ItemKind kind = ItemKind::Label;
    QString name;  // the form's name for it ("QRLabel1"); the text dump shows it
    QRectF rect;
    FontDesc font;
    QColor color = Qt::black;  // text colour, or the pen of a shape
    HAlign align = HAlign::Left;
    bool alignToBand = false;  // place across the whole band width by `align`
    Frame frame;
    bool autoSize = false;     // width follows the text (the aligned edge stays put)
    bool wordWrap = false;     // wrap within the width
    bool autoStretch = false;  // a wrapped item grows downwards and its band with it
    // > 0: text too big for the item's box is printed smaller, down to this many points; what
    // still does not fit is cut, its last line ending in "…", so nothing runs out of the box.
    qreal shrinkTo = 0;
    bool visible = true;

    QString text;        // label text; prefix of a system item; rich text paragraphs ("\n")
    QString field;       // field name (Field; RichText taking its text from a field)
    QString expression;  // Expression
    QString format;      // number format ("0.00") for numbers; date format for dates
    AggregateScope scope = AggregateScope::Auto;
    SystemValue system = SystemValue::PageNumber;
    ShapeKind shape = ShapeKind::Rectangle;
    qreal penWidth = 0.2646;  // mm
    QColor fill;              // shape fill; invalid: none
    QImage image;

    // Barcode: the code holds what a label, field or expression item would print (the
    // expression when there is one, else the field, else the text). The symbol stands at the top
    // of the box, placed across it by `align`; a QR code is square, a linear code's bars run the
    // box's height. Modules are `moduleMm` wide, with a quiet zone of `quietZone` modules (-1:
    // the symbology's standard) on each side (QR: all round). A symbol that would not fit the
    // box at that size is drawn with smaller modules so that it does.
    Symbology symbology = Symbology::QrCode;
    qreal moduleMm = 0.5;
    int quietZone = -1;

    static Item label(const QString& name, const QRectF& rect, const QString& text,
                      const FontDesc& font = {});
    static Item dataField(const QString& name, const QRectF& rect, const QString& field,
                          const FontDesc& font = {});
    static Item expr(const QString& name, const QRectF& rect, const QString& expression,
                     const FontDesc& font = {});
    static Item systemItem(const QString& name, const QRectF& rect, SystemValue value,
                           const QString& prefix = {}, const FontDesc& font = {});
    static Item richText(const QString& name, const QRectF& rect, const QString& text,
                         const FontDesc& font = {});
    static Item shapeItem(const QString& name, const QRectF& rect, ShapeKind shape,
                          qreal penWidth = 0.2646);
    static Item imageItem(const QString& name, const QRectF& rect, const QImage& image);
    // A barcode of a field's value (see Symbology, moduleMm).
    static Item barcodeItem(const QString& name, const QRectF& rect, Symbology symbology,
                            const QString& field, qreal moduleMm);
};

// ---- Bands -------------------------------------------------------------------------------

enum class BandKind {
    Title,
    PageHeader,
    ColumnHeader,
    GroupHeader,
    Detail,
    GroupFooter,
    Summary,
    PageFooter,
    Child,
};

QString bandKindName(BandKind kind);

struct Band {
    BandKind kind = BandKind::Detail;
    QString name;
    qreal height = 0;  // mm; 0 suppresses the band and its items (its children still print)
    qreal width = 0;   // mm; 0: the printable width (a detail column's width when across)
    Frame frame;
    QColor background;  // invalid: none
    std::vector<Item> items;
    std::vector<Band> children;  // child bands, printed right after this one, in order

    // A band of a kind, name and height.
    static Band of(BandKind kind, const QString& name, qreal height);

    Item& add(const Item& item);
    Band& addChild(const QString& name, qreal height);
};

// A group breaks when the value of its expression (often just a field name) changes from one
// record to the next; a break of an outer group breaks every inner group too.
struct Group {
    QString name;
    QString expression;
    std::optional<Band> header;
    std::optional<Band> footer;

    Band& addHeader(const QString& name, qreal height);
    Band& addFooter(const QString& name, qreal height);
};

struct ReportOptions {
    bool printIfEmpty = true;     // lay out title, headers, summary and footer with no rows
    bool firstPageHeader = true;  // page header on the first page
    bool lastPageFooter = true;   // page footer on the last page
};

// A report form: page setup, bands and groups. Report code builds one, adjusts it (positions,
// captions, expressions, heights) and hands it to the layout with a data source.
struct Report {
    QString title;  // printed by SystemValue::ReportTitle; also the PDF's title
    PageSetup page;
    ReportOptions options;
    std::optional<Band> titleBand;
    std::optional<Band> pageHeader;
    std::optional<Band> columnHeader;
    Band detail = Band::of(BandKind::Detail, QStringLiteral("detail"), 0);
    std::vector<Group> groups;  // outermost first
    std::optional<Band> summary;
    std::optional<Band> pageFooter;

    // The band of a kind (Title, PageHeader, ColumnHeader, Detail, Summary, PageFooter),
    // created with the given height when absent.
    Band& band(BandKind kind, const QString& name = {}, qreal height = 0);
    Group& addGroup(const QString& name, const QString& expression);

    // Finds a band (at any depth) or an item by name; null when there is none.
    Band* findBand(const QString& name);
    Item* findItem(const QString& name);
    const Item* findItem(const QString& name) const;

    // Every expression that does not parse, as messages; empty when all are fine.
    QStringList check() const;
};

}  // namespace fx::report
