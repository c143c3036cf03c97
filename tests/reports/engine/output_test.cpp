#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "dump.h"
#include "layout.h"
#include "qrpfile.h"
#include "render.h"
#include "testreports.h"

using namespace fx::report;
using namespace fx::report::test;

namespace {

// A document with every kind of primitive: the grouped list plus a page of shapes and an image.
Document richDocument() {
    const MemoryDataSource data = sampleAssets(30);
    Report r = groupedListReport();
    Band& summary = *r.summary;
    Item box =
        Item::shapeItem(QStringLiteral("QRShape1"), QRectF(100, 2, 20, 8), ShapeKind::Rectangle);
    box.fill = QColor(192, 192, 192);
    summary.add(box);
    summary.add(
        Item::shapeItem(QStringLiteral("QRShape2"), QRectF(100, 2, 20, 8), ShapeKind::Ellipse));
    summary.add(Item::shapeItem(QStringLiteral("QRShape3"), QRectF(0, 0, 120, 1),
                                ShapeKind::HorizontalLine));
    QImage logo(16, 8, QImage::Format_RGB32);
    logo.fill(QColor(200, 30, 30));
    logo.setPixelColor(3, 4, QColor(10, 20, 30));
    summary.add(Item::imageItem(QStringLiteral("QRImage1"), QRectF(122, 2, 6, 3), logo));
    Item underlined =
        Item::label(QStringLiteral("QRLabelU"), QRectF(0, 12, 40, 5), QStringLiteral("下划线"));
    underlined.font.underline = true;
    underlined.font.italic = true;
    underlined.color = QColor(0, 0, 255);
    summary.add(underlined);
    return layoutReport(r, data, fixedOptions());
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(SavedReport, RoundTripGivesTheSameDocument) {
    const Document doc = richDocument();
    ASSERT_GE(doc.pageCount(), 2);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("报表.QRP"));
    QString error;
    ASSERT_TRUE(writeQrpFile(doc, path, &error)) << error.toStdString();
    const std::optional<Document> back = readQrpFile(path, &error);
    ASSERT_TRUE(back.has_value()) << error.toStdString();
    EXPECT_EQ(*back, doc);
    EXPECT_EQ(dumpDocument(*back), dumpDocument(doc));
    // Saving the reopened report gives the same bytes.
    const QString again = dir.filePath(QStringLiteral("again.QRP"));
    ASSERT_TRUE(writeQrpFile(*back, again, &error));
    EXPECT_EQ(fileBytes(again), fileBytes(path));
}

TEST(SavedReport, StartsWithSignatureAndVersion) {
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    ASSERT_TRUE(writeQrp(richDocument(), buffer));
    const QByteArray bytes = buffer.data();
    EXPECT_EQ(bytes.left(8), QByteArray("FXQRP\r\n\x1a", 8));
    EXPECT_EQ(bytes.mid(8, 2), QByteArray("\x00", 1) + char(kQrpVersion));
}

TEST(SavedReport, RefusesOtherFilesNewerVersionsAndDamage) {
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    ASSERT_TRUE(writeQrp(richDocument(), buffer));
    const QByteArray good = buffer.data();
    auto read = [](QByteArray bytes, QString* error) {
        QBuffer b(&bytes);
        b.open(QIODevice::ReadOnly);
        return readQrp(b, error);
    };
    QString error;
    EXPECT_FALSE(read(QByteArray("%PDF-1.4 not a report"), &error).has_value());
    EXPECT_EQ(error, QStringLiteral("该文件不是本系统保存的报表文件。"));
    QByteArray newer = good;
    newer[9] = char(kQrpVersion + 1);
    EXPECT_FALSE(read(newer, &error).has_value());
    EXPECT_EQ(error, QStringLiteral("该报表文件由较新版本的程序保存，无法打开。"));
    for (int cut : {9, 20, int(good.size()) / 2, int(good.size()) - 1}) {
        error.clear();
        EXPECT_FALSE(read(good.left(cut), &error).has_value()) << cut;
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_TRUE(read(good, &error).has_value());
    EXPECT_FALSE(readQrpFile(QStringLiteral("/nonexistent/报表.QRP"), &error).has_value());
    EXPECT_TRUE(error.contains(QStringLiteral("无法打开文件")));
}

TEST(SavedReport, RefusesPageSizesAndPicturesThatCannotBeShown) {
    auto roundTrip = [](const Document& doc, QString* error) {
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        EXPECT_TRUE(writeQrp(doc, buffer));
        buffer.seek(0);
        return readQrp(buffer, error);
    };
    QString error;
    for (const QSizeF size :
         {QSizeF(0, 0), QSizeF(-210, 297), QSizeF(qQNaN(), 297), QSizeF(210, 1e9)}) {
        Document doc = richDocument();
        doc.pages[0].size = size;
        error.clear();
        EXPECT_FALSE(roundTrip(doc, &error).has_value()) << size.width() << "x" << size.height();
        EXPECT_FALSE(error.isEmpty());
    }
    // A picture whose packed data claims far more memory than the picture needs.
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    ASSERT_TRUE(writeQrp(richDocument(), buffer));
    QByteArray bytes = buffer.data();
    const QByteArray packedLogo("\x00\x00\x02\x00\x78", 5);  // 16 x 8 x 4 bytes, then zlib
    const qsizetype at = bytes.indexOf(packedLogo);
    ASSERT_GE(at, 0);
    bytes.replace(at, 4, QByteArray("\x7f\xff\xff\xff", 4));
    QBuffer damaged(&bytes);
    damaged.open(QIODevice::ReadOnly);
    EXPECT_FALSE(readQrp(damaged, &error).has_value());
}

TEST(PdfOutput, WritesEmbeddedFontsAndEveryPage) {
    const Document doc = richDocument();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("报表.pdf"));
    QString error;
    ASSERT_TRUE(writePdf(doc, path, &error)) << error.toStdString();
    const QByteArray pdf = fileBytes(path);
    ASSERT_GT(pdf.size(), 1000);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    // Text stays text: embedded TrueType subsets with a Unicode map, not glyph outlines.
    EXPECT_TRUE(pdf.contains("/FontFile2"));
    EXPECT_TRUE(pdf.contains("/ToUnicode"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page/") +
                  pdf.count("/Type /Page "),
              doc.pageCount());
    // No pages, or a folder that does not exist: refused.
    EXPECT_FALSE(writePdf(Document(), path, &error));
    EXPECT_FALSE(writePdf(doc, dir.filePath(QStringLiteral("no/such/folder.pdf")), &error));
}

TEST(PdfOutput, TextCanBeExtractedAgain) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) GTEST_SKIP() << "pdftotext is not installed";
    const Document doc = richDocument();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.pdf"));
    ASSERT_TRUE(writePdf(doc, path));
    QProcess tool;
    tool.start(pdftotext,
               {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    ASSERT_TRUE(tool.waitForFinished(30000));
    const QString text = QString::fromUtf8(tool.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("青石岭单位固定资产报表（基本）")));
    EXPECT_TRUE(text.contains(QStringLiteral("办公设备小计：10件")));
    EXPECT_TRUE(text.contains(QStringLiteral("总计折旧：22181.80元(RMB)")));
    EXPECT_TRUE(text.contains(QStringLiteral("页号：2/2")));
}

TEST(Painting, DrawsTextAndLinesWhereTheDisplayListSays) {
    // A page with one framed label, painted at 4 pixels per mm onto an image.
    Page page;
    page.size = QSizeF(50, 30);
    Primitive frame;
    frame.kind = Primitive::Kind::Line;
    frame.line = QLineF(5, 20, 45, 20);
    frame.penWidth = 0.5;
    page.primitives.push_back(frame);
    Primitive text;
    text.kind = Primitive::Kind::Text;
    text.rect = QRectF(5, 5, 40, 8);
    text.text = QStringLiteral("资产");
    text.font.pointSize = 20;
    page.primitives.push_back(text);
    QImage image(200, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paintPage(painter, page, 4.0);
    }
    // The rule at y = 20 mm is 80 pixels down, from x = 20 to 180 pixels.
    EXPECT_LT(qGray(image.pixel(100, 80)), 100);
    EXPECT_EQ(qGray(image.pixel(10, 80)), 255);
    EXPECT_EQ(qGray(image.pixel(190, 80)), 255);
    // Dark pixels of the text fall inside its box (20..180 x 20..52 pixels) and nowhere else.
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) > 128 || (y >= 78 && y <= 82)) continue;
            if (QRect(20, 20, 160, 32).contains(x, y))
                ++inside;
            else
                ++outside;
        }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);
}
