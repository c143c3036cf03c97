#pragma once

#include <QString>

#include "report.h"

namespace fx::report {

// How the slip form is arranged. A batch transfer slip lists its assets below the paragraph
// instead of describing one asset, so its title band is 200 px shorter and the operator, the
// signature and the date move up into the room the asset lines leave.
enum class SlipLayout { Standard, Batch };

// The texts of one slip, item by item of the form. An empty text prints nothing.
struct SlipTexts {
    QString title;          // report title, printed by QRSysData1 ("固定资产借用单")
    QString organisation;   // QRLabel7, above the title
    QString paragraph;      // QRRichText1, the slip's wording
    QString serial;         // QRLabel2 "固定资产序号：…"
    QString number;         // QRLabel3 "固定资产编号：…"
    QString name;           // QRLabel4 "固定资产名称：…"
    QString model;          // QRLabel5 "固定资产型号：…"
    QString configuration;  // QRRichText2 "固定资产配置：…"
    QString upperLeft;      // QRLabel9: the lender line of a loan
    QString lowerLeft;      // QRLabel8: the approver or the operator
    QString signature;      // QRLabel6: where the receiving party signs
    QString date;           // QRLabel1: the day the slip is made
    QString list;           // QRRichText3 in the child band: lines of a batch, "\n" between
    SlipLayout layout = SlipLayout::Standard;
};

// The slip form used for borrowing and transfer slips: A4 portrait with 10 mm margins, one
// title band 531 px high and 718 px wide holding every item at its designed place, a child
// band with the stretching list, and an empty detail band. The report runs over an empty data
// source (MemoryDataSource) and gives one page unless a long list runs on.
Report slipReport(const SlipTexts& texts);

}  // namespace fx::report
