#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "datasource.h"
#include "dump.h"
#include "layout.h"
#include "openreportfile.h"
#include "qrpfile.h"
#include "render.h"
#include "reportpreview.h"
#include "scripts.h"
#include "slipoutput.h"
#include "sliptexts.h"
#include "testreports.h"
#include "units.h"

using namespace fx::report;
using namespace fx::report::test;

namespace {

const QString kFirstLine = QStringLiteral(
    "提示：*.QRP文件(QuickReport file)是本系统在打印预览时可以保存的文件，它不具有可修改性，可作"
    "为报表的电子档保存在您的存储介质上。");
const QString kSecondLine =
    QStringLiteral("    在这里您可以点击上面的打开文件夹图标，打开已经保存过的报表文件。");

Document placeholder() {
    const MemoryDataSource none;
    return layoutReport(savedReportPlaceholder(), none, fixedOptions());
}

}  // namespace

TEST(OpenReportFile, PlaceholderIsOnePageWithTheTwoLinesOnly) {
    const Document doc = placeholder();
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_TRUE(matchesExpected(QStringLiteral("placeholder"), dumpDocument(doc)));
    EXPECT_TRUE(doc.title.isEmpty());

    const Page& page = doc.pages[0];
    QString paragraph;
    const Primitive* first = nullptr;
    const Primitive* last = nullptr;
    for (const Primitive& p : page.primitives) {
        if (p.kind != Primitive::Kind::Text) continue;
        // Labels and title are empty: the block is all the page says.
        EXPECT_EQ(p.item, QStringLiteral("QRRichText1")) << p.text.toStdString();
        if (!first) first = &p;
        last = &p;
        paragraph += p.text;
    }
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(paragraph, kFirstLine + kSecondLine);
    EXPECT_TRUE(last->text.endsWith(QStringLiteral("报表文件。")));
    EXPECT_NEAR(first->rect.top(), 10 + px(120), 1e-6);
    // More lines than the slip's 105 px would hold, all within the block's 189 px.
    EXPECT_GT(last->rect.bottom(), 10 + px(120 + 105));
    EXPECT_LE(last->rect.bottom(), 10 + px(120 + 189) + 1e-6);
}

TEST(OpenReportFile, PreviewOpensOnThePlaceholderAndThenOnASavedReport) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString saved = dir.filePath(QStringLiteral("借用单.QRP"));
    LoanSlipData loan;
    loan.organisation = QStringLiteral("青石岭实验学校");
    loan.serial = 3;
    loan.name = QStringLiteral("照相机");
    loan.borrower = QStringLiteral("李明");
    loan.today = QDate(2026, 12, 9);
    const MemoryDataSource none;
    const Document slip = layoutReport(slipReport(loanSlip(loan)), none, fixedOptions());
    ASSERT_TRUE(writeQrpFile(slip, saved));

    fx::ui::setFileHandler([&](const fx::ui::FileRequest& request) {
        EXPECT_FALSE(request.save);
        return saved;
    });
    fx::test::ModalScript modal;
    modal.then<ReportPreview>([&](ReportPreview& preview) {
        EXPECT_EQ(preview.pageCount(), 1);
        EXPECT_EQ(dumpDocument(preview.document()), dumpDocument(placeholder()));
        QTest::mouseClick(preview.findChild<QToolButton*>(QStringLiteral("openButton")),
                          Qt::LeftButton);
        EXPECT_EQ(preview.document(), slip);
        return int(QDialog::Accepted);
    });
    openReportFile(nullptr);
    fx::ui::setFileHandler({});
    EXPECT_TRUE(modal.done());
}

// Each slip and the placeholder as PDF, the way the preview saves them. With
// FX_SCREENSHOT_DIR set the files are kept there to be looked at.
TEST(OpenReportFile, SlipsAndPlaceholderSaveAsPdf) {
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString kept = qEnvironmentVariable("FX_SCREENSHOT_DIR");
    const QString dir = kept.isEmpty() ? temp.path() : kept;

    LoanSlipData loan;
    loan.organisation = QStringLiteral("青石岭实验学校");
    loan.serial = 17;
    loan.number = QStringLiteral("JS-0017");
    loan.name = QStringLiteral("笔记本电脑");
    loan.model = QStringLiteral("ThinkPad X1");
    loan.configuration = QStringLiteral("16G内存，512G固态硬盘，14英寸屏幕");
    loan.lender = QStringLiteral("王强");
    loan.borrower = QStringLiteral("李明");
    loan.approver = QStringLiteral("admin");
    loan.place = QStringLiteral("教务处");
    loan.plannedReturn = QDate(2026, 12, 31);
    loan.today = QDate(2026, 12, 9);
    TransferSlipData single;
    single.organisation = loan.organisation;
    single.serial = 23;
    single.number = QStringLiteral("BG-0023");
    single.name = QStringLiteral("投影仪");
    single.model = QStringLiteral("EB-C760X");
    single.fromPlace = QStringLiteral("多媒体教室");
    single.fromCustodian = QStringLiteral("赵六");
    single.toPlace = QStringLiteral("会议室");
    single.toCustodian = QStringLiteral("钱七");
    single.operatorName = QStringLiteral("admin");
    single.today = loan.today;
    BatchTransferData batch;
    batch.organisation = loan.organisation;
    batch.selectedCount = 3;
    batch.target = QStringLiteral("图书馆");
    batch.custodian = QStringLiteral("孙八");
    batch.operatorName = QStringLiteral("admin");
    batch.today = loan.today;
    batch.assets = {
        {5, QStringLiteral("BG-0005"), QStringLiteral("书架"), QStringLiteral("家具"), QString()},
        {6, QStringLiteral("BG-0006"), QStringLiteral("阅览桌"), QStringLiteral("家具"),
         QStringLiteral("YL-2")},
        {9, QStringLiteral("DZ-0009"), QStringLiteral("台式电脑"), QStringLiteral("电子设备"),
         QStringLiteral("ThinkCentre M720")}};

    const MemoryDataSource none;
    const std::pair<const char*, Report> reports[] = {
        {"slip-loan", slipReport(loanSlip(loan))},
        {"slip-transfer", slipReport(transferSlip(single))},
        {"slip-batch", slipReport(batchTransferSlip(batch))},
        {"slip-placeholder", savedReportPlaceholder()}};
    for (const auto& [name, report] : reports) {
        const QString path = dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".pdf");
        QString error;
        ASSERT_TRUE(writePdf(layoutReport(report, none, fixedOptions()), path, &error))
            << name << ": " << error.toStdString();
        QFile pdf(path);
        ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << name;
        EXPECT_TRUE(pdf.read(5) == "%PDF-") << name;
        EXPECT_GT(pdf.size(), 1000) << name;
    }
}

TEST(OpenReportFile, SlipPreviewShowsTheSlipForPrinting) {
    TransferSlipData t;
    t.organisation = QStringLiteral("青石岭实验学校");
    t.serial = 8;
    t.name = QStringLiteral("复印机");
    t.fromPlace = QStringLiteral("办公室");
    t.toPlace = QStringLiteral("档案室");
    t.operatorName = QStringLiteral("admin");
    t.today = QDate(2026, 12, 9);
    const MemoryDataSource none;
    const Document expected = layoutReport(slipReport(transferSlip(t)), none, fixedOptions());
    fx::test::ModalScript modal;
    modal.then<ReportPreview>([&](ReportPreview& preview) {
        preview.finishLayout();
        EXPECT_EQ(preview.document(), expected);
        EXPECT_TRUE(preview.findChild<QToolButton*>(QStringLiteral("printButton"))->isEnabled());
        return int(QDialog::Accepted);
    });
    produceSlip(transferSlip(t), true, nullptr);
    EXPECT_TRUE(modal.done());
}
