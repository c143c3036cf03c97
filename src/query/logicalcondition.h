#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace fx::query {

// The kinds of field the logical query offers; the kind decides the operators and the checks.
enum class FieldKind { Text, Decimal, Integer, Date, Flag, StorageMode };

struct LogicalField {
    const char* caption;
    const char* column;
    FieldKind kind;
};

// The fields of the logical query, in list order (the lists add one empty entry after them).
const std::vector<LogicalField>& logicalFields();
// The field of a caption; nullptr for the empty entry or an unknown caption.
const LogicalField* logicalField(const QString& caption);
// The operators of a kind, in list order (without the empty entry rows 2 to 6 add).
QStringList operatorsFor(FieldKind kind);

// The value checks made when a value box is left.
// A decimal number: digits with at most one decimal point, an optional sign.
bool isDecimalNumber(const QString& text);
// A whole number, an optional sign.
bool isWholeNumber(const QString& text);
// A date written year-month-day ("2005-4-3"), with a two-digit year in the current century
// ("05-4-3") or as month-day of the current year ("4-3"); nullopt when it is no valid date.
std::optional<QDate> parseConditionDate(const QString& text, const QDate& today);

// The messages of the checks (title "警告", warning icon).
QString decimalMessage();
QString dateMessage();
QString integerMessage();
QString incompleteMessage();

// One row's condition: column, operator and value. Text values go between quotes with their
// apostrophes doubled; numbers and dates must have passed their checks (a date in its
// yyyy-mm-dd form). nullopt when the row is incomplete (no operator, or an empty value for an
// operator that needs one) or its value fails its check.
std::optional<QString> rowCondition(const LogicalField& field, const QString& op,
                                    const QString& value);

}  // namespace fx::query
