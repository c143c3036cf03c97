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

}  // namespace fx::dictionary
