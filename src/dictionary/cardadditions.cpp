#include "cardadditions.h"

#include "appstate.h"
#include "connection.h"
#include "dictionaryedits.h"
#include "modal.h"
#include "quote.h"
#include "tinputpzdlg.h"
#include "txzdlg.h"

namespace fx::dictionary {

namespace {

QString q(const QString& value) {
    return db::quoted(value);
}

QString yesNo(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

void write(AppState& state, const QString& insert) {
    db::Transaction transaction(*state.current);
    state.current->execute(insert);
    transaction.commit();
}

}  // namespace

QString addCategoryFromCard(QWidget* parent, AppState& state, const QString& category) {
    TxzDlg dialog(TxzDlg::Form::Rate, state.theme, parent);
    ui::runModal(dialog);
    write(state, QStringLiteral("insert into sortproc (sort,title,cz) values (") + q(category) +
                     QStringLiteral(",") + q(dialog.prefix()) + QStringLiteral(",") +
                     QString::number(dialog.number()) + QStringLiteral(")"));
    return dialog.prefix();
}

bool addNameFromCard(QWidget* parent, AppState& state, const QString& name,
                     const QString& category) {
    TxzDlg dialog(TxzDlg::Form::Storage, state.theme, parent);
    dialog.setPrefix(categoryPrefix(*state.current, category));
    ui::runModal(dialog);
    const bool atPlace = !dialog.byUser();
    write(state, QStringLiteral("insert into sortb (name,bht,sort,wzorgr) values (") + q(name) +
                     QStringLiteral(",") + q(dialog.prefix()) + QStringLiteral(",") + q(category) +
                     QStringLiteral(",") + yesNo(atPlace) + QStringLiteral(")"));
    return atPlace;
}

void addUseFromCard(AppState& state, const QString& use, const QString& category) {
    write(state, QStringLiteral("insert into ytb (sort,yt) values (") + q(category) +
                     QStringLiteral(",") + q(use) + QStringLiteral(")"));
}

QString addModelFromCard(QWidget* parent, AppState& state, const QString& model,
                         const QString& name) {
    TinputpzDlg dialog(state.theme, parent);
    ui::runModal(dialog);
    const QString configuration = dialog.configuration();
    write(state, QStringLiteral("insert into xhpz (sbmc,sbxh,sbpz) values (") + q(name) +
                     QStringLiteral(",") + q(model) + QStringLiteral(",") + q(configuration) +
                     QStringLiteral(")"));
    return configuration;
}

void addLocationFromCard(QWidget* parent, AppState& state, const QString& place) {
    TxzDlg dialog(TxzDlg::Form::DepartmentQuestion, state.theme, parent);
    ui::runModal(dialog);
    write(state, QStringLiteral("insert into wzb (wz,isbm) values (") + q(place) +
                     QStringLiteral(",") + yesNo(dialog.isDepartment()) + QStringLiteral(")"));
}

std::optional<QString> addPersonFromCard(QWidget* parent, AppState& state, const QString& person) {
    const std::optional<QString> department = chooseDepartment(parent, *state.current, state.theme);
    if (!department) return std::nullopt;
    write(state, QStringLiteral("insert into person (pname,bm) values (") + q(person) +
                     QStringLiteral(",") + q(*department) + QStringLiteral(")"));
    return department;
}

void addLifeFromCard(QWidget* parent, AppState& state, const QString& life) {
    TxzDlg dialog(TxzDlg::Form::Months, state.theme, parent);
    ui::runModal(dialog);
    write(state, QStringLiteral("insert into syq (qx,yue) values (") + q(life) +
                     QStringLiteral(",") + QString::number(dialog.number()) + QStringLiteral(")"));
}

}  // namespace fx::dictionary
