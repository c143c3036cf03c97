#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include "barcode.h"
#include "codescan.h"
#include "dump.h"
#include "layout.h"
#include "qrpfile.h"
#include "render.h"
#include "testreports.h"

using namespace fx::report;
using namespace fx::report::test;

namespace {

// 23 letters, digits and dashes: a version-2 QR code at level M, 25 modules a side, so that
// modules of 0.8 mm make a code of exactly 20 mm.
const QString kTwentyMillimetres = QStringLiteral("ASSET-NUMBER-0000000121");

// A page of 100 x 60 mm holding one barcode item at (10, 10) in a box of `box` mm.
Report codePage(Symbology symbology, const QString& data, qreal moduleMm, QSizeF box) {
    Report r;
    r.page.paper = Paper::Custom;
    r.page.customSize = QSizeF(100, 60);
    r.page.orientation = Orientation::Landscape;
    r.page.margins = {10, 10, 0, 0};
    Band& band = r.band(BandKind::Title, QStringLiteral("TitleBand1"), 50);
    Item code = Item::barcodeItem(QStringLiteral("QRCode1"), QRectF(QPointF(0, 0), box), symbology,
                                  {}, moduleMm);
    code.text = data;
    band.add(code);
    return r;
}

const Primitive* firstCode(const Document& doc) {
    for (const Primitive& p : doc.pages.at(0).primitives)
        if (p.kind == Primitive::Kind::Barcode) return &p;
    return nullptr;
}

// The dark part of a code on the page: the union of its bars.
QRectF symbolOf(const Primitive& p) {
    QRectF s;
    for (const QRectF& bar : p.bars) s |= bar;
    return s.translated(p.rect.topLeft());
}

MemoryDataSource noRows() {
    return MemoryDataSource({QStringLiteral("bh")});
}

}  // namespace

TEST(BarcodeModules, RectanglesCoverExactlyTheDarkModules) {
    struct Case {
        const char* name;
        std::vector<std::vector<bool>> grid;
        size_t rectangles;
    };
    const std::vector<Case> cases = {
        {"empty", {{false, false}, {false, false}}, 0},
        {"one run", {{true, true, true, false}}, 1},
        {"two runs", {{true, false, true}}, 2},
        {"a block", {{true, true}, {true, true}, {true, true}}, 1},
        {"a ring", {{true, true, true}, {true, false, true}, {true, true, true}}, 4},
        {"steps", {{true, true, false}, {false, true, true}}, 2},
        {"a run that narrows", {{true, true, true}, {true, true, false}}, 2},
    };
    for (const Case& c : cases) {
        const std::vector<QRect> rects = mergeModules(c.grid);
        EXPECT_EQ(rects.size(), c.rectangles) << c.name;
        for (size_t y = 0; y < c.grid.size(); ++y)
            for (size_t x = 0; x < c.grid[y].size(); ++x) {
                const int covering = int(std::count_if(rects.begin(), rects.end(), [&](auto& r) {
                    return r.contains(int(x), int(y));
                }));
                EXPECT_EQ(covering, c.grid[y][x] ? 1 : 0) << c.name << " at " << x << "," << y;
            }
    }
}

TEST(BarcodeEncoding, QrCodeAndCode128OfAnAssetNumber) {
    const BarcodeSymbol qr = encodeBarcode(Symbology::QrCode, QStringLiteral("JSJ-121"));
    ASSERT_TRUE(qr.ok()) << qr.error.toStdString();
    EXPECT_EQ(qr.columns, 21);
    EXPECT_EQ(qr.rows, 21);
    // Merging keeps the list short: far fewer rectangles than the code's dark modules.
    int dark = 0;
    for (const QRect& r : qr.bars) dark += r.width() * r.height();
    EXPECT_LT(qr.bars.size() * 2, size_t(dark));
    const BarcodeSymbol linear = encodeBarcode(Symbology::Code128, QStringLiteral("JSJ-121"));
    ASSERT_TRUE(linear.ok()) << linear.error.toStdString();
    EXPECT_EQ(linear.rows, 1);
    EXPECT_GT(linear.columns, 60);
    EXPECT_EQ(encodeBarcode(Symbology::QrCode, kTwentyMillimetres).columns, 25);
}

TEST(BarcodeEncoding, NothingOrWhatTheSymbologyCannotHoldIsRefused) {
    EXPECT_FALSE(encodeBarcode(Symbology::QrCode, QString()).ok());
    const BarcodeSymbol chinese = encodeBarcode(Symbology::Code128, QStringLiteral("财务科"));
    EXPECT_FALSE(chinese.ok());
    EXPECT_TRUE(chinese.bars.empty());
    EXPECT_TRUE(encodeBarcode(Symbology::QrCode, QStringLiteral("位置:财务科")).ok());
}

TEST(BarcodeItem, ATwentyMillimetreCodeIsTwentyMillimetresInTheDisplayList) {
    const Document doc = layoutReport(
        codePage(Symbology::QrCode, kTwentyMillimetres, 0.8, QSizeF(40, 40)), noRows());
    const Primitive* code = firstCode(doc);
    ASSERT_NE(code, nullptr);
    const QRectF symbol = symbolOf(*code);
    EXPECT_NEAR(symbol.width(), 20.0, 1e-9);
    EXPECT_NEAR(symbol.height(), 20.0, 1e-9);
    // The quiet zone of four modules all round, inside the item's box at (10, 10).
    EXPECT_NEAR(symbol.left(), 10 + 3.2, 1e-9);
    EXPECT_NEAR(symbol.top(), 10 + 3.2, 1e-9);
    EXPECT_NEAR(code->rect.width(), 26.4, 1e-9);
    EXPECT_EQ(code->text, kTwentyMillimetres);
}

TEST(BarcodeItem, ATwentyMillimetreCodeIsTwentyMillimetresOnThePdfPage) {
    const Document doc = layoutReport(
        codePage(Symbology::QrCode, kTwentyMillimetres, 0.8, QSizeF(40, 40)), noRows());
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("code.pdf"));
    ASSERT_TRUE(writePdf(doc, pdf));
    // The page is 100 x 60 mm (283.46 x 170.08 points), to the whole point a PDF page is sized
    // in.
    const QSizeF points = pdfPageSize(pdf, 1);
    EXPECT_NEAR(points.width(), 100 / 25.4 * 72, 0.5);
    EXPECT_NEAR(points.height(), 60 / 25.4 * 72, 0.5);
    // At 254 dots per inch a millimetre is 10 dots: the code is 200 dots at (132, 132).
    const QImage page = renderPdfPage(pdf, 1, 254);
    ASSERT_FALSE(page.isNull());
    const QRect dark = darkBounds(page);
    EXPECT_NEAR(dark.width(), 200, 1);
    EXPECT_NEAR(dark.height(), 200, 1);
    EXPECT_NEAR(dark.left(), 132, 1);
    EXPECT_NEAR(dark.top(), 132, 1);
    EXPECT_EQ(decodeImage(page), QStringList{QStringLiteral("QR-Code:") + kTwentyMillimetres});
}

TEST(BarcodeItem, Code128BarsRunTheBoxHeightAndScan) {
    const Document doc = layoutReport(
        codePage(Symbology::Code128, QStringLiteral("JSJ-121"), 0.33, QSizeF(60, 12)), noRows());
    const Primitive* code = firstCode(doc);
    ASSERT_NE(code, nullptr);
    const BarcodeSymbol symbol = encodeBarcode(Symbology::Code128, QStringLiteral("JSJ-121"));
    EXPECT_NEAR(code->rect.width(), (symbol.columns + 20) * 0.33, 1e-9);
    EXPECT_NEAR(symbolOf(*code).height(), 12, 1e-9);
    EXPECT_EQ(decodeImage(paintToImage(doc.pages[0], 8)),
              QStringList{QStringLiteral("CODE-128:JSJ-121")});
}

TEST(BarcodeItem, ACodeTooLargeForItsBoxShrinksToFit) {
    // 25 modules and the quiet zone at 1 mm would be 33 mm; the box is 20 mm.
    const Document doc = layoutReport(
        codePage(Symbology::QrCode, kTwentyMillimetres, 1.0, QSizeF(30, 20)), noRows());
    const Primitive* code = firstCode(doc);
    ASSERT_NE(code, nullptr);
    EXPECT_NEAR(code->rect.height(), 20, 1e-9);
    EXPECT_NEAR(code->rect.width(), 20, 1e-9);
    EXPECT_EQ(decodeImage(paintToImage(doc.pages[0], 12)),
              QStringList{QStringLiteral("QR-Code:") + kTwentyMillimetres});
}

TEST(BarcodeItem, TakesItsDataFromAFieldOrAnExpressionAndSaysWhatItCannotEncode) {
    MemoryDataSource rows({QStringLiteral("bh"), QStringLiteral("wz")});
    rows.addRow({QStringLiteral("JSJ-121"), QStringLiteral("财务科")});
    Report r = codePage(Symbology::QrCode, {}, 0.5, QSizeF(30, 30));
    r.titleBand.reset();
    r.detail.height = 45;
    r.detail.add(Item::barcodeItem(QStringLiteral("QRCodeField"), QRectF(0, 0, 30, 30),
                                   Symbology::QrCode, QStringLiteral("bh"), 0.5));
    Item place = Item::barcodeItem(QStringLiteral("QRCodeExpr"), QRectF(35, 0, 30, 30),
                                   Symbology::QrCode, {}, 0.5);
    place.expression = QStringLiteral("'位置:'+wz");
    r.detail.add(place);
    r.detail.add(Item::barcodeItem(QStringLiteral("QRCodeBad"), QRectF(0, 32, 60, 10),
                                   Symbology::Code128, QStringLiteral("wz"), 0.33));
    const Document doc = layoutReport(r, rows);
    QStringList data;
    for (const Primitive& p : doc.pages[0].primitives)
        if (p.kind == Primitive::Kind::Barcode) data << p.text;
    EXPECT_EQ(data, (QStringList{QStringLiteral("JSJ-121"), QStringLiteral("位置:财务科")}));
    EXPECT_TRUE(dumpDocument(doc).contains(QStringLiteral("无法编码为条码：财务科")));
    EXPECT_EQ(
        decodeImage(paintToImage(doc.pages[0], 10)),
        (QStringList{QStringLiteral("QR-Code:JSJ-121"), QStringLiteral("QR-Code:位置:财务科")}));
}

TEST(BarcodeItem, TheDumpShowsTheCodeItsSizeAndItsData) {
    const Document doc = layoutReport(
        codePage(Symbology::QrCode, kTwentyMillimetres, 0.8, QSizeF(40, 40)), noRows());
    const QString dump = dumpDocument(doc);
    EXPECT_TRUE(
        dump.contains(QStringLiteral("barcode TitleBand1/QRCode1 (10.00, 10.00) 26.40 x "
                                     "26.40 qrcode symbol (13.20, 13.20) 20.00 x 20.00 bars ")))
        << dump.toStdString();
    EXPECT_TRUE(dump.contains(QStringLiteral(": ") + kTwentyMillimetres));
}

TEST(SavedReport, KeepsBarcodesExactly) {
    Report r = codePage(Symbology::QrCode, kTwentyMillimetres, 0.8, QSizeF(40, 40));
    Item linear = Item::barcodeItem(QStringLiteral("QRCode2"), QRectF(45, 0, 50, 10),
                                    Symbology::Code128, {}, 0.3);
    linear.text = QStringLiteral("JSJ-121");
    r.titleBand->add(linear);
    const Document doc = layoutReport(r, noRows());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("codes.QRP"));
    QString error;
    ASSERT_TRUE(writeQrpFile(doc, path, &error)) << error.toStdString();
    const std::optional<Document> back = readQrpFile(path, &error);
    ASSERT_TRUE(back.has_value()) << error.toStdString();
    EXPECT_EQ(*back, doc);
    ASSERT_NE(firstCode(*back), nullptr);
    EXPECT_NEAR(symbolOf(*firstCode(*back)).width(), 20.0, 1e-9);
    EXPECT_EQ(decodeImage(paintToImage(back->pages[0], 10)),
              (QStringList{QStringLiteral("CODE-128:JSJ-121"),
                           QStringLiteral("QR-Code:") + kTwentyMillimetres}));
    // A file cut inside the bars is damaged, not a shorter code.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    bytes.chop(20);
    QBuffer cut(&bytes);
    cut.open(QIODevice::ReadOnly);
    EXPECT_FALSE(readQrp(cut, &error).has_value());
}

TEST(SavedReport, AFileOfTheFirstVersionStillOpens) {
    // Written by the program before saved reports held barcodes.
    const std::optional<Document> doc =
        readQrpFile(QStringLiteral(FX_FIXTURES_DIR "/version1.QRP"));
    ASSERT_TRUE(doc.has_value());
    EXPECT_EQ(*doc, versionOneDocument());
}
