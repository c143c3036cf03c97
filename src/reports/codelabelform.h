#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "datasource.h"
#include "report.h"

// Labels a scanner reads: the QR-code label (format 5), the barcode label (format 6) and the
// place label, printed as sheets on A4 or one label a page on a label printer.
namespace fx::reports {

// What a place label's code holds before the place's name: scanning it names the place being
// checked in a stocktake.
inline const QString kPlaceCodePrefix = QStringLiteral("位置:");

enum class CodeLabel {
    QrCode,  // "5. 二维码标签（50×30毫米）": QR code, asset number, name, organisation
    Barcode,  // "6. 条形码标签（60×40毫米）": Code 128 with the number under it, name, model, date
    Place,  // a place's name behind kPlaceCodePrefix as a QR code (50 x 30 mm)
};

struct CodeLabelOptions {
    CodeLabel kind = CodeLabel::QrCode;
    bool labelPrinter = false;  // one label a page, the page the label's size; else A4 sheets
    QString organisation;       // the owner's name (username.user)
    // Printing the asset on the card: the asset number from the card's number box, since the
    // card's record carries no composed number. nullopt for a list of query rows (field bh).
    std::optional<QString> cardNumber;
};

// The label form for the options. Asset labels read the fields bh, sbmc, sbxh and gmrq (an
// asset query row or the card's record); place labels read wz (placeRows).
report::Report codeLabelReport(const CodeLabelOptions& options);

// The rows of place labels: one a place, in the given order, with the field wz.
report::MemoryDataSource placeRows(const QStringList& places);

}  // namespace fx::reports
