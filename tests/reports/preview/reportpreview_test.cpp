#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrintDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "datasource.h"
#include "directprint.h"
#include "dump.h"
#include "layout.h"
#include "qrpfile.h"
#include "reportpreview.h"
#include "scripts.h"
#include "units.h"

using namespace fx::report;

namespace {

// A plain list: a title, one line per record, page numbers in the footer.
Report listReport() {
    Report r;
    r.title = QStringLiteral("固定资产报表");
    Band& title = r.band(BandKind::Title, QStringLiteral("TitleBand1"), 15);
    Item t = Item::systemItem(QStringLiteral("QRSysData1"), QRectF(0, 2, 10, 10),
                              SystemValue::ReportTitle);
    t.alignToBand = true;
    t.align = HAlign::Center;
    t.font.pointSize = 18;
    title.add(t);
    r.detail.height = 8;
    r.detail.add(
        Item::dataField(QStringLiteral("QRDBText1"), QRectF(0, 1, 30, 6), QStringLiteral("ID1")));
    r.detail.add(
        Item::dataField(QStringLiteral("QRDBText2"), QRectF(30, 1, 60, 6), QStringLiteral("sbmc")));
    Band& footer = r.band(BandKind::PageFooter, QStringLiteral("PageFooterBand1"), 10);
    footer.add(Item::systemItem(QStringLiteral("QRSysData3"), QRectF(0, 2, 60, 6),
                                SystemValue::PageNumber, QStringLiteral("页号：")));
    return r;
}

MemoryDataSource rows(int count) {
    MemoryDataSource data({QStringLiteral("ID1"), QStringLiteral("sbmc")});
    for (int i = 1; i <= count; ++i) data.addRow({i, QStringLiteral("台式电脑%1").arg(i)});
    return data;
}

RunOptions options() {
    RunOptions o;
    o.printedAt = QDateTime(QDate(2026, 12, 9), QTime(9, 0));
    return o;
}

QToolButton* button(ReportPreview& preview, const char* name) {
    auto* b = preview.findChild<QToolButton*>(QString::fromLatin1(name));
    EXPECT_NE(b, nullptr) << name;
    return b;
}

QByteArray head(const QString& path, int n) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
}

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        data = rows(100);
        document = layoutReport(listReport(), data, options());
        ASSERT_GE(document.pageCount(), 3);
        preview.setDocument(document);
        preview.resize(800, 600);
        preview.show();
    }
    MemoryDataSource data;
    Document document;
    ReportPreview preview;
    QTemporaryDir dir;
};

}  // namespace

TEST_F(PreviewTest, PageButtonsMoveThroughThePages) {
    const int last = document.pageCount() - 1;
    EXPECT_EQ(preview.currentPage(), 0);
    EXPECT_FALSE(button(preview, "firstPageButton")->isEnabled());
    EXPECT_FALSE(button(preview, "previousPageButton")->isEnabled());
    button(preview, "nextPageButton")->click();
    EXPECT_EQ(preview.currentPage(), 1);
    EXPECT_EQ(preview.pageText(), QStringLiteral("第 2 页，共 %1 页").arg(last + 1));
    button(preview, "lastPageButton")->click();
    EXPECT_EQ(preview.currentPage(), last);
    EXPECT_FALSE(button(preview, "nextPageButton")->isEnabled());
    EXPECT_FALSE(button(preview, "lastPageButton")->isEnabled());
    button(preview, "nextPageButton")->click();
    EXPECT_EQ(preview.currentPage(), last);
    button(preview, "previousPageButton")->click();
    EXPECT_EQ(preview.currentPage(), last - 1);
    button(preview, "firstPageButton")->click();
    EXPECT_EQ(preview.currentPage(), 0);
    auto* label = preview.findChild<QLabel*>(QStringLiteral("pageLabel"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("第 1 页，共 %1 页").arg(last + 1));
}

TEST_F(PreviewTest, ZoomButtons) {
    auto* view = preview.findChild<QWidget*>(QStringLiteral("pageView"));
    ASSERT_NE(view, nullptr);
    button(preview, "zoom100Button")->click();
    EXPECT_EQ(preview.zoom(), ReportPreview::Zoom::Actual);
    EXPECT_DOUBLE_EQ(preview.pixelsPerMm(), preview.logicalDpiX() / kMmPerInch);
    const int actualWidth = view->width();

    button(preview, "zoomFitButton")->click();
    EXPECT_EQ(preview.zoom(), ReportPreview::Zoom::Fit);
    auto* scroll = preview.findChild<QWidget*>(QStringLiteral("pageScroll"));
    ASSERT_NE(scroll, nullptr);
    // The whole page shows: no taller than the visible area.
    EXPECT_LE(view->height(), scroll->height());
    EXPECT_LT(view->width(), actualWidth);

    button(preview, "zoomWidthButton")->click();
    EXPECT_EQ(preview.zoom(), ReportPreview::Zoom::PageWidth);
    EXPECT_LE(view->width(), scroll->width());
    EXPECT_GT(view->width(), scroll->width() * 3 / 4);
    EXPECT_GT(view->height(), scroll->height());
}

TEST_F(PreviewTest, SaveAsSavedReportAndOpenAgain) {
    const QString path = dir.filePath(QStringLiteral("固定资产报表"));
    QStringList asked;
    fx::ui::setFileHandler([&](const fx::ui::FileRequest& r) {
        asked << r.filter;
        return r.save ? path : path + QStringLiteral(".QRP");
    });
    button(preview, "saveButton")->click();
    // No extension given: the saved-report one is added.
    ASSERT_TRUE(QFile::exists(path + QStringLiteral(".QRP")));
    QString error;
    const auto saved = readQrpFile(path + QStringLiteral(".QRP"), &error);
    ASSERT_TRUE(saved.has_value()) << error.toStdString();
    EXPECT_EQ(*saved, document);

    preview.setDocument(Document());
    EXPECT_EQ(preview.pageCount(), 0);
    EXPECT_FALSE(button(preview, "saveButton")->isEnabled());
    button(preview, "openButton")->click();
    fx::ui::setFileHandler({});
    EXPECT_EQ(preview.document(), document);
    EXPECT_EQ(preview.currentPage(), 0);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[0].contains(QStringLiteral("*.pdf")));
    EXPECT_TRUE(asked[1].contains(QStringLiteral("*.QRP")));
}

TEST_F(PreviewTest, SavingUnderANameWithoutExtensionAsksBeforeReplacingTheReport) {
    const QString path = dir.filePath(QStringLiteral("月报"));
    const QString saved = path + QStringLiteral(".QRP");
    {
        QFile f(saved);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("the earlier report");
    }
    fx::ui::setFileHandler([&](const fx::ui::FileRequest&) { return path; });
    {
        fx::test::PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("该文件已经存在，覆盖掉它吗？"),
                       QMessageBox::Cancel);
        button(preview, "saveButton")->click();
    }
    EXPECT_EQ(head(saved, 100), QByteArray("the earlier report"));
    {
        fx::test::PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("该文件已经存在，覆盖掉它吗？"));
        button(preview, "saveButton")->click();
    }
    QString error;
    EXPECT_TRUE(readQrpFile(saved, &error).has_value()) << error.toStdString();
    // Opening asks nothing.
    fx::test::PromptScript none;
    QFile::copy(saved, path);
    button(preview, "openButton")->click();
    fx::ui::setFileHandler({});
    EXPECT_EQ(preview.document(), document);
}

TEST_F(PreviewTest, SaveAsPdf) {
    const QString path = dir.filePath(QStringLiteral("报表.pdf"));
    fx::ui::setFileHandler([&](const fx::ui::FileRequest&) { return path; });
    button(preview, "saveButton")->click();
    fx::ui::setFileHandler({});
    EXPECT_EQ(head(path, 5), QByteArray("%PDF-"));
}

TEST_F(PreviewTest, CancelledFileDialogsChangeNothing) {
    fx::ui::setFileHandler([](const fx::ui::FileRequest&) { return QString(); });
    button(preview, "saveButton")->click();
    button(preview, "openButton")->click();
    fx::ui::setFileHandler({});
    EXPECT_EQ(preview.document(), document);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(PreviewTest, OpeningSomethingElseWarnsAndKeepsThePages) {
    const QString path = dir.filePath(QStringLiteral("not.QRP"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("just some text");
    }
    fx::test::PromptScript prompts;
    prompts.expect(QStringLiteral("警告"), QStringLiteral("不是本系统保存的报表文件"));
    fx::ui::setFileHandler([&](const fx::ui::FileRequest&) { return path; });
    button(preview, "openButton")->click();
    fx::ui::setFileHandler({});
    EXPECT_EQ(preview.document(), document);
}

TEST_F(PreviewTest, PrintGoesToTheConfiguredPrinter) {
    fx::test::ModalScript dialogs;
    dialogs.then<QPrintDialog>([](QPrintDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("打印设置"));
        return int(QDialog::Accepted);
    });
    button(preview, "printerSetupButton")->click();
    const QString path = dir.filePath(QStringLiteral("printed.pdf"));
    preview.printer().setOutputFormat(QPrinter::PdfFormat);
    preview.printer().setOutputFileName(path);
    button(preview, "printButton")->click();
    EXPECT_EQ(head(path, 5), QByteArray("%PDF-"));
}

TEST_F(PreviewTest, CloseButtonClosesTheWindow) {
    EXPECT_TRUE(preview.isVisible());
    button(preview, "closeButton")->click();
    EXPECT_FALSE(preview.isVisible());
    EXPECT_EQ(preview.result(), QDialog::Accepted);
}

TEST(ReportPreviewLayout, ShowsTheFirstPageBeforeTheRestIsLaidOut) {
    const MemoryDataSource data = rows(2000);
    ReportPreview preview;
    preview.setReportLayout(std::make_unique<ReportLayout>(listReport(), data, options()));
    EXPECT_FALSE(preview.layoutFinished());
    EXPECT_GE(preview.pageCount(), 1);
    EXPECT_TRUE(preview.pageText().startsWith(QStringLiteral("第 1 页，已排")));
    EXPECT_TRUE(preview.findChild<QToolButton*>(QStringLiteral("nextPageButton"))->isEnabled());
    preview.lastPage();
    EXPECT_TRUE(preview.layoutFinished());
    const Document whole = layoutReport(listReport(), data, options());
    EXPECT_EQ(preview.document(), whole);
    EXPECT_EQ(preview.currentPage(), whole.pageCount() - 1);
    EXPECT_EQ(preview.pageText(), QStringLiteral("第 %1 页，共 %1 页").arg(whole.pageCount()));
}

TEST(ReportPreviewLayout, PreviewReportRunsTheWindowModally) {
    const MemoryDataSource data = rows(5);
    fx::test::ModalScript dialogs;
    dialogs.then<ReportPreview>([](ReportPreview& p) {
        EXPECT_EQ(p.windowTitle(), QStringLiteral("打印预览 - 固定资产报表"));
        EXPECT_EQ(p.pageCount(), 1);
        EXPECT_TRUE(p.layoutFinished());
        return int(QDialog::Accepted);
    });
    previewReport(listReport(), data, options(), nullptr);
}

TEST_F(PreviewTest, PageKeysTurnPages) {
    // Window shortcuts answer only in the active window.
    QApplication::setActiveWindow(&preview);
    QTest::keyClick(&preview, Qt::Key_PageDown);
    EXPECT_EQ(preview.currentPage(), 1);
    QTest::keyClick(&preview, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(preview.currentPage(), document.pageCount() - 1);
    QTest::keyClick(&preview, Qt::Key_PageUp);
    EXPECT_EQ(preview.currentPage(), document.pageCount() - 2);
    QTest::keyClick(&preview, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(preview.currentPage(), 0);
}

TEST(DirectPrint, PrintsTheChosenPageRange) {
    const MemoryDataSource data = rows(100);
    const Document doc = layoutReport(listReport(), data, options());
    ASSERT_GE(doc.pageCount(), 3);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("range.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    ASSERT_TRUE(printWithProgress(doc, printer, nullptr));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page/") + pdf.count("/Type /Page "),
              2);
}

TEST(DirectPrint, APrinterThatCannotStartIsReported) {
    const MemoryDataSource data = rows(3);
    const Document doc = layoutReport(listReport(), data, options());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/nonexistent/folder/out.pdf"));
    fx::test::PromptScript prompts;
    prompts.expect(QStringLiteral("警告"), QStringLiteral("无法启动打印机"));
    EXPECT_FALSE(printWithProgress(doc, printer, nullptr));
}
