#include "cardadditions.h"

#include "appstate.h"
#include "connection.h"
#include "dictionaryedits.h"
#include "dictionaryrows.h"
#include "modal.h"
#include "tinputpzdlg.h"
#include "txzdlg.h"

namespace fx::dictionary {

namespace {

// Each addition is committed at once, before and independently of saving the asset.
template <typename Write>
void write(AppState& state, Write insert) {
    db::Transaction transaction(*state.current);
    insert(*state.current);
    transaction.commit();
}

}  // namespace

QString addCategoryFromCard(QWidget* parent, AppState& state, const QString& category) {
    TxzDlg dialog(TxzDlg::Form::Rate, state.theme, parent);
    ui::runModal(dialog);
    write(state, [&](db::Connection& c) {
        insertCategory(c, category, dialog.prefix(), dialog.number());
    });
    return dialog.prefix();
}

bool addNameFromCard(QWidget* parent, AppState& state, const QString& name,
                     const QString& category) {
    TxzDlg dialog(TxzDlg::Form::Storage, state.theme, parent);
    dialog.setPrefix(categoryPrefix(*state.current, category));
    ui::runModal(dialog);
    const bool atPlace = !dialog.byUser();
    write(state,
          [&](db::Connection& c) { insertName(c, name, category, dialog.prefix(), atPlace); });
    return atPlace;
}

void addUseFromCard(AppState& state, const QString& use, const QString& category) {
    write(state, [&](db::Connection& c) { insertUse(c, use, category); });
}

QString addModelFromCard(QWidget* parent, AppState& state, const QString& model,
                         const QString& name) {
    TinputpzDlg dialog(state.theme, parent);
    ui::runModal(dialog);
    const QString configuration = dialog.configuration();
    write(state, [&](db::Connection& c) { insertModel(c, model, name, configuration); });
    return configuration;
}

void addLocationFromCard(QWidget* parent, AppState& state, const QString& place) {
    TxzDlg dialog(TxzDlg::Form::DepartmentQuestion, state.theme, parent);
    ui::runModal(dialog);
    write(state, [&](db::Connection& c) { insertLocation(c, place, dialog.isDepartment()); });
}

std::optional<QString> addPersonFromCard(QWidget* parent, AppState& state, const QString& person) {
    const std::optional<QString> department = chooseDepartment(parent, *state.current, state.theme);
    if (!department) return std::nullopt;
    write(state, [&](db::Connection& c) { insertPerson(c, person, *department); });
    return department;
}

void addLifeFromCard(QWidget* parent, AppState& state, const QString& life) {
    TxzDlg dialog(TxzDlg::Form::Months, state.theme, parent);
    ui::runModal(dialog);
    write(state, [&](db::Connection& c) { insertLife(c, life, dialog.number()); });
}

}  // namespace fx::dictionary
