#include <gtest/gtest.h>

#include "cardcheck.h"

namespace {

using namespace fx::dictionary;

TEST(CardCheck, EachPolicyDecidesWhatAnUnlistedValueMeets) {
    // Under "no check" the fields an asset is filed under are still asked about.
    const struct {
        CardField field;
        Unlisted policy3;
    } fields[] = {{CardField::Category, Unlisted::Ask},  {CardField::Name, Unlisted::Ask},
                  {CardField::Use, Unlisted::Keep},      {CardField::Model, Unlisted::Keep},
                  {CardField::Location, Unlisted::Keep}, {CardField::User, Unlisted::Ask},
                  {CardField::Life, Unlisted::Ask}};
    for (const auto& f : fields) {
        SCOPED_TRACE(int(f.field));
        EXPECT_EQ(onUnlisted(f.field, 0), Unlisted::Ask);
        EXPECT_EQ(onUnlisted(f.field, 1), Unlisted::Add);
        EXPECT_EQ(onUnlisted(f.field, 2), Unlisted::Refuse);
        EXPECT_EQ(onUnlisted(f.field, 3), f.policy3);
        EXPECT_EQ(cancelClears(f.field), f.policy3 == Unlisted::Ask);
    }
}

TEST(CardCheck, TextsPutTheirArgumentsInOrder) {
    EXPECT_EQ(refusalText(CardField::Model, QStringLiteral("X9"), QStringLiteral("电脑")),
              QStringLiteral("型号：X9 不在电脑的数据字典中，系统的设置是[输入内容必须已在数据字典"
                             "中],所以您必须重新输入。"));
    EXPECT_EQ(questionText(CardField::Location, QStringLiteral("仓库"), QStringLiteral("位  置：")),
              QStringLiteral("位  置：仓库 不在数据字典中，把它加入数据字典吗？"));
    // A value holding a placeholder is put in as it stands.
    EXPECT_EQ(questionText(CardField::Use, QStringLiteral("%2"), QStringLiteral("家具")),
              QStringLiteral("用途：%2 不在家具的数据字典中，把它加入数据字典吗？"));
}

}  // namespace
