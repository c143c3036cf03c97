#include <gtest/gtest.h>

#include "datasource.h"
#include "dump.h"
#include "layout.h"
#include "slipform.h"
#include "slipsamples.h"
#include "sliptexts.h"
#include "testreports.h"
#include "textmetrics.h"
#include "units.h"

using namespace fx::report;
using namespace fx::report::test;

namespace {

constexpr qreal kMargin = 10;  // mm on every side

const Primitive* textOf(const Page& page, const QString& item) {
    for (const Primitive& p : page.primitives)
        if (p.kind == Primitive::Kind::Text && p.item == item) return &p;
    return nullptr;
}

// The lines an item printed, in order, across every page.
QStringList linesOf(const Document& doc, const QString& item) {
    QStringList out;
    for (const Page& page : doc.pages)
        for (const Primitive& p : page.primitives)
            if (p.kind == Primitive::Kind::Text && p.item == item) out << p.text;
    return out;
}

const BandPlacement* bandOf(const Page& page, const QString& name) {
    for (const BandPlacement& b : page.bands)
        if (b.band == name) return &b;
    return nullptr;
}

// Where an item's first line sits on the paper, in design pixels from the band's corner.
QPointF designPlace(const Page& page, const QString& item) {
    const Primitive* p = textOf(page, item);
    if (!p) return {-1, -1};
    const qreal mmPerPx = px(1);
    return {(p->rect.left() - kMargin) / mmPerPx, (p->rect.top() - kMargin) / mmPerPx};
}

}  // namespace

TEST(SlipForm, LoanSlipWithPlannedDate) {
    const Document doc = layOutSlip(loanSlip(sampleLoan()));
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_TRUE(matchesExpected(QStringLiteral("loan_slip"), dumpDocument(doc)));

    const Page& page = doc.pages[0];
    EXPECT_NEAR(page.size.width(), 210, 0.01);
    EXPECT_NEAR(page.size.height(), 297, 0.01);
    const BandPlacement* title = bandOf(page, QStringLiteral("TitleBand1"));
    ASSERT_NE(title, nullptr);
    EXPECT_NEAR(title->rect.left(), kMargin, 1e-6);
    EXPECT_NEAR(title->rect.top(), kMargin, 1e-6);
    EXPECT_NEAR(title->rect.width(), px(718), 1e-6);
    EXPECT_NEAR(title->rect.height(), px(531), 1e-6);
    const BandPlacement* child = bandOf(page, QStringLiteral("ChildBand1"));
    ASSERT_NE(child, nullptr);
    EXPECT_NEAR(child->rect.top(), title->rect.bottom(), 1e-6);

    // Every item where the form puts it.
    const struct {
        const char* item;
        qreal x, y;
    } places[] = {{"QRRichText1", 0, 120}, {"QRLabel2", 48, 224}, {"QRLabel3", 48, 250},
                  {"QRLabel4", 48, 276},   {"QRLabel5", 48, 302}, {"QRRichText2", 48, 328},
                  {"QRLabel9", 16, 432},   {"QRLabel8", 16, 472}, {"QRLabel6", 376, 432},
                  {"QRLabel1", 376, 472}};
    for (const auto& p : places) {
        const QPointF at = designPlace(page, QString::fromLatin1(p.item));
        EXPECT_NEAR(at.x(), p.x, 1e-6) << p.item;
        EXPECT_NEAR(at.y(), p.y, 1e-6) << p.item;
    }
    // The organisation and the title centred across the band, in 黑体 24 pt bold.
    for (const char* name : {"QRLabel7", "QRSysData1"}) {
        const Primitive* p = textOf(page, QString::fromLatin1(name));
        ASSERT_NE(p, nullptr) << name;
        EXPECT_EQ(p->align, HAlign::Center);
        EXPECT_NEAR(p->rect.center().x(), kMargin + px(718) / 2, 1e-6);
        EXPECT_EQ(p->font, (FontDesc{QStringLiteral("黑体"), 24, true}));
    }
    EXPECT_NEAR(designPlace(page, QStringLiteral("QRLabel7")).y(), 8, 1e-6);
    EXPECT_NEAR(designPlace(page, QStringLiteral("QRSysData1")).y(), 44, 1e-6);
    EXPECT_EQ(textOf(page, QStringLiteral("QRSysData1"))->text, QStringLiteral("固定资产借用单"));
    EXPECT_EQ(textOf(page, QStringLiteral("QRLabel2"))->font,
              (FontDesc{QStringLiteral("楷体_GB2312"), 18}));
    EXPECT_EQ(textOf(page, QStringLiteral("QRLabel9"))->font,
              (FontDesc{QStringLiteral("宋体"), 18, true}));

    EXPECT_TRUE(linesOf(doc, QStringLiteral("QRRichText1"))
                    .join(QString())
                    .endsWith(QStringLiteral("并在2026年12月31日之前归还入库。")));
    EXPECT_EQ(linesOf(doc, QStringLiteral("QRLabel1")),
              QStringList{QStringLiteral("2026年12月9日")});
    EXPECT_TRUE(linesOf(doc, QStringLiteral("QRRichText3")).isEmpty());
}

TEST(SlipForm, LoanSlipWithoutPlannedDateOrModel) {
    LoanSlipData l = sampleLoan();
    l.plannedReturn = QDate();
    l.model.clear();
    l.configuration.clear();
    const Document doc = layOutSlip(loanSlip(l));
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_TRUE(matchesExpected(QStringLiteral("loan_slip_open_ended"), dumpDocument(doc)));
    const QStringList paragraph = linesOf(doc, QStringLiteral("QRRichText1"));
    EXPECT_TRUE(paragraph.join(QString()).endsWith(QStringLiteral("并在使用完毕后及时归还入库。")));
    EXPECT_TRUE(linesOf(doc, QStringLiteral("QRLabel5")).isEmpty());
    EXPECT_TRUE(linesOf(doc, QStringLiteral("QRRichText2")).isEmpty());
}

TEST(SlipForm, SingleTransferSlip) {
    TransferSlipData t = sampleTransfer();
    t.toCustodian.clear();
    const Document doc = layOutSlip(transferSlip(t));
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_TRUE(matchesExpected(QStringLiteral("transfer_slip"), dumpDocument(doc)));
    const Page& page = doc.pages[0];
    EXPECT_EQ(textOf(page, QStringLiteral("QRLabel9")), nullptr);
    EXPECT_EQ(textOf(page, QStringLiteral("QRLabel8"))->text, QStringLiteral("操作员：admin"));
    // As designed: the closing lines stay where the borrowing slip has them.
    EXPECT_NEAR(designPlace(page, QStringLiteral("QRLabel8")).y(), 472, 1e-6);
    EXPECT_NEAR(designPlace(page, QStringLiteral("QRLabel6")).y(), 432, 1e-6);
    EXPECT_NEAR(bandOf(page, QStringLiteral("TitleBand1"))->rect.height(), px(531), 1e-6);
}

TEST(SlipForm, BatchSlipOfThree) {
    const Document doc = layOutSlip(batchTransferSlip(sampleBatch(3)));
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_TRUE(matchesExpected(QStringLiteral("batch_slip"), dumpDocument(doc)));
    const Page& page = doc.pages[0];

    // The title band 200 px shorter, the closing lines 200 px up, the list right below.
    const BandPlacement* title = bandOf(page, QStringLiteral("TitleBand1"));
    ASSERT_NE(title, nullptr);
    EXPECT_NEAR(title->rect.height(), px(331), 1e-6);
    EXPECT_NEAR(designPlace(page, QStringLiteral("QRLabel8")).y(), 272, 1e-6);
    EXPECT_NEAR(designPlace(page, QStringLiteral("QRLabel6")).y(), 232, 1e-6);
    EXPECT_NEAR(designPlace(page, QStringLiteral("QRLabel1")).y(), 272, 1e-6);
    EXPECT_NEAR(designPlace(page, QStringLiteral("QRLabel6")).x(), 376, 1e-6);
    const BandPlacement* child = bandOf(page, QStringLiteral("ChildBand1"));
    ASSERT_NE(child, nullptr);
    EXPECT_NEAR(child->rect.top(), title->rect.bottom(), 1e-6);
    for (const char* empty : {"QRLabel2", "QRLabel3", "QRLabel4", "QRLabel5", "QRLabel9"})
        EXPECT_EQ(textOf(page, QString::fromLatin1(empty)), nullptr) << empty;

    EXPECT_TRUE(
        linesOf(doc, QStringLiteral("QRRichText1"))
            .join(QString())
            .startsWith(QStringLiteral("    由于工作需要，兹将下列固定资产3件，调拨给图书馆")));
    // The list in 10 pt: its heading, the column heads and lines 1, 2, 3; the empty second
    // line keeps its place.
    const QStringList list = linesOf(doc, QStringLiteral("QRRichText3"));
    ASSERT_EQ(list.size(), 5);
    EXPECT_EQ(list[0], QStringLiteral("调拨资产清单："));
    EXPECT_EQ(list[1], transferListHeader().trimmed());
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(list[n + 1].startsWith(QString::number(n) + QStringLiteral("         ")))
            << list[n + 1].toStdString();
    const Primitive* heading = textOf(page, QStringLiteral("QRRichText3"));
    EXPECT_EQ(heading->font.pointSize, 10);
    EXPECT_NEAR(heading->rect.top(), child->rect.top(), 1e-6);
    const Primitive* columns = nullptr;
    for (const Primitive& p : page.primitives)
        if (p.item == QStringLiteral("QRRichText3") && p.text == list[1]) columns = &p;
    ASSERT_NE(columns, nullptr);
    EXPECT_NEAR(columns->rect.top() - heading->rect.top(), 2 * heading->rect.height(), 1e-6);
}

TEST(SlipForm, BatchListColumnsLineUpOnPaper) {
    const Report report = slipReport(batchTransferSlip(sampleBatch(3)));
    const FontDesc font = report.findItem(QStringLiteral("QRRichText3"))->font;
    TextMetrics metrics;
    // A Chinese character takes exactly the room of two Latin ones.
    EXPECT_NEAR(metrics.width(font, QStringLiteral("电")),
                metrics.width(font, QStringLiteral("AB")), 1e-6);
    // So each column starts at the same place in the heading and in every line.
    const int widths[] = {10, 10, 15, 20, 20};
    auto starts = [&](const QStringList& cells) {
        QList<qreal> out;
        QString prefix;
        for (int i = 0; i < 5; ++i) {
            prefix += padToWidth(cells.at(i), widths[i]);
            out << metrics.width(font, prefix);
        }
        return out;
    };
    const QList<qreal> heading =
        starts({QStringLiteral("调拨号"), QStringLiteral("资产序号"), QStringLiteral("资产编号"),
                QStringLiteral("资产名称"), QStringLiteral("资产类别")});
    const QList<qreal> line =
        starts({QStringLiteral("12"), QStringLiteral("4711"), QStringLiteral("DZ-0009"),
                QStringLiteral("台式电脑"), QStringLiteral("电子设备")});
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(heading[i], line[i], 1e-6) << "column " << i + 2;
}

TEST(SlipForm, LongBatchListRunsOntoFurtherPages) {
    const Document doc = layOutSlip(batchTransferSlip(sampleBatch(120)));
    ASSERT_GE(doc.pageCount(), 2);
    const QStringList list = linesOf(doc, QStringLiteral("QRRichText3"));
    ASSERT_EQ(list.size(), 2 + 120);
    EXPECT_TRUE(list.last().startsWith(QStringLiteral("120       220       BG-0120")));
    // Nothing runs past the bottom margin.
    for (const Page& page : doc.pages) {
        for (const Primitive& p : page.primitives) {
            if (p.kind == Primitive::Kind::Text) {
                EXPECT_LE(p.rect.bottom(), 297 - kMargin + 1e-6) << p.text.toStdString();
            }
        }
    }
}
