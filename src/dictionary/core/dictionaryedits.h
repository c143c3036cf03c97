#pragma once

#include <QString>
#include <QStringList>

#include "itemkind.h"

namespace fx::db {
class Connection;
}

namespace fx::history {
class ChangeRecorder;
}

namespace fx::dictionary {

// One item of the dictionary, located as the tree locates it.
struct ItemRef {
    ItemKind kind = ItemKind::None;
    QString text{};      // the item's text (before a rename)
    QString category{};  // names and uses: the category they belong to
    QString name{};      // models: the name they belong to
};

// The attributes of an item, as the maintenance window shows and edits them.
struct Attributes {
    int number = 0;         // cz of a category (percent), yue of a service life (months)
    QString prefix;         // title of a category, bht of a name
    QString configuration;  // sbpz of a model
    bool flag = false;      // wzorgr of a name (true: kept at a location), isbm of a location
    QString department;     // bm of a user
    bool found = false;     // false when the item's row is missing (empty or false attributes)
};

// Why a change was not made: the message, and whether it is shown as a warning (otherwise as an
// information box). Nothing was written when a change is refused.
struct Refusal {
    QString text;
    bool warning = false;
    bool refused() const { return !text.isEmpty(); }
};

// Reads an item's attributes with the statements the window has always used. A name is looked
// up by its text; when several categories hold it, the row of item.category supplies the
// attributes (the first row when none is of that category).
Attributes loadAttributes(db::Connection& c, const ItemRef& item);

// The places marked as departments ("select * from wzb where isbm"), in table order.
QStringList departments(db::Connection& c);

// The default number prefix (`title`) of a category; empty when it has no row.
QString categoryPrefix(db::Connection& c, const QString& category);

// Renames item to newText and stores its attributes, carrying the new text into every asset and
// dependent dictionary row that holds the old one. before holds the attributes as they were when
// the modification began (a name's storage mode decides what happens to its assets' places).
// All statements run in one transaction: a refused statement throws db::DbError and leaves
// nothing of the change applied.
// With a recorder (begun by the caller), every asset the rename is carried into gets its
// "字典改名" row with the fields changed, and the item its own row (serial 0).
Refusal modifyItem(db::Connection& c, const ItemRef& item, const QString& newText,
                   const Attributes& now, const Attributes& before,
                   history::ChangeRecorder* recorder = nullptr);

// Adds an item of item.kind (with item.category or item.name for names, uses and models) under
// newText. siblings are the texts beside which it would stand in the tree: categories and models
// are refused when a sibling has the same text; the others are checked in their tables.
Refusal addItem(db::Connection& c, const ItemRef& item, const QString& newText,
                const Attributes& attributes, const QStringList& siblings);

// Deletes an item, refused while an asset still uses it (models and uses are deleted without that
// check). A category takes its names and uses with it, but their models stay. One transaction.
Refusal deleteItem(db::Connection& c, const ItemRef& item);

}  // namespace fx::dictionary
