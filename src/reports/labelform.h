#pragma once

#include <optional>

#include <QString>

#include "datasource.h"
#include "report.h"

// Asset labels: small framed cards stuck on the assets, many to an A4 sheet, one per asset,
// in four formats.
namespace fx::reports {

struct LabelOptions {
    int format = 1;                 // 1 to 4
    bool numberAsIdentity = false;  // "编号作为唯一标识": the first line shows bh, not ID1
    bool ownership = false;         // "显示单位所有权": the last line names the owner
    QString organisation;           // the owner's name (username.user)
    // Printing the asset on the card: the asset number from the card's number box, since the
    // card's record carries no composed number. nullopt for a list of query rows (field bh).
    std::optional<QString> cardNumber;
};

// Format 4 and "编号作为唯一标识" exclude each other: the box counts only for formats 1 to 3.
bool identityIsNumber(const LabelOptions& options);

// The card form for the options, to be run over LabelRows. Rows need the fields ID1, bh, wz, sbxh,
// sbmc, zclb, gmrq, sbpz, other and bgr (an asset query row or the card's record).
report::Report labelReport(const LabelOptions& options);

// The rows a label sheet prints: the given rows, with the boxed texts (category and
// configuration) broken into lines by wrapAtGbkBytes. The cards break there rather than where
// the box happens to be full, so a long configuration always reads 17, 18 and the rest.
class LabelRows : public report::DataSource {
public:
    explicit LabelRows(const report::DataSource& rows);
    int count() const override { return rows_.count(); }
    int fieldIndex(const QString& name) const override { return rows_.fieldIndex(name); }
    QVariant value(int row, int field) const override;
    using DataSource::value;

private:
    const report::DataSource& rows_;
    int category_;
    int configuration_;
};

// The boxed texts (category, configuration) get a separator (a space) where they may wrap: before
// the 35th and 71st byte of their GBK form (counted as the text grows) when that byte begins a
// Chinese character, otherwise after it, so that no character is split. Texts of 35 bytes or fewer
// are unchanged. Every character outside ASCII counts as the two bytes GBK gives it.
QString wrapAtGbkBytes(const QString& text, QChar separator = QLatin1Char(' '));

}  // namespace fx::reports
