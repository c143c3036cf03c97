#include "itemkind.h"

namespace fx::dictionary {

bool isFixedNodeText(const QString& text) {
    for (const QString* fixed :
         {&kRootNode, &kCategoriesNode, &kStorageNode, &kUsersNode, &kLocationsNode, &kUsesNode,
          &kNamesNode, &kModelsNode, &kLivesNode, &kSourcesNode}) {
        if (text == *fixed) return true;
    }
    return false;
}

ItemKind kindOfChildren(const QString& parentText) {
    if (parentText == kCategoriesNode) return ItemKind::Category;
    if (parentText == kNamesNode) return ItemKind::Name;
    if (parentText == kModelsNode) return ItemKind::Model;
    if (parentText == kUsesNode) return ItemKind::Use;
    if (parentText == kLocationsNode) return ItemKind::Location;
    if (parentText == kUsersNode) return ItemKind::User;
    if (parentText == kLivesNode) return ItemKind::Life;
    if (parentText == kSourcesNode) return ItemKind::Source;
    return ItemKind::None;
}

QString itemCaption(ItemKind kind) {
    switch (kind) {
        case ItemKind::Category:
            return QStringLiteral("资产类别");
        case ItemKind::Name:
            return QStringLiteral("名称");
        case ItemKind::Model:
            return QStringLiteral("型号");
        case ItemKind::Use:
            return QStringLiteral("用途");
        case ItemKind::Location:
            return QStringLiteral("位置");
        case ItemKind::User:
            return QStringLiteral("使用者");
        case ItemKind::Life:
            return QStringLiteral("使用年限");
        case ItemKind::Source:
            return QStringLiteral("来源方式");
        case ItemKind::None:
            break;
    }
    return QString();
}

}  // namespace fx::dictionary
