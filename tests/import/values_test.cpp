#include <gtest/gtest.h>

#include "importvalues.h"
#include "pinyinprefix.h"

namespace fx::import {
namespace {

TEST(ImportValues, EveryDateForm) {
    const struct {
        const char* text;
        QDate date;
    } cases[] = {
        {"43845", QDate(2020, 1, 15)},
        {"2020-01-15", QDate(2020, 1, 15)},
        {"2020/1/15", QDate(2020, 1, 15)},
        {"2020.1.15", QDate(2020, 1, 15)},
        {"2020年1月15日", QDate(2020, 1, 15)},
        {"20200115", QDate(2020, 1, 15)},
        {"２０２０－０１－１５", QDate(2020, 1, 15)},
        {" 2020-1-5 08:30:00 ", QDate(2020, 1, 5)},
        {"2020年 1月 15日", QDate(2020, 1, 15)},
    };
    for (const auto& c : cases) {
        const std::optional<QDate> d = parseDate(QString::fromUtf8(c.text));
        ASSERT_TRUE(d.has_value()) << c.text;
        EXPECT_EQ(*d, c.date) << c.text;
    }
    for (const char* bad : {"2020-02-30", "15/01/2020", "明年", "2020-13-01", "1.5", ""})
        EXPECT_FALSE(parseDate(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(ImportValues, EveryPriceForm) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"1234.5", 1234.5},
        {"1,234.50", 1234.5},
        {"¥1,234.50", 1234.5},
        {"￥ 850", 850},
        {"850元", 850},
        {"１２３４．５", 1234.5},
        {"", 0},
        {"RMB 12,345,678", 12345678},
        {".5", 0.5},
    };
    for (const auto& c : cases) {
        const std::optional<double> v = parsePrice(QString::fromUtf8(c.text));
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
    }
    for (const char* bad : {"12,34", "一千元", "-5", "1.2.3", "12a"})
        EXPECT_FALSE(parsePrice(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(ImportValues, TextsAreTrimmedAndKeepLineBreaksOnlyInRemarks) {
    EXPECT_EQ(cleanText(QStringLiteral("\u3000 联想 M720 \t")), QStringLiteral("联想 M720"));
    EXPECT_EQ(cleanText(QStringLiteral("'0012")), QStringLiteral("0012"));
    EXPECT_EQ(cleanText(QStringLiteral("O'Brien")), QStringLiteral("O'Brien"));
    EXPECT_EQ(cleanText(QStringLiteral("第一行 \r\n 第二行")), QStringLiteral("第一行 第二行"));
    EXPECT_EQ(cleanText(QStringLiteral(" 第一行 \r\n 第二行\n"), true),
              QStringLiteral("第一行\n第二行"));
}

TEST(ImportValues, YesNo) {
    for (const char* yes : {"是", "TRUE", "已报废", "1", "y"})
        EXPECT_EQ(parseYesNo(QString::fromUtf8(yes)), std::optional<bool>(true)) << yes;
    for (const char* no : {"否", "FALSE", "", "0", "未报废"})
        EXPECT_EQ(parseYesNo(QString::fromUtf8(no)), std::optional<bool>(false)) << no;
    EXPECT_FALSE(parseYesNo(QStringLiteral("也许")).has_value());
}

TEST(ImportValues, MonthsOfAServiceLife) {
    const struct {
        const char* text;
        int months;
    } cases[] = {{"5年", 60}, {"60个月", 60}, {"6个月", 6},    {"2年6个月", 30},
                 {"5", 60},   {"十年", 120},  {"２０年", 240}, {"十五年", 180},
                 {"长期", 0}, {"200年", 0},   {"0年", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(lifeMonths(QString::fromUtf8(c.text)), c.months) << c.text;
}

TEST(PinyinPrefix, InitialsOfTheSyllables) {
    EXPECT_EQ(pinyinPrefix(QStringLiteral("电脑")), QStringLiteral("DN"));
    EXPECT_EQ(pinyinPrefix(QStringLiteral("办公家具")), QStringLiteral("BGJJ"));
    EXPECT_EQ(pinyinPrefix(QStringLiteral("PC机")), QStringLiteral("PJ"));
    EXPECT_EQ(pinyinPrefix(QStringLiteral("中华人民共和国国务院办公厅")),
              QStringLiteral("ZHRMGHGG"));
    EXPECT_EQ(pinyinPrefix(QStringLiteral("123")), QStringLiteral("ZC"));
}

}  // namespace
}  // namespace fx::import
