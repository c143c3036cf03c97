#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>

#include "datasource.h"
#include "displaylist.h"
#include "labelform.h"
#include "layout.h"
#include "textmetrics.h"

namespace fx::reports {
namespace {

const QString kForty = QString(40, QChar(0x4E2D));  // 40 Chinese characters, 80 GBK bytes

report::MemoryDataSource assets(int n, const QString& configuration = {}) {
    report::MemoryDataSource rows(
        {QStringLiteral("ID1"), QStringLiteral("bh"), QStringLiteral("wz"), QStringLiteral("sbxh"),
         QStringLiteral("sbmc"), QStringLiteral("zclb"), QStringLiteral("gmrq"),
         QStringLiteral("sbpz"), QStringLiteral("other"), QStringLiteral("bgr")});
    for (int i = 1; i <= n; ++i)
        rows.addRow({i, QStringLiteral("JSJ-%1").arg(i), QStringLiteral("财务科"),
                     QStringLiteral("T480"), QStringLiteral("笔记本电脑"),
                     QStringLiteral("计算机设备"), QDate(2024, 3, 5), configuration,
                     QStringLiteral("备用"), QStringLiteral("张三")});
    return rows;
}

report::Document sheet(const LabelOptions& o, const report::DataSource& rows) {
    const LabelRows labelRows(rows);
    return report::layoutReport(labelReport(o), labelRows,
                                report::RunOptions{QDateTime(QDate(2024, 5, 20), QTime(9, 0))});
}

QStringList textsOf(const report::Document& doc, const QString& item) {
    QStringList texts;
    for (const report::Page& page : doc.pages)
        for (const report::Primitive& p : page.primitives)
            if (p.kind == report::Primitive::Kind::Text && p.item == item) texts << p.text;
    return texts;
}

std::vector<QRectF> cards(const report::Document& doc, int page = 0) {
    std::vector<QRectF> rects;
    for (const report::BandPlacement& b : doc.pages[size_t(page)].bands)
        if (b.band == QStringLiteral("DetailBand1")) rects.push_back(b.rect);
    return rects;
}

TEST(LabelWrap, FortyChineseCharactersBreakAfterSeventeenAndThirtyFive) {
    const QString wrapped = wrapAtGbkBytes(kForty);
    EXPECT_EQ(wrapped, kForty.left(17) + QLatin1Char(' ') + kForty.mid(17, 18) + QLatin1Char(' ') +
                           kForty.mid(35));
}

TEST(LabelWrap, ByteCountsDecideBeforeOrAfter) {
    // 35 bytes or fewer: unchanged, also when the 35th byte is the last one.
    EXPECT_EQ(wrapAtGbkBytes(QString(35, QLatin1Char('a'))), QString(35, QLatin1Char('a')));
    EXPECT_EQ(wrapAtGbkBytes(QStringLiteral("abc")), QStringLiteral("abc"));
    // A single-byte 35th byte: the space goes after it.
    const QString latin(40, QLatin1Char('a'));
    EXPECT_EQ(wrapAtGbkBytes(latin), latin.left(35) + QLatin1Char(' ') + latin.mid(35));
    // One letter first shifts the Chinese: byte 35 ends a character, the space follows it.
    const QString mixed = QLatin1Char('a') + kForty;
    const QString once = mixed.left(18) + QLatin1Char(' ') + mixed.mid(18);
    EXPECT_TRUE(wrapAtGbkBytes(mixed).startsWith(once.left(19)));
    // No character is ever split: every piece is whole characters.
    for (const QString& piece : wrapAtGbkBytes(mixed).split(QLatin1Char(' ')))
        EXPECT_FALSE(piece.isEmpty());
}

TEST(LabelSheet, FormatOneWithNumberAndOwnership) {
    LabelOptions o;
    o.numberAsIdentity = true;
    o.ownership = true;
    o.organisation = QStringLiteral("示范单位");
    const report::Document doc = sheet(o, assets(7));
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRLabelId")).first(), QStringLiteral("编号："));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRDBTextId")).first(), QStringLiteral("JSJ-1"));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRLabelLast")).first(), QStringLiteral("示范单位所有"));
    EXPECT_TRUE(textsOf(doc, QStringLiteral("QRDBTextDate")).isEmpty());
    // Five 40 x 25 mm cards across from the 10 mm margin, the sixth on the next row.
    const std::vector<QRectF> placed = cards(doc);
    ASSERT_EQ(placed.size(), 7u);
    EXPECT_NEAR(placed[0].left(), 10, 0.01);
    EXPECT_NEAR(placed[0].top(), 6, 0.01);
    EXPECT_NEAR(placed[1].left(), 50, 0.01);
    EXPECT_NEAR(placed[4].left(), 170, 0.01);
    EXPECT_NEAR(placed[5].left(), 10, 0.01);
    EXPECT_NEAR(placed[5].top(), 31, 0.01);
    EXPECT_NEAR(placed[0].width(), 40, 0.01);
    EXPECT_NEAR(placed[0].height(), 25, 0.01);
}

TEST(LabelSheet, FormatOneByDefaultShowsRecordNumberAndPurchaseDate) {
    const report::Document doc = sheet(LabelOptions{}, assets(1));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRLabelId")), QStringList{QStringLiteral("序号：")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRDBTextId")), QStringList{QStringLiteral("1")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRLabelLast")),
              QStringList{QStringLiteral("购买日期：")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRDBTextDate")),
              QStringList{QStringLiteral("2024-03-05")});
}

TEST(LabelSheet, FormatThreeTwoAcrossWithTheConfigurationInThreeLines) {
    LabelOptions o;
    o.format = 3;
    const report::Document doc = sheet(o, assets(3, kForty));
    const std::vector<QRectF> placed = cards(doc);
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_NEAR(placed[0].left(), 10, 0.01);
    EXPECT_NEAR(placed[1].left(), 95, 0.01);
    EXPECT_LE(placed[1].right(), 210 - 20 + 0.01);  // within the 20 mm right margin
    EXPECT_NEAR(placed[2].left(), 10, 0.01);
    const QStringList lines = textsOf(doc, QStringLiteral("QRExprPz"));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], kForty.left(17));
    EXPECT_EQ(lines[1], kForty.mid(17, 18));
    EXPECT_EQ(lines[2], kForty.mid(35));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRDBTextBgr")).first(), QStringLiteral("张三"));
}

TEST(LabelSheet, FormatFourIgnoresTheNumberAndOwnershipChoices) {
    LabelOptions o;
    o.format = 4;
    o.numberAsIdentity = true;
    o.ownership = true;
    EXPECT_FALSE(identityIsNumber(o));
    const report::Document doc = sheet(o, assets(1));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRLabelId")), QStringList{QStringLiteral("序号：")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRDBTextBh")), QStringList{QStringLiteral("JSJ-1")});
    EXPECT_TRUE(textsOf(doc, QStringLiteral("QRLabelLast")).isEmpty());
}

TEST(LabelSheet, TheCardsAssetTakesItsNumberFromTheNumberBox) {
    LabelOptions o;
    o.numberAsIdentity = true;
    o.cardNumber = QStringLiteral("BGJ-12");
    const report::Document doc = sheet(o, assets(1));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRLabelNumber")), QStringList{QStringLiteral("BGJ-12")});
    EXPECT_TRUE(textsOf(doc, QStringLiteral("QRDBTextId")).isEmpty());
    o.format = 4;
    const report::Document four = sheet(o, assets(1));
    EXPECT_EQ(textsOf(four, QStringLiteral("QRLabelNumber")),
              QStringList{QStringLiteral("BGJ-12")});
    EXPECT_TRUE(textsOf(four, QStringLiteral("QRDBTextBh")).isEmpty());
}

// Rows with the longest values the columns hold: wide Chinese and wide Latin letters.
report::MemoryDataSource longestAssets() {
    report::MemoryDataSource rows(
        {QStringLiteral("ID1"), QStringLiteral("bh"), QStringLiteral("wz"), QStringLiteral("sbxh"),
         QStringLiteral("sbmc"), QStringLiteral("zclb"), QStringLiteral("gmrq"),
         QStringLiteral("sbpz"), QStringLiteral("other"), QStringLiteral("bgr")});
    for (const QChar c : {QChar(0x56FA), QChar(u'W')}) {
        auto text = [c](int n) { return QString(n, c); };
        rows.addRow({999999999, QStringLiteral("WWWWWWWW-999999999"), text(50), text(50), text(50),
                     text(50), QDate(2024, 12, 28), text(100), text(100), text(20)});
    }
    return rows;
}

TEST(LabelSheet, NoTextCrossesItsCardInAnyFormatEvenWithTheLongestValues) {
    report::TextMetrics metrics;
    constexpr qreal kEps = 0.01;
    for (int format = 1; format <= 4; ++format)
        for (const bool number : {false, true})
            for (const bool ownership : {false, true}) {
                LabelOptions o;
                o.format = format;
                o.numberAsIdentity = number;
                o.ownership = ownership;
                o.organisation = QString(50, QChar(0x56FA));
                const report::Document doc = sheet(o, longestAssets());
                const std::string where = "format " + std::to_string(format) +
                                          (number ? " number" : "") + (ownership ? " owner" : "");
                int cut = 0;
                for (const report::Page& page : doc.pages) {
                    for (const report::Primitive& p : page.primitives) {
                        if (p.kind != report::Primitive::Kind::Text || p.text.isEmpty()) continue;
                        const report::BandPlacement* card = nullptr;
                        for (const report::BandPlacement& b : page.bands)
                            if (b.rect.adjusted(-kEps, -kEps, kEps, kEps)
                                    .contains(p.rect.topLeft()))
                                card = &b;
                        ASSERT_NE(card, nullptr) << where;
                        const qreal right = p.rect.left() + metrics.width(p.font, p.text);
                        EXPECT_LE(right, card->rect.right() + kEps)
                            << where << " " << p.item.toStdString();
                        EXPECT_LE(p.rect.bottom(), card->rect.bottom() + kEps)
                            << where << " " << p.item.toStdString();
                        EXPECT_GE(p.font.pointSize, 5) << where;
                        if (p.text.endsWith(QChar(0x2026))) ++cut;
                    }
                }
                // Values this long do not fit even at the smallest size.
                EXPECT_GT(cut, 0) << where;
            }
}

TEST(LabelSheet, AModelALittleTooLongPrintsWholeInASmallerSize) {
    report::MemoryDataSource rows = assets(0);
    rows.addRow({1, QStringLiteral("JSJ-1"), QStringLiteral("财务科"),
                 QStringLiteral("戴尔OptiPlex 3080"), QStringLiteral("台式计算机"),
                 QStringLiteral("计算机设备"), QDate(2024, 3, 5), QString(), QString(), QString()});
    const report::Document doc = sheet(LabelOptions{}, rows);
    const report::Primitive* model = nullptr;
    for (const report::Primitive& p : doc.pages[0].primitives)
        if (p.item == QStringLiteral("QRDBTextXh")) model = &p;
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->text, QStringLiteral("戴尔OptiPlex 3080"));
    EXPECT_LT(model->font.pointSize, 10);
    EXPECT_GE(model->font.pointSize, 6);
    const std::vector<QRectF> placed = cards(doc);
    report::TextMetrics metrics;
    EXPECT_LE(model->rect.left() + metrics.width(model->font, model->text), placed[0].right());
}

TEST(LabelSheet, NoRowsNoPages) {
    EXPECT_EQ(sheet(LabelOptions{}, assets(0)).pageCount(), 0);
}

}  // namespace
}  // namespace fx::reports
