#include "cardlists.h"

#include <QComboBox>
#include <QLineEdit>
#include <QValidator>

#include "mainform.h"
#include "quote.h"
#include "rowset.h"

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
    makeUpperCase(ComboBox1);
    replaceListEntries(ComboBox1,
                       queryValues(*state_.current, QStringLiteral("select * from idupper"),
                                   QStringLiteral("idup")));
}

void TMainForm::ReloadNameAndUseLists() {
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
        DBComboBox5->clear();
        setListText(DBComboBox5, QString());
    }

    const QStringList uses = queryValues(
        c, QStringLiteral("select yt from ytb where sort=") + quotedCategory, QStringLiteral("yt"));
    replaceListEntries(DBComboBox4, uses);
    if (nameCleared && !uses.contains(DBComboBox4->currentText()))
        setListText(DBComboBox4, QString());
}

}  // namespace fx
