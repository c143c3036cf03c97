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
#include "slipsamples.h"
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
    const Document slip = layOutSlip(loanSlip(sampleLoan()));
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

    const MemoryDataSource none;
    const std::pair<const char*, Report> reports[] = {
        {"slip-loan", slipReport(loanSlip(sampleLoan()))},
        {"slip-transfer", slipReport(transferSlip(sampleTransfer()))},
        {"slip-batch", slipReport(batchTransferSlip(sampleBatch(3)))},
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
    const TransferSlipData t = sampleTransfer();
    const Document expected = layOutSlip(transferSlip(t));
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
