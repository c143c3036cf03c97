#include <QAbstractItemView>
#include <QApplication>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

#include "cardadditions.h"
#include "cardlists.h"
#include "connection.h"
#include "dberror.h"
#include "mainform.h"
#include "prompt.h"
#include "quote.h"
#include "rowset.h"

// The eight dictionary fields of the card: what a change needs, the check on leaving a field
// under the dictionary policy, the additions of values the dictionary lacks, and the keyboard.

namespace fx {

using dictionary::CardField;
using dictionary::TypeAheadBox;

namespace {

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

void TMainForm::setUpDictionaryFields() {
    for (TypeAheadBox* box : cardLists()) {
        box->setPrecondition([this, box] { return fieldPrecondition(box); });
        box->installEventFilter(this);
        connect(box, &TypeAheadBox::enterPressed, this, [this, box] { moveOnFrom(box); });
    }
    const struct {
        TypeAheadBox* box;
        void (TMainForm::*exit)();
    } exits[] = {
        {DBComboBox1, &TMainForm::DBComboBox1Exit}, {DBComboBox2, &TMainForm::DBComboBox2Exit},
        {DBComboBox4, &TMainForm::DBComboBox4Exit}, {DBComboBox5, &TMainForm::DBComboBox5Exit},
        {DBComboBox3, &TMainForm::DBComboBox3Exit}, {DBComboBox6, &TMainForm::DBComboBox6Exit}};
    for (const auto& e : exits) {
        connect(e.box, &TypeAheadBox::left, this, [this, exit = e.exit] {
            // Fields lose the focus when the card closes; only an edit checks them.
            if (mode_ != EditMode::Browse) (this->*exit)();
        });
    }
    DBEdit3->installEventFilter(this);
    DBMemo1->installEventFilter(this);
}

// ---- preconditions ----------------------------------------------------------------------------

bool TMainForm::fieldPrecondition(TypeAheadBox* box) {
    if (programChange_ || mode_ == EditMode::Browse) return true;
    const QString text = box->text();
    if (box == DBComboBox2 || box == DBComboBox4) {
        if (text.isEmpty() || !DBComboBox1->text().isEmpty()) return true;
        ui::inform(this, QStringLiteral("请先选择填入资产类别。"));
        clearField(box, true);
        return false;
    }
    if (box == DBComboBox5 || box == DBComboBox3) {
        if (DBComboBox2->text().isEmpty()) {
            if (text.isEmpty()) return true;
            ui::inform(this, QStringLiteral("请先选择填入名称。"));
            clearField(box, false);
            return false;
        }
        if (box == DBComboBox5) {
            lookUpConfiguration();
        } else if (!storedAtLocation_) {
            // The user of an asset held by a person is its custodian.
            const QScopedValueRollback<bool> program(programChange_, true);
            setListText(DBComboBox8, text);
        }
    }
    return true;
}

void TMainForm::clearField(TypeAheadBox* box, bool withList) {
    const QScopedValueRollback<bool> program(programChange_, true);
    typeAhead_.typed = false;
    box->hidePopup();
    if (withList) box->setEntries({});
    box->setText(QString());
    // A user taken back is no custodian either.
    if (box == DBComboBox3 && !storedAtLocation_) setListText(DBComboBox8, QString());
}

void TMainForm::lookUpConfiguration() {
    QString configuration;
    try {
        db::RowSet rows(*state_.current, QStringLiteral("select sbpz from xhpz where sbmc=") +
                                             db::quoted(DBComboBox2->text()) +
                                             QStringLiteral(" and sbxh=") +
                                             db::quoted(DBComboBox5->text()));
        rows.open();
        if (!rows.eof()) configuration = rows.text(QStringLiteral("sbpz"));
    } catch (const db::DbError& e) {
        showDbError(e.message());
        return;
    }
    DBEdit3->setText(configuration);
    // A configuration the dictionary holds is the model's; only an unknown one is typed.
    DBEdit3->setEnabled(configuration.isEmpty());
}

// ---- leaving a field --------------------------------------------------------------------------

CardField TMainForm::locationField() const {
    return storedAtLocation_ ? CardField::Location : CardField::User;
}

void TMainForm::DBComboBox1Exit() {
    try {
        if (checkDictionaryField(CardField::Category, DBComboBox1)) ReloadNameAndUseLists();
    } catch (const db::DbError& e) {
        showDbError(e.message());
    }
}

void TMainForm::DBComboBox2Exit() {
    try {
        if (checkDictionaryField(CardField::Name, DBComboBox2)) ReloadModelAndLocationLists();
    } catch (const db::DbError& e) {
        showDbError(e.message());
    }
}

void TMainForm::DBComboBox4Exit() {
    try {
        checkDictionaryField(CardField::Use, DBComboBox4);
    } catch (const db::DbError& e) {
        showDbError(e.message());
    }
}

void TMainForm::DBComboBox5Exit() {
    try {
        checkDictionaryField(CardField::Model, DBComboBox5);
    } catch (const db::DbError& e) {
        showDbError(e.message());
    }
}

void TMainForm::DBComboBox3Exit() {
    try {
        checkDictionaryField(locationField(), DBComboBox3);
    } catch (const db::DbError& e) {
        showDbError(e.message());
    }
}

void TMainForm::DBComboBox6Exit() {
    try {
        checkDictionaryField(CardField::Life, DBComboBox6);
    } catch (const db::DbError& e) {
        showDbError(e.message());
    }
}

void TMainForm::DBEdit3Exit() {
    const QString trimmed = DBEdit3->text().trimmed();
    if (trimmed != DBEdit3->text()) DBEdit3->setText(trimmed);
}

bool TMainForm::checkDictionaryField(CardField field, TypeAheadBox* box) {
    const QString text = box->text().trimmed();
    if (text != box->text()) {
        const QScopedValueRollback<bool> program(programChange_, true);
        box->setText(text);
    }
    if (text.isEmpty()) return true;
    // A use belongs to a category: without one there is nothing to check it against.
    if (field == CardField::Use && DBComboBox1->text().isEmpty()) {
        clearField(box, false);
        return true;
    }
    if (box->listed(text)) return true;

    QString owner;
    if (field == CardField::Name || field == CardField::Use)
        owner = DBComboBox1->text();
    else if (field == CardField::Model)
        owner = DBComboBox2->text();
    else if (field == CardField::Location || field == CardField::User)
        owner = Label7->text();

    switch (dictionary::onUnlisted(field, state_.settings.datadic)) {
        case dictionary::Unlisted::Keep:
            return true;
        case dictionary::Unlisted::Refuse:
            ui::inform(this, dictionary::refusalText(field, text, owner));
            clearField(box, false);
            return false;
        case dictionary::Unlisted::Ask:
            if (!ui::confirm(this, dictionary::questionText(field, text, owner))) {
                if (!dictionary::cancelClears(field)) return true;
                clearField(box, false);
                return false;
            }
            break;
        case dictionary::Unlisted::Add:
            break;
    }
    return addUnlisted(field, box, text);
}

bool TMainForm::addUnlisted(CardField field, TypeAheadBox* box, const QString& text) {
    const QString category = DBComboBox1->text();
    switch (field) {
        case CardField::Category:
            dictionary::addCategoryFromCard(this, state_, text);
            sortproc_->reopen();
            break;
        case CardField::Name:
            dictionary::addNameFromCard(this, state_, text, category);
            sortb_->reopen();
            break;
        case CardField::Use:
            dictionary::addUseFromCard(state_, text, category);
            break;
        case CardField::Model: {
            const QString configuration =
                dictionary::addModelFromCard(this, state_, text, DBComboBox2->text());
            box->addEntry(text);
            DBEdit3->setText(configuration);
            DBEdit3->setEnabled(configuration.isEmpty());
            DBComboBox3->setFocus(Qt::OtherFocusReason);
            return true;
        }
        case CardField::Location:
            dictionary::addLocationFromCard(this, state_, text);
            wzb_->reopen();
            break;
        case CardField::User:
            // Without a department to put the person in, the user has been told to define one
            // first; the field is cleared as a declined addition is.
            if (!dictionary::addPersonFromCard(this, state_, text)) {
                clearField(box, false);
                return false;
            }
            person_->reopen();
            DBComboBox8->addEntry(text);
            break;
        case CardField::Life:
            dictionary::addLifeFromCard(this, state_, text);
            syq_->reopen();
            break;
    }
    box->addEntry(text);
    return true;
}

// ---- keyboard ---------------------------------------------------------------------------------

void TMainForm::moveOnFrom(QWidget* field) {
    QWidget* next = nullptr;
    if (field == DBComboBox1)
        next = DBComboBox2;
    else if (field == DBComboBox2)
        next = DBComboBox4;
    else if (field == DBComboBox4)
        next = DBComboBox5;
    else if (field == DBComboBox5)
        next = DBEdit3->isEnabled() ? static_cast<QWidget*>(DBEdit3) : DBComboBox3;
    else if (field == DBEdit3)
        next = DBComboBox3;
    else if (field == DBComboBox3)
        next = custodianFollowsUser_ ? DBComboBox7 : DBComboBox8;
    else if (field == DBComboBox8)
        next = DBComboBox7;
    else if (field == DBComboBox7)
        next = DBEdit1;
    else if (field == DBEdit1)
        next = DateTimePicker1;
    else if (field == DateTimePicker1)
        next = DBComboBox6;
    else if (field == DBComboBox6)
        next = DBMemo1;
    if (next) next->setFocus(Qt::TabFocusReason);
}

bool TMainForm::filterListKey(TypeAheadBox* box, QKeyEvent* key) {
    if (mode_ == EditMode::Browse || box == DBComboBox1 || !box->isTyping()) return false;
    if (key->text().isEmpty() || isEnter(key)) return false;
    // A key meant for a field reaches it only through its text or its open list; one that
    // arrives otherwise is not typed into a field the user is not in.
    const QWidget* focus = QApplication::focusWidget();
    const QAbstractItemView* view = box->view();
    if (focus &&
        (focus == box || box->isAncestorOf(focus) || focus == view || view->isAncestorOf(focus)))
        return false;
    if (view->isVisible()) return false;
    const char* message = nullptr;
    if (box == DBComboBox2)
        message = "请填入名称栏。";
    else if (box == DBComboBox4)
        message = "请填入用途栏。";
    else if (box == DBComboBox5)
        message = "请填入型号栏。";
    else if (box == DBComboBox3)
        message = "请填入位置（使用者）。";
    else if (box == DBComboBox8)
        message = "请填入保管人。";
    else if (box == DBComboBox7)
        message = "请填入来源方式。";
    else
        message = "请填入使用年限。";
    ui::inform(this, QString::fromUtf8(message));
    return true;
}

bool TMainForm::filterTextField(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && watched == DBEdit3) {
        DBEdit3Exit();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // Values go into statements between single quotes: an apostrophe is not typed.
    if (key->text() == QStringLiteral("'")) return true;
    if (watched == DBEdit3 && isEnter(key)) {
        moveOnFrom(DBEdit3);
        return true;
    }
    return false;
}

}  // namespace fx
