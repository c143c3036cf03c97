#include "cardcheck.h"

namespace fx::dictionary {

namespace {

const QString kMustBeListed = QStringLiteral(
    " 不在数据字典中，系统的设置是[输入内容必须已在数据字典中],所以您必须重新输入。");

}  // namespace

Unlisted onUnlisted(CardField field, int policy) {
    switch (policy) {
        case 1:
            return Unlisted::Add;
        case 2:
            return Unlisted::Refuse;
        case 3:
            return cancelClears(field) ? Unlisted::Ask : Unlisted::Keep;
        default:
            return Unlisted::Ask;
    }
}

bool cancelClears(CardField field) {
    switch (field) {
        case CardField::Category:
        case CardField::Name:
        case CardField::User:
        case CardField::Life:
            return true;
        case CardField::Use:
        case CardField::Model:
        case CardField::Location:
            return false;
    }
    return false;
}

QString refusalText(CardField field, const QString& value, const QString& owner) {
    switch (field) {
        case CardField::Category:
            return QStringLiteral("资产类别：") + value + kMustBeListed;
        case CardField::Name:
            return QStringLiteral(
                       "%1 不在%2的数据字典中，系统的设置是[输入内容必须已在数据字典中],"
                       "所以您必须重新输入。")
                .arg(value, owner);
        case CardField::Use:
            return QStringLiteral(
                       "用途：%1 不在%2的数据字典中，系统的设置是[输入内容必须已在数据字"
                       "典中],所以您必须重新输入。")
                .arg(value, owner);
        case CardField::Model:
            return QStringLiteral(
                       "型号：%1 不在%2的数据字典中，系统的设置是[输入内容必须已在数据字"
                       "典中],所以您必须重新输入。")
                .arg(value, owner);
        case CardField::Location:
        case CardField::User:
            return owner + value + kMustBeListed;
        case CardField::Life:
            return QStringLiteral("使用年限：") + value + kMustBeListed;
    }
    return QString();
}

QString questionText(CardField field, const QString& value, const QString& owner) {
    switch (field) {
        case CardField::Category:
            return QStringLiteral("资产类别：") + value +
                   QStringLiteral(
                       " 不在数据字典中，该栏必须为字典中已存在内容，要把它加入字典吗？"
                       "按［确认］加入，按［取消］重新录入。");
        case CardField::Name:
            return QStringLiteral(
                       "%1 不在%2的数据字典中，该栏必须为字典中已存在内容，要把它加入字典"
                       "吗？按［确认］加入，按［取消］重新录入。")
                .arg(value, owner);
        case CardField::Use:
            return QStringLiteral("用途：%1 不在%2的数据字典中，把它加入数据字典吗？")
                .arg(value, owner);
        case CardField::Model:
            return QStringLiteral("型号：%1 不在%2的数据字典中，把它加入数据字典吗？")
                .arg(value, owner);
        case CardField::Location:
            return owner + value + QStringLiteral(" 不在数据字典中，把它加入数据字典吗？");
        case CardField::User:
            return value + QStringLiteral(
                               " 不在数据字典中，，且该栏必须为字典中已存在内容，按［确认］"
                               "把它加入数据字典，按［取消］重新录入。");
        case CardField::Life:
            return QStringLiteral("使用年限：") + value +
                   QStringLiteral(
                       " 不在数据字典中，且该栏必须为字典中已存在内容，按［确认］把它加入"
                       "数据字典，按［取消］重新录入。");
    }
    return QString();
}

}  // namespace fx::dictionary
