#include <gtest/gtest.h>

#include <QDate>

#include "testreports.h"
#include "value.h"

using fx::report::formatNumeric;
using fx::report::numberText;
using fx::report::Value;

namespace {

QString fmt(double v, const char* format = "0.00") {
    return formatNumeric(QString::fromUtf8(format), v);
}

}  // namespace

TEST(FormatNumeric, TwoDecimalsRoundHalfAwayFromZero) {
    EXPECT_EQ(fmt(205.8333333333), QStringLiteral("205.83"));
    EXPECT_EQ(fmt(205.836), QStringLiteral("205.84"));
    EXPECT_EQ(fmt(0.125), QStringLiteral("0.13"));
    EXPECT_EQ(fmt(-0.125), QStringLiteral("-0.13"));
    EXPECT_EQ(fmt(2.5, "0"), QStringLiteral("3"));
    EXPECT_EQ(fmt(-2.5, "0"), QStringLiteral("-3"));
    // 1.005 is stored as 1.00499999999999989...; its decimal form is what the user typed.
    EXPECT_EQ(fmt(1.005), QStringLiteral("1.01"));
    EXPECT_EQ(fmt(0.004), QStringLiteral("0.00"));
    EXPECT_EQ(fmt(0.008), QStringLiteral("0.01"));
}

TEST(FormatNumeric, PadsDecimalsAndKeepsWholeNumbers) {
    EXPECT_EQ(fmt(1000), QStringLiteral("1000.00"));
    EXPECT_EQ(fmt(0), QStringLiteral("0.00"));
    EXPECT_EQ(fmt(7.1), QStringLiteral("7.10"));
    EXPECT_EQ(fmt(0.994), QStringLiteral("0.99"));
    EXPECT_EQ(fmt(0.995), QStringLiteral("1.00"));
    EXPECT_EQ(fmt(99.995), QStringLiteral("100.00"));
    EXPECT_EQ(fmt(9999999.999), QStringLiteral("10000000.00"));
}

TEST(FormatNumeric, MinusSignButNoNegativeZero) {
    EXPECT_EQ(fmt(-794.1666), QStringLiteral("-794.17"));
    EXPECT_EQ(fmt(-0.001), QStringLiteral("0.00"));
    EXPECT_EQ(fmt(-0.005), QStringLiteral("-0.01"));
}

TEST(FormatNumeric, NoThousandsSeparatorUnlessAsked) {
    EXPECT_EQ(fmt(1234567.891), QStringLiteral("1234567.89"));
    EXPECT_EQ(fmt(1234567.891, "#,##0.00"), QStringLiteral("1,234,567.89"));
    EXPECT_EQ(fmt(-1234.5, "#,##0.00"), QStringLiteral("-1,234.50"));
}

TEST(FormatNumeric, OtherPatterns) {
    EXPECT_EQ(fmt(3.14159, "0.000"), QStringLiteral("3.142"));
    EXPECT_EQ(fmt(3.1, "0.0#"), QStringLiteral("3.1"));
    EXPECT_EQ(fmt(3.146, "0.0#"), QStringLiteral("3.15"));
    EXPECT_EQ(fmt(7, "000"), QStringLiteral("007"));
    EXPECT_EQ(fmt(12.5, "¥0.00元"), QStringLiteral("¥12.50元"));
    EXPECT_EQ(fmt(1e-20), QStringLiteral("0.00"));
    EXPECT_EQ(fmt(1e20, "0"), QStringLiteral("100000000000000000000"));
}

TEST(NumberText, WholeAndFractionalNumbers) {
    EXPECT_EQ(numberText(3), QStringLiteral("3"));
    EXPECT_EQ(numberText(-12), QStringLiteral("-12"));
    EXPECT_EQ(numberText(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(numberText(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(numberText(205.83333333333334), QStringLiteral("205.833333333333"));
    EXPECT_EQ(numberText(-0.25), QStringLiteral("-0.25"));
}

TEST(ValueConversion, FromVariant) {
    EXPECT_TRUE(Value::fromVariant(QVariant()).isNull());
    EXPECT_EQ(Value::fromVariant(QVariant(42)), Value::number(42));
    EXPECT_EQ(Value::fromVariant(QVariant(true)), Value::boolean(true));
    EXPECT_EQ(Value::fromVariant(QVariant(QDate(2003, 5, 6))),
              Value::text(QStringLiteral("2003-05-06")));
    EXPECT_EQ(Value::fromVariant(QVariant(QStringLiteral("电脑"))),
              Value::text(QStringLiteral("电脑")));
}

TEST(ValueConversion, TruthAndNumbers) {
    EXPECT_TRUE(Value::number(-1).toBool());
    EXPECT_FALSE(Value::number(0).toBool());
    EXPECT_TRUE(Value::text(QStringLiteral("1")).toBool());
    EXPECT_TRUE(Value::text(QStringLiteral("True")).toBool());
    EXPECT_FALSE(Value::text(QStringLiteral("0")).toBool());
    EXPECT_FALSE(Value::text(QStringLiteral("否")).toBool());
    EXPECT_FALSE(Value().toBool());
    EXPECT_DOUBLE_EQ(Value::text(QStringLiteral(" 12.5 ")).toNumber(), 12.5);
    EXPECT_DOUBLE_EQ(Value::text(QStringLiteral("abc")).toNumber(), 0);
    EXPECT_EQ(Value().toText(), QString());
    EXPECT_EQ(Value::number(2.5).toText(), QStringLiteral("2.5"));
}
