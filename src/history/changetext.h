#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace fx::history {

// One field of a change, with its value before and after, as the user reads them.
struct FieldChange {
    QString field;  // the column (sbjl's zclb, sbmc, ...), or a caption for other records
    QString before;
    QString after;
    bool operator==(const FieldChange&) const = default;
};

// The caption of a register column as the card and the lists name it ("资产类别" for zclb);
// other names are given back unchanged.
QString fieldCaption(const QString& field);
// A stored value as the change history shows it: dates as yyyy-mm-dd, yes/no as 是/否, numbers
// without a needless fraction, null as an empty text.
QString valueText(const QVariant& value);
// The text stored for a change: "caption：before → after" per field, joined by "；".
QString changesText(const QList<FieldChange>& changes);

}  // namespace fx::history
