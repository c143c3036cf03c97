#include <gtest/gtest.h>

#include "slipsamples.h"
#include "sliptexts.h"
#include "testreports.h"

using namespace fx::report;
using namespace fx::report::test;

TEST(SlipTexts, LoanWithAndWithoutPlannedDate) {
    LoanSlipData l = sampleLoan();
    SlipTexts t = loanSlip(l);
    EXPECT_EQ(t.title, QStringLiteral("固定资产借用单"));
    EXPECT_EQ(t.organisation, QStringLiteral("青石岭实验学校"));
    EXPECT_EQ(
        t.paragraph,
        QStringLiteral("    由于工作需要，准予教务处李明借用以下固定资产。借用人有责任保管好借"
                       "用物品，并在2026年12月31日之前归还入库。"));
    // The card's values trimmed.
    EXPECT_EQ(t.serial, QStringLiteral("固定资产序号：17"));
    EXPECT_EQ(t.number, QStringLiteral("固定资产编号：JS-0017"));
    EXPECT_EQ(t.name, QStringLiteral("固定资产名称：笔记本电脑"));
    EXPECT_EQ(t.model, QStringLiteral("固定资产型号：ThinkPad X1"));
    EXPECT_EQ(t.configuration, QStringLiteral("固定资产配置：16G内存，512G固态硬盘，14英寸屏幕"));
    EXPECT_EQ(t.upperLeft, QStringLiteral("出借人：王强"));
    EXPECT_EQ(t.lowerLeft, QStringLiteral("批复人：admin"));
    EXPECT_EQ(t.signature, QStringLiteral("借用人签名："));
    EXPECT_EQ(t.date, QStringLiteral("2026年12月9日"));
    EXPECT_TRUE(t.list.isEmpty());
    EXPECT_EQ(t.layout, SlipLayout::Standard);

    l.plannedReturn = QDate();
    l.model = QStringLiteral("  ");
    l.configuration.clear();
    // Place and borrower go into the paragraph as they were entered.
    l.place = QStringLiteral("教务处 ");
    t = loanSlip(l);
    EXPECT_EQ(t.paragraph,
              QStringLiteral("    由于工作需要，准予教务处 李明借用以下固定资产。借用人有责任保管好"
                             "借用物品，并在使用完毕后及时归还入库。"));
    EXPECT_TRUE(t.model.isEmpty());
    EXPECT_TRUE(t.configuration.isEmpty());
    EXPECT_EQ(slipDate(QDate(2026, 1, 5)), QStringLiteral("2026年1月5日"));
}

TEST(SlipTexts, TransferNamesCustodiansOnlyWhereTheyAddSomething) {
    TransferSlipData d = sampleTransfer();
    SlipTexts t = transferSlip(d);
    EXPECT_EQ(t.title, QStringLiteral("固定资产调拨单"));
    EXPECT_EQ(
        t.paragraph,
        QStringLiteral("    由于工作需要，兹将原先由多媒体教室（保管人：赵六）保管的以下固定资"
                       "产，调拨给会议室（保管人：钱七）保管。望双方做好交接工作。"));
    EXPECT_EQ(t.serial, QStringLiteral("固定资产序号：23"));
    EXPECT_EQ(t.number, QStringLiteral("固定资产编号：BG-0023"));
    EXPECT_EQ(t.name, QStringLiteral("固定资产名称：投影仪"));
    EXPECT_EQ(t.model, QStringLiteral("固定资产型号：EB-C760X"));
    EXPECT_TRUE(t.configuration.isEmpty());
    EXPECT_TRUE(t.upperLeft.isEmpty());
    EXPECT_EQ(t.lowerLeft, QStringLiteral("操作员：admin"));
    EXPECT_EQ(t.signature, QStringLiteral("新保管人签名："));
    EXPECT_EQ(t.date, QStringLiteral("2026年12月9日"));

    // No custodian before, none chosen after.
    d.fromCustodian.clear();
    d.toCustodian.clear();
    EXPECT_EQ(
        transferSlip(d).paragraph,
        QStringLiteral("    由于工作需要，兹将原先由多媒体教室保管的以下固定资产，调拨给会议室"
                       "保管。望双方做好交接工作。"));

    // An asset held by a person: each user is his own custodian.
    d.fromPlace = d.fromCustodian = QStringLiteral("张三");
    d.toPlace = d.toCustodian = QStringLiteral("李四");
    EXPECT_EQ(
        transferSlip(d).paragraph,
        QStringLiteral("    由于工作需要，兹将原先由张三保管的以下固定资产，调拨给李四保管。望"
                       "双方做好交接工作。"));
}

TEST(SlipTexts, BatchOfThreeHasParagraphAndNumberedLines) {
    BatchTransferData b = sampleBatch(3);
    const SlipTexts t = batchTransferSlip(b);
    EXPECT_EQ(t.paragraph,
              QStringLiteral("    由于工作需要，兹将下列固定资产3件，调拨给图书馆（保管人：孙八）保"
                             "管。望双方做好交接工作。"));
    EXPECT_EQ(t.layout, SlipLayout::Batch);
    for (const QString& empty : {t.serial, t.number, t.name, t.model, t.configuration, t.upperLeft})
        EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(t.lowerLeft, QStringLiteral("操作员：admin"));
    EXPECT_EQ(t.signature, QStringLiteral("新保管人签名："));
    const QStringList lines = t.list.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("调拨资产清单："));
    EXPECT_EQ(lines[1], QString());
    EXPECT_EQ(lines[2], transferListHeader());
    EXPECT_EQ(lines[3], QStringLiteral("1         101       BG-0001        书架                "
                                       "家具                                         "));
    EXPECT_EQ(lines[4], transferListLine(2, b.assets[1]));
    EXPECT_EQ(lines[5], transferListLine(3, b.assets[2]));

    // A target that is its own custodian (a user) is named once.
    b.custodian = b.target;
    EXPECT_FALSE(batchTransferSlip(b).paragraph.contains(QStringLiteral("保管人")));
}

TEST(SlipTexts, DisplayWidthCountsChineseAsTwo) {
    EXPECT_EQ(displayWidth(QString()), 0);
    EXPECT_EQ(displayWidth(QStringLiteral("M720")), 4);
    EXPECT_EQ(displayWidth(QStringLiteral("电脑")), 4);
    EXPECT_EQ(displayWidth(QStringLiteral("PC电脑")), 6);
    EXPECT_EQ(displayWidth(QStringLiteral("（保管人：）")), 12);
    // A character outside the basic plane is one character, not two halves.
    EXPECT_EQ(displayWidth(QStringLiteral("𠀀A")), 3);

    EXPECT_EQ(padToWidth(QStringLiteral("电脑"), 10), QStringLiteral("电脑      "));
    EXPECT_EQ(padToWidth(QStringLiteral("AB"), 5), QStringLiteral("AB   "));
    EXPECT_EQ(padToWidth(QStringLiteral("五个汉字啊"), 10), QStringLiteral("五个汉字啊"));
    // Longer than its column: written whole.
    EXPECT_EQ(padToWidth(QStringLiteral("六个汉字啊呀"), 10), QStringLiteral("六个汉字啊呀"));
}

TEST(SlipTexts, ListLinesPadEachColumnByDisplayWidth) {
    EXPECT_EQ(transferListHeader(),
              QStringLiteral("调拨号    资产序号  资产编号       资产名称            资产类别      "
                             "      资产型号                 "));
    const TransferredAsset a{12, QStringLiteral("BG-0001"), QStringLiteral("台式电脑"),
                             QStringLiteral("电子设备"), QStringLiteral("ThinkCentre M720")};
    const QString line = transferListLine(1, a);
    EXPECT_EQ(line, QStringLiteral("1         12        BG-0001        台式电脑            电子设备"
                                   "            ThinkCentre M720         "));
    EXPECT_EQ(displayWidth(line), 100);

    // A name wider than its 20 columns pushes the rest of the line to the right.
    TransferredAsset wide = a;
    wide.name = QStringLiteral("多功能彩色激光打印复印一体机");  // 14 characters, 28 columns
    const QString shifted = transferListLine(10, wide);
    EXPECT_EQ(shifted,
              QStringLiteral("10        12        BG-0001        多功能彩色激光打印复印一体机"
                             "电子设备            ThinkCentre M720         "));
    EXPECT_EQ(displayWidth(shifted), 108);
}
