#include "cardlists.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QValidator>

#include "assetnumber.h"
#include "dberror.h"
#include "displayonly.h"
#include "mainform.h"
#include "quote.h"
#include "rowset.h"
#include "typeaheadbox.h"

// The card's lists and where their entries come from.

namespace fx {

namespace {

// Accepts anything and turns letters to upper case as they are typed.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

}  // namespace

QStringList fieldValues(db::RowSet& rows, const QString& field) {
    QStringList values;
    for (rows.first(); !rows.eof(); rows.next()) values << rows.text(field);
    return values;
}

QStringList queryValues(db::Connection& connection, const QString& jetSql, const QString& field) {
    db::RowSet rows(connection, jetSql);
    rows.open();
    return fieldValues(rows, field);
}

void replaceListEntries(QComboBox* list, const QStringList& entries) {
    // A dictionary field being edited keeps its saved list in step as well.
    if (auto* box = qobject_cast<dictionary::TypeAheadBox*>(list)) {
        box->setEntries(entries);
        return;
    }
    const QString text = list->currentText();
    list->clear();
    list->addItems(entries);
    setListText(list, text);
}

void setListText(QComboBox* list, const QString& text) {
    if (list->isEditable()) {
        list->setCurrentIndex(-1);
        list->setEditText(text);
    } else {
        list->setCurrentIndex(list->findText(text, Qt::MatchExactly));
    }
}

void setListTyping(QComboBox* list, bool typing) {
    if (list->isEditable() == typing) return;
    if (auto* box = qobject_cast<dictionary::TypeAheadBox*>(list)) {
        box->setTyping(typing);
        return;
    }
    const QString text = list->currentText();
    list->setEditable(typing);
    setListText(list, text);
}

void makeUpperCase(QComboBox* list) {
    list->setEditable(true);
    list->setValidator(new UpperCaseValidator(list));
}

void TMainForm::fillCardLists() {
    replaceListEntries(DBComboBox1, fieldValues(*sortproc_, QStringLiteral("sort")));
    replaceListEntries(DBComboBox6, fieldValues(*syq_, QStringLiteral("qx")));
    replaceListEntries(DBComboBox8, fieldValues(*person_, QStringLiteral("pname")));
    replaceListEntries(
        DBComboBox7,
        queryValues(*state_.current, QStringLiteral("select * from lyfs"), QStringLiteral("ly")));
}

void TMainForm::fillAssetNumberList() {
    reloadAssetNumberList();
}

void TMainForm::ReloadNameAndUseLists() {
    const QScopedValueRollback<bool> program(programChange_, true);
    db::Connection& c = *state_.current;
    const QString category = DBComboBox1->currentText();
    const QString quotedCategory = QLatin1Char('\'') + db::escaped(category) + QLatin1Char('\'');

    const QStringList names =
        queryValues(c, QStringLiteral("select name from sortb where sort=") + quotedCategory,
                    QStringLiteral("name"));
    replaceListEntries(DBComboBox2, names);
    // A name that does not belong to the category goes, and the model with it.
    const bool nameCleared = !category.isEmpty() && !names.contains(DBComboBox2->currentText());
    if (nameCleared) {
        setListText(DBComboBox2, QString());
        replaceListEntries(DBComboBox5, {});
        setListText(DBComboBox5, QString());
    }

    const QStringList uses = queryValues(
        c, QStringLiteral("select yt from ytb where sort=") + quotedCategory, QStringLiteral("yt"));
    replaceListEntries(DBComboBox4, uses);
    if (nameCleared && !uses.contains(DBComboBox4->currentText()))
        setListText(DBComboBox4, QString());
}

void TMainForm::ReloadModelAndLocationLists() {
    const QScopedValueRollback<bool> program(programChange_, true);
    db::Connection& c = *state_.current;
    const QString name = DBComboBox2->currentText();
    const bool editing = mode_ != EditMode::Browse;

    const QStringList models =
        queryValues(c, QStringLiteral("select sbxh from xhpz where sbmc=") + db::quoted(name),
                    QStringLiteral("sbxh"));
    replaceListEntries(DBComboBox5, models);
    // A model the name does not have goes, and its configuration with it. An empty model
    // clears nothing: it would take the configuration of a record being modified along.
    const QString model = DBComboBox5->currentText();
    const bool modelCleared = !model.isEmpty() && !models.contains(model);
    if (modelCleared) {
        setListText(DBComboBox5, QString());
        DBEdit3->clear();
        DBEdit3->setEnabled(true);
    }

    if (editing) {
        const numbering::NameDefaults d =
            numbering::nameDefaults(c, name, DBComboBox1->currentText());
        // A name the dictionary does not know keeps the record's storage mode when modifying;
        // a new asset of it is kept at a location, as a new name is by default.
        if (d.knowsStorage())
            storedAtLocation_ = d.byLocation;
        else if (mode_ != EditMode::Modify)
            storedAtLocation_ = true;
        ProposeAssetNumber();
    }
    const Settings& s = state_.settings;
    QStringList places;
    if (storedAtLocation_) {
        Label7->setText(QStringLiteral("位  置："));
        if (editing) {
            custodianFollowsUser_ = false;
            ui::setDisplayOnly(DBComboBox8, false);
            setListTyping(DBComboBox8, !(s.wzl != 1 || s.input == 2));
        }
        wzb_->reopen();
        places = fieldValues(*wzb_, QStringLiteral("wz"));
    } else {
        // The person who uses the asset is its custodian: the custodian field follows.
        Label7->setText(QStringLiteral("使用者："));
        if (editing) {
            setListTyping(DBComboBox8, true);
            custodianFollowsUser_ = true;
            ui::setDisplayOnly(DBComboBox8, true);
        }
        person_->reopen();
        places = fieldValues(*person_, QStringLiteral("pname"));
    }
    replaceListEntries(DBComboBox3, places);
    if (modelCleared && !places.contains(DBComboBox3->currentText()))
        setListText(DBComboBox3, QString());
}

}  // namespace fx
