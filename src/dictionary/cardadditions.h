#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace fx {
class AppState;
}

namespace fx::dictionary {

// Additions of items typed on the asset card that the dictionary does not hold yet. Each asks
// for what its kind needs (the attribute dialog TxzDlg in the kind's form, or the configuration
// dialog TinputpzDlg), then writes the row at once, before and independently of saving the
// asset. The dialogs have no cancel, so an addition that starts is made; only a person can fail
// to be added (no department to put them in). Errors of the engine throw db::DbError with
// nothing written.

// A category: residual rate and number prefix (rate form). Returns the prefix.
QString addCategoryFromCard(QWidget* parent, AppState& state, const QString& category);

// A name of a category: storage mode and prefix (storage form, the prefix preset to the
// category's). Returns true when its assets are kept at a place, false when by a person.
bool addNameFromCard(QWidget* parent, AppState& state, const QString& name,
                     const QString& category);

// A use of a category: no dialog.
void addUseFromCard(AppState& state, const QString& use, const QString& category);

// A model of a name: its configuration (TinputpzDlg, taken whichever button closed it).
// Returns the configuration, which the card puts into its configuration field.
QString addModelFromCard(QWidget* parent, AppState& state, const QString& model,
                         const QString& name);

// A place: is it a department (department question form)?
void addLocationFromCard(QWidget* parent, AppState& state, const QString& place);

// A person: the department they belong to (department choice form). Without any department the
// user is told to define one first and nothing is added: returns nullopt then, else the
// department.
std::optional<QString> addPersonFromCard(QWidget* parent, AppState& state, const QString& person);

// A service life: how many monthly periods it stands for (months form).
void addLifeFromCard(QWidget* parent, AppState& state, const QString& life);

}  // namespace fx::dictionary
