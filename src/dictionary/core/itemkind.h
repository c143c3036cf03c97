#pragma once

#include <QString>

namespace fx::dictionary {

// What a node of the dictionary tree stands for. Fixed nodes carry their own bracketed text;
// an item's kind follows from the text of its parent.
enum class ItemKind { None, Category, Name, Model, Use, Location, User, Life, Source };

// The ten fixed node texts.
inline const QString kRootNode = QStringLiteral("[数据字典]");
inline const QString kCategoriesNode = QStringLiteral("[资产类别]");
inline const QString kStorageNode = QStringLiteral("[存放]");
inline const QString kUsersNode = QStringLiteral("[使用者]");
inline const QString kLocationsNode = QStringLiteral("[位置]");
inline const QString kUsesNode = QStringLiteral("[用途]");
inline const QString kNamesNode = QStringLiteral("[名称]");
inline const QString kModelsNode = QStringLiteral("[型号]");
inline const QString kLivesNode = QStringLiteral("[使用年限]");
inline const QString kSourcesNode = QStringLiteral("[来源方式]");

// The person every installation holds; it can be neither renamed nor deleted.
inline const QString kUnassigned = QStringLiteral("未分配");

// True for the texts of the ten fixed nodes: any node with such a text counts as fixed.
bool isFixedNodeText(const QString& text);

// The kind of the items held by a node with this text (the kind of an item is that of its
// parent's text); None when the text is not one of the eight list nodes.
ItemKind kindOfChildren(const QString& parentText);

// The card's caption of an item kind ("资产类别", "名称", ...); empty for None.
QString itemCaption(ItemKind kind);

}  // namespace fx::dictionary
