#include "slipsamples.h"

#include "datasource.h"
#include "layout.h"
#include "testreports.h"

namespace fx::report::test {

LoanSlipData sampleLoan() {
    LoanSlipData l;
    l.organisation = QStringLiteral("青石岭实验学校");
    l.serial = 17;
    l.number = QStringLiteral(" JS-0017 ");
    l.name = QStringLiteral("笔记本电脑  ");
    l.model = QStringLiteral("ThinkPad X1 ");
    l.configuration = QStringLiteral("16G内存，512G固态硬盘，14英寸屏幕");
    l.lender = QStringLiteral(" 王强");
    l.borrower = QStringLiteral("李明");
    l.approver = QStringLiteral("admin ");
    l.place = QStringLiteral("教务处");
    l.plannedReturn = QDate(2026, 12, 31);
    l.today = QDate(2026, 12, 9);
    return l;
}

TransferSlipData sampleTransfer() {
    TransferSlipData t;
    t.organisation = QStringLiteral("青石岭实验学校");
    t.serial = 23;
    t.number = QStringLiteral("BG-0023 ");
    t.name = QStringLiteral("投影仪");
    t.model = QStringLiteral("EB-C760X");
    t.fromPlace = QStringLiteral("多媒体教室");
    t.fromCustodian = QStringLiteral("赵六");
    t.toPlace = QStringLiteral("会议室");
    t.toCustodian = QStringLiteral("钱七");
    t.operatorName = QStringLiteral("admin");
    t.today = QDate(2026, 12, 9);
    return t;
}

BatchTransferData sampleBatch(int count) {
    BatchTransferData b;
    b.organisation = QStringLiteral("青石岭实验学校");
    b.selectedCount = count;
    b.target = QStringLiteral("图书馆");
    b.custodian = QStringLiteral("孙八");
    b.operatorName = QStringLiteral("admin");
    b.today = QDate(2026, 12, 9);
    const QString kinds[][3] = {
        {QStringLiteral("书架"), QStringLiteral("家具"), QString()},
        {QStringLiteral("阅览桌"), QStringLiteral("家具"), QStringLiteral("YL-2")},
        {QStringLiteral("台式电脑"), QStringLiteral("电子设备"),
         QStringLiteral("ThinkCentre M720")}};
    for (int i = 1; i <= count; ++i) {
        const QString* kind = kinds[(i - 1) % 3];
        b.assets.push_back({100 + i, QStringLiteral("BG-%1").arg(i, 4, 10, QLatin1Char('0')),
                            kind[0], kind[1], kind[2]});
    }
    return b;
}

Document layOutSlip(const SlipTexts& texts) {
    const MemoryDataSource none;
    return layoutReport(slipReport(texts), none, fixedOptions());
}

}  // namespace fx::report::test
