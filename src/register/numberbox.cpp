#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "cardlists.h"
#include "connection.h"
#include "dberror.h"
#include "mainform.h"
#include "prompt.h"
#include "quote.h"
#include "rowset.h"

// The asset-number box: letters, one dash, digits; the prefix shortcut on typing the dash; the
// list of prefixes that narrows to what is typed; and reading a number out of it.

namespace fx {

namespace {

bool isLetter(QChar ch) {
    return (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z');
}

bool isDigit(QChar ch) {
    return ch >= u'0' && ch <= u'9';
}

bool isEnter(const QKeyEvent* e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

// A pop-up list opening, or another window coming to the front (a message box), is neither
// entering nor leaving the box.
bool staysInTheBox(Qt::FocusReason reason) {
    return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

}  // namespace

void TMainForm::setUpNumberBox() {
    makeUpperCase(ComboBox1);
    // The box's own inline completion would type letters the user did not; the narrowed list
    // drops down as a completer pop-up instead, which leaves the keyboard with the box.
    ComboBox1->lineEdit()->setCompleter(nullptr);
    numberCompleter_ = new QCompleter(ComboBox1->model(), ComboBox1);
    numberCompleter_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    numberCompleter_->setCaseSensitivity(Qt::CaseSensitive);
    numberCompleter_->setWidget(ComboBox1->lineEdit());
    QAbstractItemView* narrowed = numberCompleter_->popup();
    narrowed->setObjectName(QStringLiteral("ComboBox1List"));
    connect(numberCompleter_, qOverload<const QString&>(&QCompleter::activated), this,
            [this](const QString& chosen) { setNumberText(chosen, false); });

    // Installed after the pop-ups' own filters, so these run first: the key rules apply to
    // whatever the keys reach while a list is open, and Enter there is the prefix shortcut.
    for (QObject* o : std::initializer_list<QObject*>{ComboBox1, ComboBox1->lineEdit(), narrowed,
                                                      ComboBox1->view()})
        o->installEventFilter(this);
    connect(ComboBox1, &QComboBox::editTextChanged, this, [this] { numberTextChanged(); });
}

QAbstractItemView* TMainForm::numberListView() const {
    return numberCompleter_->popup();
}

bool TMainForm::filterNumberBox(QObject* watched, QEvent* event) {
    const bool ownList = watched == ComboBox1->view();
    switch (event->type()) {
        case QEvent::FocusIn:
            if (watched == ComboBox1 && !staysInTheBox(static_cast<QFocusEvent*>(event)->reason()))
                numberBoxEntered();
            return false;
        case QEvent::FocusOut: {
            if (watched != ComboBox1) return false;
            // The box's own list takes the focus while it is open.
            const QWidget* next = QApplication::focusWidget();
            const bool toOwnList =
                next && (next == ComboBox1->view() || ComboBox1->view()->isAncestorOf(next));
            if (!toOwnList && !staysInTheBox(static_cast<QFocusEvent*>(event)->reason()))
                numberBoxLeft();
            return false;
        }
        case QEvent::ShortcutOverride:
            // Enter in the box's own list is ours, not the list's.
            if (ownList && isEnter(static_cast<QKeyEvent*>(event))) {
                event->accept();
                return true;
            }
            return false;
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            // The list opened by hand searches its entries as usual; only Enter is taken.
            if (ownList && !isEnter(key)) return false;
            return numberKeyPressed(key);
        }
        default:
            return false;
    }
}

bool TMainForm::numberKeyPressed(QKeyEvent* event) {
    if (isEnter(event)) {
        if (numberListDroppedDown()) {
            // The entry chosen in the open list, else the text.
            QAbstractItemView* view =
                numberListView()->isVisible() ? numberListView() : ComboBox1->view();
            const QModelIndex chosen = view->currentIndex();
            prefixShortcut(chosen.isValid() ? chosen.data().toString() : ComboBox1->currentText());
        } else if (mode_ == EditMode::Browse) {
            showByAssetNumber();
        }
        return true;
    }
    if (event->key() == Qt::Key_Backspace) {
        numberTyped_ = true;
        return false;
    }
    const QString typed = event->text();
    if (typed.isEmpty() || !typed.at(0).isPrint()) return false;  // arrows, Home, Delete, Tab
    const QChar ch = typed.at(0);
    // A key typed over a selection replaces it: it is judged against the text without it.
    QLineEdit* edit = ComboBox1->lineEdit();
    QString text = ComboBox1->currentText();
    int caret = edit->cursorPosition();
    if (edit->hasSelectedText()) {
        caret = edit->selectionStart();
        text.remove(caret, edit->selectedText().size());
    }
    const int dash = int(text.indexOf(QLatin1Char('-')));

    if (ch == u'-') {
        if (dash >= 0) return true;  // one dash only
        numberTyped_ = true;
        return numberDashTyped(text);
    }
    bool accepted;
    if (dash < 0 || caret <= dash)
        accepted = isLetter(ch) && (dash < 0 ? text.size() : dash) < numbering::kMaxPrefixLetters;
    else
        accepted = isDigit(ch);
    if (!accepted) return true;
    numberTyped_ = true;
    return false;
}

bool TMainForm::numberDashTyped(const QString& letters) {
    closeNumberList();
    const QString prefix = letters.toUpper() + QLatin1Char('-');
    try {
        const std::optional<int> max = numbering::registeredMax(*state_.current, prefix);
        // A registered prefix: the text becomes the last number issued under it, for the user
        // to change; the dash key itself is used up. Otherwise the dash goes in as typed.
        if (!max) return false;
        setNumberText(numbering::formatAssetNumber(prefix, *max), true);
        return true;
    } catch (const db::DbError& e) {
        showDbError(e.message());
        return true;
    }
}

void TMainForm::numberTextChanged() {
    const QString text = ComboBox1->currentText();
    QLineEdit* edit = ComboBox1->lineEdit();
    const bool typed = numberTyped_;
    numberTyped_ = false;
    if (!numberListSaved_) return;  // the box does not have the focus: nothing to narrow
    if (typed && edit->cursorPosition() == text.size() && !text.isEmpty()) {
        const int caret = edit->cursorPosition();
        QStringList entries{text};
        for (const QString& prefix : numberFullList_)
            if (prefix.startsWith(text, Qt::CaseSensitive)) entries << prefix;
        while (entries.size() < 3) entries << QString();
        setNumberListEntries(entries);
        if (ComboBox1->view()->isVisible()) ComboBox1->hidePopup();
        numberCompleter_->complete();
        edit->setCursorPosition(caret);
        edit->deselect();
        return;
    }
    // Moving through an open list is choosing in it, not a change that closes it.
    if (!typed && numberListDroppedDown()) return;
    closeNumberList();
}

void TMainForm::numberBoxEntered() {
    if (numberListSaved_) return;  // back from the box's own list: it was never left
    numberFullList_ = numberListEntries();
    numberListSaved_ = true;
    numberTyped_ = false;
}

void TMainForm::numberBoxLeft() {
    closeNumberList();
    numberListSaved_ = false;
    numberTyped_ = false;
}

bool TMainForm::numberListDroppedDown() const {
    return numberListView()->isVisible() || ComboBox1->view()->isVisible();
}

void TMainForm::dropNumberListDown() {
    numberTyped_ = false;
    if (numberListView()->isVisible()) numberListView()->hide();
    // Opened by hand, the list holds every prefix again.
    if (numberListSaved_) setNumberListEntries(numberFullList_);
    ComboBox1->showPopup();
}

void TMainForm::closeNumberList() {
    if (numberListView()->isVisible()) numberListView()->hide();
    if (ComboBox1->view()->isVisible()) ComboBox1->hidePopup();
    if (numberListSaved_ && numberListEntries() != numberFullList_)
        setNumberListEntries(numberFullList_);
}

void TMainForm::prefixShortcut(const QString& chosen) {
    numberTyped_ = false;
    setNumberText(chosen, false);
    closeNumberList();
    try {
        const std::optional<int> max = numbering::registeredMax(*state_.current, chosen);
        if (max) setNumberText(numbering::formatAssetNumber(chosen, *max), true);
    } catch (const db::DbError& e) {
        showDbError(e.message());
    }
}

QStringList TMainForm::numberListEntries() const {
    QStringList entries;
    for (int i = 0; i < ComboBox1->count(); ++i) entries << ComboBox1->itemText(i);
    return entries;
}

void TMainForm::setNumberListEntries(const QStringList& entries) {
    QLineEdit* edit = ComboBox1->lineEdit();
    const QString text = ComboBox1->currentText();
    const int caret = edit->cursorPosition();
    const QSignalBlocker block(ComboBox1);
    ComboBox1->clear();
    ComboBox1->addItems(entries);
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(text);
    edit->setCursorPosition(caret);
}

void TMainForm::setNumberText(const QString& text, bool selectDigits) {
    numberTyped_ = false;
    ComboBox1->setEditText(text);
    if (!selectDigits) return;
    const int dash = int(text.indexOf(QLatin1Char('-')));
    if (dash >= 0) ComboBox1->lineEdit()->setSelection(dash + 1, int(text.size()) - dash - 1);
}

void TMainForm::reloadAssetNumberList() {
    const QStringList prefixes = queryValues(
        *state_.current, QStringLiteral("select * from idupper"), QStringLiteral("idup"));
    if (numberListSaved_) numberFullList_ = prefixes;
    setNumberListEntries(prefixes);
}

std::optional<numbering::AssetNumber> TMainForm::parseAssetNumberBox() {
    const numbering::ParseResult r = numbering::parseAssetNumber(ComboBox1->currentText());
    switch (r.error) {
        case numbering::ParseError::None:
            return r.value;
        case numbering::ParseError::Incomplete:
            ui::inform(this, numbering::incompleteMessage());
            return std::nullopt;
        case numbering::ParseError::Malformed:
            ui::inform(this, numbering::malformedMessage());
            setNumberText(QString(), false);
            return std::nullopt;
    }
    return std::nullopt;
}

void TMainForm::ProposeAssetNumber() {
    if (mode_ != EditMode::AddOne && mode_ != EditMode::AddBatch) return;
    db::Connection& c = *state_.current;
    const numbering::NameDefaults d =
        numbering::nameDefaults(c, DBComboBox2->currentText(), DBComboBox1->currentText());
    // Nothing to propose leaves the box as it is: empty, or what the user typed.
    const QString proposal = numbering::proposedNumber(c, d.prefix);
    if (!proposal.isEmpty()) setNumberText(proposal, false);
}

}  // namespace fx
