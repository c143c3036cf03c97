#pragma once

#include <QDate>
#include <QString>
#include <vector>

#include "slipform.h"

// The wording of the borrowing and transfer slips, composed from plain values so that the
// lending and transfer code only gathers the values and hands the result to slipReport().

namespace fx::report {

// A loan as the lending dialog holds it, and the asset as the card shows it.
struct LoanSlipData {
    QString organisation;   // field `user` of the `username` row
    int serial = 0;         // `ID1`
    QString number;         // `bh`
    QString name;           // `sbmc`
    QString model;          // `sbxh`
    QString configuration;  // `sbpz`
    QString lender;         // 出借人
    QString borrower;       // 借用人, as entered
    QString approver;       // 批复人
    QString place;          // 借用地点, as entered
    QDate plannedReturn;    // 拟还日期; invalid when left empty
    QDate today;
};

// One transfer of the asset on the card: the `his` row just written and the card's values.
struct TransferSlipData {
    QString organisation;
    int serial = 0;
    QString number;
    QString name;
    QString model;
    QString fromPlace;      // `swz`: location or user before
    QString fromCustodian;  // `sbgr`
    QString toPlace;        // `owz`: the target
    QString toCustodian;    // `obgr`, possibly empty
    QString operatorName;   // the signed-in user
    QDate today;
};

// One asset of a batch transfer, as its row in the results grid holds it.
struct TransferredAsset {
    int serial = 0;    // `ID1`
    QString number;    // `bh`
    QString name;      // `sbmc`
    QString category;  // `zclb`
    QString model;     // `sbxh`
};

// A batch transfer: the target chosen once for all selected assets, and the assets
// transferred, numbered 1, 2, … in this order on the slip.
struct BatchTransferData {
    QString organisation;
    int selectedCount = 0;  // the number of selected rows, named in the paragraph
    QString target;
    QString custodian;  // possibly empty
    QString operatorName;
    QDate today;
    std::vector<TransferredAsset> assets;
};

// The borrowing slip "固定资产借用单". The paragraph asks for the return by the planned date
// when there is one, else "并在使用完毕后及时归还入库。".
SlipTexts loanSlip(const LoanSlipData& loan);

// The transfer slip "固定资产调拨单" of one asset. A custodian is named in the paragraph only
// when it is not empty and differs from the location or user it goes with.
SlipTexts transferSlip(const TransferSlipData& transfer);

// The batch transfer slip: the paragraph with the number of assets and the target, the asset
// lines left empty, and the list of transferred assets in the child band, in the batch layout.
SlipTexts batchTransferSlip(const BatchTransferData& batch);

// A date as the slips print it: "2026年12月9日".
QString slipDate(const QDate& date);

// Width of a text in display columns of the slip's character set: a character of the ASCII
// range counts one, every other character (Chinese, full-width punctuation) two.
int displayWidth(const QString& text);

// The text followed by blanks up to `width` display columns, as "%-Ns" pads it; a longer text
// is returned whole.
QString padToWidth(const QString& text, int width);

// The heading line of the batch list ("调拨号", "资产序号", …) and the line of the n-th asset,
// each column padded to 10, 10, 15, 20, 20 and 25 display columns.
QString transferListHeader();
QString transferListLine(int n, const TransferredAsset& asset);

}  // namespace fx::report
