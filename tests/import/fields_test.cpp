#include <gtest/gtest.h>

#include "importfields.h"

namespace fx::import {
namespace {

TEST(ImportFields, CaptionsAndTheirSynonyms) {
    const struct {
        const char* caption;
        Field field;
    } cases[] = {
        {"资产名称", Field::Name},
        {"名称", Field::Name},
        {"规格型号", Field::Model},
        {"型号", Field::Model},
        {"原值", Field::Price},
        {"金额", Field::Price},
        {"购买价格", Field::Price},
        {"取得日期", Field::PurchaseDate},
        {"购置日期", Field::PurchaseDate},
        {"购买日期", Field::PurchaseDate},
        {"存放地点", Field::Location},
        {"位置", Field::Location},
        {"位置(使用者)", Field::Location},
        {"使用人", Field::User},
        {"使用者", Field::User},
        {"责任人", Field::Custodian},
        {"保管人", Field::Custodian},
        {"资产编号", Field::AssetNumber},
        {"编号", Field::AssetNumber},
        {"类别", Field::Category},
        {"资产类别", Field::Category},
        {"使用年限", Field::Life},
        {"年限", Field::Life},
        {"是否报废", Field::Scrapped},
        {" 名　称：", Field::Name},
        {"序号", Field::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fieldForCaption(QString::fromUtf8(c.caption)), c.field) << c.caption;
    EXPECT_EQ(fieldForName(QStringLiteral("zclb")), Field::Category);
    EXPECT_EQ(fieldForName(QStringLiteral("原值")), Field::Price);
}

TEST(ImportFields, TheHeaderIsTheFirstRowOfKnownCaptions) {
    const std::vector<SheetRow> rows = {
        {1, {QStringLiteral("某单位资产清单")}},
        {2, {QStringLiteral("制表：张三"), QStringLiteral("2024年")}},
        {3,
         {QStringLiteral("序号"), QStringLiteral("资产名称"), QStringLiteral("类别"),
          QStringLiteral("名称")}},
    };
    EXPECT_EQ(findHeaderRow(rows), 2);
    // A second column of the same meaning is ignored.
    EXPECT_EQ(mapHeader(rows[2].cells),
              (std::vector<Field>{Field::None, Field::Name, Field::Category, Field::None}));
    EXPECT_EQ(findHeaderRow({{1, {QStringLiteral("甲"), QStringLiteral("乙")}}}), -1);
}

}  // namespace
}  // namespace fx::import
