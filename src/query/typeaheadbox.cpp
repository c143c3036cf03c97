#include "typeaheadbox.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace fx::query {

namespace {

bool leavesTheWindow(Qt::FocusReason reason) {
    // The list's own pop-up taking the focus, or another window coming to the front (a message
    // box), is not entering or leaving the box.
    return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

}  // namespace

TypeAheadBox::TypeAheadBox(TypeAheadState& shared, QWidget* parent)
    : QComboBox(parent), shared_(shared) {
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(12);
    setTyping(true);
    connect(this, &QComboBox::editTextChanged, this, [this] { textChanged(); });
}

void TypeAheadBox::setTyping(bool typing) {
    if (typing == isEditable() && (!typing || completer_)) return;
    const QString t = currentText();
    {
        const QSignalBlocker block(this);
        setEditable(typing);
        if (typing) {
            attachCompleter();
            setCurrentIndex(findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive));
            setEditText(t);
        } else {
            completer_ = nullptr;
            setCurrentIndex(findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive));
        }
    }
}

void TypeAheadBox::attachCompleter() {
    // The narrowed list drops down as a completer pop-up: unlike the box's own list it leaves
    // the keyboard with the box, so the user types on while the list follows.
    completer_ = new QCompleter(model(), lineEdit());
    completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer_->setCaseSensitivity(Qt::CaseSensitive);
    completer_->setMaxVisibleItems(12);
    setCompleter(completer_);
}

QStringList TypeAheadBox::entries() const {
    QStringList out;
    out.reserve(count());
    for (int i = 0; i < count(); ++i) out << itemText(i);
    return out;
}

void TypeAheadBox::setEntries(const QStringList& list) {
    const QString t = currentText();
    const int caret = isEditable() ? lineEdit()->cursorPosition() : 0;
    const QSignalBlocker block(this);
    clear();
    addItems(list);
    if (isEditable()) {
        setCurrentIndex(-1);
        setEditText(t);
        lineEdit()->setCursorPosition(qMin(caret, int(t.size())));
    } else {
        setCurrentIndex(list.indexOf(t));
    }
}

void TypeAheadBox::setText(const QString& t) {
    if (isEditable()) {
        setCurrentIndex(findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive));
        setEditText(t);
    } else {
        setCurrentIndex(findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive));
    }
}

bool TypeAheadBox::isDroppedDown() const {
    if (completer_ && completer_->popup() && completer_->popup()->isVisible()) return true;
    return view() && view()->isVisible();
}

void TypeAheadBox::enter() {
    inside_ = true;
    shared_.savedList = entries();
}

bool TypeAheadBox::keyPressed(const QString& typed) {
    shared_.typed = true;
    return !typed.contains(QLatin1Char('\''));
}

void TypeAheadBox::textChanged() {
    if (!isEditable() || !shared_.typed) return;
    narrow(currentText());
    shared_.typed = false;
}

void TypeAheadBox::narrow(const QString& t) {
    shared_.caret = lineEdit()->cursorPosition();
    if (t.isEmpty()) {
        closeList();
        setEntries(shared_.savedList);
        return;
    }
    QStringList list{t};
    for (const QString& entry : shared_.savedList) {
        if (entry.startsWith(t, Qt::CaseSensitive)) list << entry;
    }
    if (list.size() == 2) {
        list << QString();
    } else if (list.size() == 1) {
        list << QString() << QString();
    }
    setEntries(list);
    if (completer_) {
        const QSignalBlocker block(this);
        completer_->setCompletionPrefix(t);
        completer_->complete();
    }
    lineEdit()->setCursorPosition(shared_.caret);
    lineEdit()->deselect();
}

void TypeAheadBox::closeList() {
    if (completer_ && completer_->popup()) completer_->popup()->hide();
    if (view() && view()->isVisible()) QComboBox::hidePopup();
}

void TypeAheadBox::showPopup() {
    if (!shared_.typed && inside_) {
        setEntries(shared_.savedList);
        emit droppedDown();
    }
    if (completer_ && completer_->popup()) completer_->popup()->hide();
    QComboBox::showPopup();
}

void TypeAheadBox::leave() {
    const int position = currentIndex();
    if (inside_) setEntries(shared_.savedList);
    if (!isEditable()) {
        const QSignalBlocker block(this);
        setCurrentIndex(position < count() ? position : -1);
    }
    closeList();
    if (isEditable()) {
        const QString trimmed = currentText().trimmed();
        if (trimmed != currentText()) setEditText(trimmed);
    }
    shared_.typed = false;
    inside_ = false;
    emit left();
}

void TypeAheadBox::focusInEvent(QFocusEvent* event) {
    QComboBox::focusInEvent(event);
    if (!leavesTheWindow(event->reason())) enter();
}

void TypeAheadBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (!leavesTheWindow(event->reason())) leave();
}

void TypeAheadBox::keyPressEvent(QKeyEvent* event) {
    if (!keyPressed(event->text())) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

}  // namespace fx::query
