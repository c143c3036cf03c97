#include "sliptexts.h"

#include <QStringList>

namespace fx::report {

namespace {

// Column widths of the batch list, in display columns.
constexpr int kListWidths[] = {10, 10, 15, 20, 20, 25};

const QString kIndent = QStringLiteral("    ");

QString modelLine(const QString& model) {
    const QString trimmed = model.trimmed();
    return trimmed.isEmpty() ? QString() : QStringLiteral("固定资产型号：") + trimmed;
}

// "（保管人：X）" after a place, unless X is empty or the place itself (an asset held by a
// person has that person as its custodian).
QString custodianPart(const QString& place, const QString& custodian) {
    if (custodian.isEmpty() || custodian == place) return {};
    return QStringLiteral("（保管人：") + custodian + QStringLiteral("）");
}

QString listLine(const QStringList& cells) {
    QString out;
    for (int i = 0; i < cells.size(); ++i) out += padToWidth(cells.at(i), kListWidths[i]);
    return out;
}

}  // namespace

QString slipDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyy'年'M'月'd'日'"));
}

int displayWidth(const QString& text) {
    int width = 0;
    for (const char32_t c : text.toUcs4()) width += c < 0x80 ? 1 : 2;
    return width;
}

QString padToWidth(const QString& text, int width) {
    const int missing = width - displayWidth(text);
    return missing > 0 ? text + QString(missing, QLatin1Char(' ')) : text;
}

QString transferListHeader() {
    return listLine({QStringLiteral("调拨号"), QStringLiteral("资产序号"),
                     QStringLiteral("资产编号"), QStringLiteral("资产名称"),
                     QStringLiteral("资产类别"), QStringLiteral("资产型号")});
}

QString transferListLine(int n, const TransferredAsset& asset) {
    return listLine({QString::number(n), QString::number(asset.serial), asset.number, asset.name,
                     asset.category, asset.model});
}

SlipTexts loanSlip(const LoanSlipData& loan) {
    SlipTexts t;
    t.title = QStringLiteral("固定资产借用单");
    t.organisation = loan.organisation;
    t.paragraph =
        kIndent + QStringLiteral("由于工作需要，准予") + loan.place + loan.borrower +
        QStringLiteral("借用以下固定资产。借用人有责任保管好借用物品，") +
        (loan.plannedReturn.isValid() ? QStringLiteral("并在") + slipDate(loan.plannedReturn) +
                                            QStringLiteral("之前归还入库。")
                                      : QStringLiteral("并在使用完毕后及时归还入库。"));
    t.serial = QStringLiteral("固定资产序号：") + QString::number(loan.serial);
    t.number = QStringLiteral("固定资产编号：") + loan.number.trimmed();
    t.name = QStringLiteral("固定资产名称：") + loan.name.trimmed();
    t.model = modelLine(loan.model);
    if (!loan.configuration.trimmed().isEmpty())
        t.configuration = QStringLiteral("固定资产配置：") + loan.configuration;
    t.upperLeft = QStringLiteral("出借人：") + loan.lender.trimmed();
    t.lowerLeft = QStringLiteral("批复人：") + loan.approver.trimmed();
    t.signature = QStringLiteral("借用人签名：");
    t.date = slipDate(loan.today);
    return t;
}

SlipTexts transferSlip(const TransferSlipData& transfer) {
    SlipTexts t;
    t.title = QStringLiteral("固定资产调拨单");
    t.organisation = transfer.organisation;
    t.paragraph = kIndent + QStringLiteral("由于工作需要，兹将原先由") + transfer.fromPlace +
                  custodianPart(transfer.fromPlace, transfer.fromCustodian) +
                  QStringLiteral("保管的以下固定资产，调拨给") + transfer.toPlace +
                  custodianPart(transfer.toPlace, transfer.toCustodian) +
                  QStringLiteral("保管。望双方做好交接工作。");
    t.serial = QStringLiteral("固定资产序号：") + QString::number(transfer.serial);
    t.number = QStringLiteral("固定资产编号：") + transfer.number.trimmed();
    t.name = QStringLiteral("固定资产名称：") + transfer.name.trimmed();
    t.model = modelLine(transfer.model);
    t.lowerLeft = QStringLiteral("操作员：") + transfer.operatorName;
    t.signature = QStringLiteral("新保管人签名：");
    t.date = slipDate(transfer.today);
    return t;
}

SlipTexts batchTransferSlip(const BatchTransferData& batch) {
    SlipTexts t;
    t.title = QStringLiteral("固定资产调拨单");
    t.organisation = batch.organisation;
    t.paragraph = kIndent + QStringLiteral("由于工作需要，兹将下列固定资产") +
                  QString::number(batch.selectedCount) + QStringLiteral("件，调拨给") +
                  batch.target + custodianPart(batch.target, batch.custodian) +
                  QStringLiteral("保管。望双方做好交接工作。");
    t.lowerLeft = QStringLiteral("操作员：") + batch.operatorName;
    t.signature = QStringLiteral("新保管人签名：");
    t.date = slipDate(batch.today);
    QStringList lines{QStringLiteral("调拨资产清单："), QString(), transferListHeader()};
    int n = 0;
    for (const TransferredAsset& asset : batch.assets) lines << transferListLine(++n, asset);
    t.list = lines.join(QLatin1Char('\n'));
    t.layout = SlipLayout::Batch;
    return t;
}

}  // namespace fx::report
