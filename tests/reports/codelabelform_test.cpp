#include <gtest/gtest.h>

#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QRadioButton>
#include <QTemporaryDir>

#include "appstate.h"
#include "codelabelform.h"
#include "codescan.h"
#include "connection.h"
#include "displaylist.h"
#include "layout.h"
#include "qrpfile.h"
#include "render.h"
#include "tbbdydlg.h"
#include "testinstallation.h"

namespace fx::reports {
namespace {

using report::test::decodeImage;
using report::test::pdfPageSize;
using report::test::renderPdfPage;

constexpr qreal kPointsPerMm = 72 / 25.4;

report::MemoryDataSource assets(int n) {
    report::MemoryDataSource rows({QStringLiteral("ID1"), QStringLiteral("bh"),
                                   QStringLiteral("sbmc"), QStringLiteral("sbxh"),
                                   QStringLiteral("gmrq")});
    for (int i = 1; i <= n; ++i)
        rows.addRow({i, QStringLiteral("JSJ-%1").arg(120 + i), QStringLiteral("笔记本电脑"),
                     QStringLiteral("ThinkPad T480"), QDate(2024, 3, 5)});
    return rows;
}

report::Document labels(const CodeLabelOptions& o, const report::DataSource& rows) {
    return report::layoutReport(codeLabelReport(o), rows,
                                report::RunOptions{QDateTime(QDate(2024, 5, 20), QTime(9, 0))});
}

// What a scanner reads from each page of the labels saved as PDF, rendered at 300 dpi.
std::vector<QStringList> scanPdf(const report::Document& doc, QTemporaryDir& dir) {
    const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
    EXPECT_TRUE(report::writePdf(doc, pdf));
    std::vector<QStringList> pages;
    for (int p = 1; p <= doc.pageCount(); ++p)
        pages.push_back(decodeImage(renderPdfPage(pdf, p, 300)));
    return pages;
}

QStringList expectedCodes(const QString& kind, int first, int last) {
    QStringList codes;
    for (int i = first; i <= last; ++i) codes << kind + QStringLiteral(":JSJ-%1").arg(120 + i);
    codes.sort();
    return codes;
}

QStringList textsOf(const report::Document& doc, const QString& item) {
    QStringList texts;
    for (const report::Page& page : doc.pages)
        for (const report::Primitive& p : page.primitives)
            if (p.kind == report::Primitive::Kind::Text && p.item == item) texts << p.text;
    return texts;
}

std::vector<QRectF> cards(const report::Page& page) {
    std::vector<QRectF> rects;
    for (const report::BandPlacement& b : page.bands)
        if (b.band == QStringLiteral("DetailBand1")) rects.push_back(b.rect);
    return rects;
}

TEST(CodeLabels, FormatFiveOnA4HoldsTheAssetNumbersAsTyped) {
    CodeLabelOptions o;
    o.organisation = QStringLiteral("示范单位");
    const report::Document doc = labels(o, assets(10));
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(doc.pages[0].size, QSizeF(210, 297));
    const std::vector<QRectF> placed = cards(doc.pages[0]);
    ASSERT_EQ(placed.size(), 10u);
    EXPECT_EQ(placed[0], QRectF(5, 6, 50, 30));
    EXPECT_EQ(placed[3], QRectF(155, 6, 50, 30));  // four across
    EXPECT_EQ(placed[4], QRectF(5, 36, 50, 30));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRNumber")).first(), QStringLiteral("JSJ-121"));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRName")).first(), QStringLiteral("笔记本电脑"));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QROrganisation")).first(), QStringLiteral("示范单位"));
    QTemporaryDir dir;
    EXPECT_EQ(scanPdf(doc, dir).at(0), expectedCodes(QStringLiteral("QR-Code"), 1, 10));
}

TEST(CodeLabels, FormatFiveSheetsBreakAfterThirtySixLabels) {
    const report::Document doc = labels(CodeLabelOptions{}, assets(40));
    ASSERT_EQ(doc.pageCount(), 2);
    EXPECT_EQ(cards(doc.pages[0]).size(), 36u);
    EXPECT_EQ(cards(doc.pages[1]).size(), 4u);
}

TEST(CodeLabels, FormatSixCarriesCode128WithTheNumberUnderIt) {
    CodeLabelOptions o;
    o.kind = CodeLabel::Barcode;
    const report::Document doc = labels(o, assets(6));
    ASSERT_EQ(doc.pageCount(), 1);
    const std::vector<QRectF> placed = cards(doc.pages[0]);
    ASSERT_EQ(placed.size(), 6u);
    EXPECT_EQ(placed[0], QRectF(15, 8, 60, 40));
    EXPECT_EQ(placed[3], QRectF(15, 48, 60, 40));  // three across
    EXPECT_EQ(textsOf(doc, QStringLiteral("BarNumber")).first(), QStringLiteral("JSJ-121"));
    EXPECT_EQ(textsOf(doc, QStringLiteral("BarModel")).first(), QStringLiteral("ThinkPad T480"));
    EXPECT_EQ(textsOf(doc, QStringLiteral("BarDate")).first(), QStringLiteral("2024-03-05"));
    QTemporaryDir dir;
    EXPECT_EQ(scanPdf(doc, dir).at(0), expectedCodes(QStringLiteral("CODE-128"), 1, 6));
}

TEST(CodeLabels, OnALabelPrinterEachLabelIsAPageOfItsSize) {
    struct Case {
        CodeLabel kind;
        QSizeF size;
        const char* scanned;
    };
    for (const Case& c : {Case{CodeLabel::QrCode, QSizeF(50, 30), "QR-Code"},
                          Case{CodeLabel::Barcode, QSizeF(60, 40), "CODE-128"}}) {
        CodeLabelOptions o;
        o.kind = c.kind;
        o.labelPrinter = true;
        const report::Document doc = labels(o, assets(3));
        ASSERT_EQ(doc.pageCount(), 3);
        QTemporaryDir dir;
        const std::vector<QStringList> scans = scanPdf(doc, dir);
        for (int p = 0; p < 3; ++p) {
            EXPECT_EQ(doc.pages[size_t(p)].size, c.size);
            EXPECT_EQ(cards(doc.pages[size_t(p)]), std::vector<QRectF>{QRectF(QPointF(), c.size)});
            EXPECT_EQ(scans.at(size_t(p)),
                      expectedCodes(QString::fromLatin1(c.scanned), p + 1, p + 1));
            // No cutting line on a label printer's labels.
            for (const report::Primitive& prim : doc.pages[size_t(p)].primitives)
                EXPECT_NE(prim.kind, report::Primitive::Kind::Line);
        }
        // The PDF's pages are the label's size, to the whole point a PDF page is sized in.
        const QSizeF points = pdfPageSize(dir.filePath(QStringLiteral("labels.pdf")), 2);
        EXPECT_NEAR(points.width(), c.size.width() * kPointsPerMm, 0.5);
        EXPECT_NEAR(points.height(), c.size.height() * kPointsPerMm, 0.5);
    }
}

TEST(CodeLabels, APlaceLabelNamesThePlaceBehindItsPrefix) {
    CodeLabelOptions o;
    o.kind = CodeLabel::Place;
    const report::Document doc =
        labels(o, placeRows({QStringLiteral("财务科"), QStringLiteral("二号楼101室")}));
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(textsOf(doc, QStringLiteral("PlaceName")).join(QString()),
              QStringLiteral("财务科二号楼101室"));
    QTemporaryDir dir;
    EXPECT_EQ(scanPdf(doc, dir).at(0), (QStringList{QStringLiteral("QR-Code:位置:二号楼101室"),
                                                    QStringLiteral("QR-Code:位置:财务科")}));
}

TEST(CodeLabels, TheCardsAssetTakesTheNumberFromTheNumberBox) {
    // The card's record has no composed number.
    report::MemoryDataSource card({QStringLiteral("ID1"), QStringLiteral("sbmc")});
    card.addRow({7, QStringLiteral("打印机")});
    for (const CodeLabel kind : {CodeLabel::QrCode, CodeLabel::Barcode}) {
        CodeLabelOptions o;
        o.kind = kind;
        o.cardNumber = QStringLiteral("BGJ-3");
        const report::Document doc = labels(o, card);
        QStringList codes;
        for (const report::Primitive& p : doc.pages.at(0).primitives)
            if (p.kind == report::Primitive::Kind::Barcode) codes << p.text;
        EXPECT_EQ(codes, QStringList{QStringLiteral("BGJ-3")});
    }
}

TEST(CodeLabels, ASavedSheetKeepsItsCodes) {
    const report::Document doc = labels(CodeLabelOptions{}, assets(5));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("标签.QRP"));
    ASSERT_TRUE(report::writeQrpFile(doc, path));
    const std::optional<report::Document> back = report::readQrpFile(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, doc);
    EXPECT_EQ(decodeImage(report::test::paintToImage(back->pages[0], 12)),
              expectedCodes(QStringLiteral("QR-Code"), 1, 5));
}

class CodeLabelPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        state = install.signedIn();
        state->current->execute(
            QStringLiteral("insert into wzb (wz,isbm) values ('财务科',1),('机房',0)"));
        dialog = std::make_unique<TbbdyDlg>(*state, rows, QString());
        dialog->show();
        dialog->PageControl1->setCurrentIndex(TbbdyDlg::LabelPage);
    }

    test::TestInstallation install;
    std::unique_ptr<AppState> state;
    report::MemoryDataSource rows = assets(3);
    std::unique_ptr<TbbdyDlg> dialog;
};

TEST_F(CodeLabelPageTest, FormatsFiveAndSixPrintOnSheetsOrOnALabelPrinter) {
    auto* qr = dialog->findChild<QRadioButton*>(QStringLiteral("RadioButton9"));
    auto* bar = dialog->findChild<QRadioButton*>(QStringLiteral("RadioButton10"));
    auto* medium = dialog->findChild<QComboBox*>(QStringLiteral("ComboBox4"));
    ASSERT_TRUE(qr && bar && medium);
    EXPECT_EQ(qr->text(), QStringLiteral("5. 二维码标签（50×30毫米）"));
    EXPECT_EQ(bar->text(), QStringLiteral("6. 条形码标签（60×40毫米）"));
    EXPECT_FALSE(medium->isEnabled());  // format 1 is chosen: always sheets
    qr->setChecked(true);
    EXPECT_TRUE(medium->isEnabled());
    EXPECT_EQ(dialog->reportForPage().page.pageSize(), QSizeF(210, 297));
    EXPECT_EQ(dialog->reportForPage().detail.width, 50);
    medium->setCurrentIndex(1);
    EXPECT_EQ(dialog->reportForPage().page.pageSize(), QSizeF(50, 30));
    bar->setChecked(true);
    EXPECT_EQ(dialog->reportForPage().page.pageSize(), QSizeF(60, 40));
    // Back to format 1: the four card formats are as they were.
    dialog->RadioButton4->setChecked(true);
    EXPECT_FALSE(medium->isEnabled());
    EXPECT_EQ(dialog->reportForPage().detail.width, 40);
    EXPECT_EQ(dialog->reportForPage().page.columns, 5);
}

TEST_F(CodeLabelPageTest, PlaceLabelsListThePlacesAndNotInLabelOnlyMode) {
    auto* place = dialog->findChild<QRadioButton*>(QStringLiteral("RadioButton11"));
    auto* places = dialog->findChild<QComboBox*>(QStringLiteral("ComboBox3"));
    ASSERT_TRUE(place && places);
    ASSERT_EQ(places->count(), 3);
    EXPECT_EQ(places->itemText(0), QStringLiteral("全部位置"));
    // In the program's order of Chinese texts (by pinyin).
    EXPECT_EQ(places->itemText(1), QStringLiteral("财务科"));
    EXPECT_EQ(places->itemText(2), QStringLiteral("机房"));
    EXPECT_FALSE(places->isEnabled());
    place->setChecked(true);
    EXPECT_TRUE(places->isEnabled());
    EXPECT_EQ(dialog->reportForPage().title, QStringLiteral("位置标签"));
    TbbdyDlg card(*state, rows, QString());
    card.setLabelOnly(QStringLiteral("JSJ-121"));
    card.show();
    EXPECT_FALSE(card.findChild<QRadioButton*>(QStringLiteral("RadioButton11"))->isEnabled());
}

}  // namespace
}  // namespace fx::reports
