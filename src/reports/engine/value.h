#pragma once

#include <QString>
#include <QVariant>

namespace fx::report {

// A value of the expression language: nothing, a number, a text or a truth value. Field
// values arrive as QVariant and are converted once when read.
class Value {
public:
    enum class Type { Null, Number, Text, Bool };

    Value() = default;
    static Value number(double v);
    static Value text(const QString& v);
    static Value boolean(bool v);
    // Converts a field value: numbers and truth values keep their type, dates become
    // "yyyy-MM-dd" text, a null or invalid variant becomes Null, anything else text.
    static Value fromVariant(const QVariant& v);

    Type type() const { return type_; }
    bool isNull() const { return type_ == Type::Null; }
    bool isText() const { return type_ == Type::Text; }

    // Null is 0; a text is read as a number when it is one, else 0; true is 1.
    double toNumber() const;
    // Null is empty; numbers print without trailing zeros (see numberText).
    QString toText() const;
    // Numbers are true when not 0; a text is true when it reads as a non-zero number or
    // as "true"/"yes"; Null is false.
    bool toBool() const;

    friend bool operator==(const Value& a, const Value& b);

private:
    Type type_ = Type::Null;
    double number_ = 0;
    bool bool_ = false;
    QString text_;
};

// A number as text, as the expression language joins it to a text: whole numbers without a
// decimal point ("3"), others with up to fifteen significant digits ("0.5", "205.8333").
QString numberText(double v);

// Formats `v` by a numeric format of the '0.00' kind: the '0' and '#' after the point give
// the decimals (a '0' always printed, a '#' only when not zero), the '0's before it the least
// number of integer digits, a ',' there asks for thousands separators; text before and after
// the digits is kept. Rounds half away from zero on the value's decimal form (fifteen
// significant digits, so 1.005 gives 1.01), writes a minus sign for negative values (not for
// one that rounds to zero) and never uses exponents. An empty format prints like numberText.
QString formatNumeric(const QString& format, double v);

}  // namespace fx::report
