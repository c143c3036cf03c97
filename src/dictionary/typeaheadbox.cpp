#include "typeaheadbox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>
#include <QStringListModel>

namespace fx::dictionary {

QStringList narrowedList(const QString& text, const QStringList& full) {
    if (text.isEmpty()) return full;
    QStringList list{text};
    for (const QString& entry : full) {
        if (entry.startsWith(text, Qt::CaseSensitive)) list << entry;
    }
    // The drop-down always shows at least three lines.
    while (list.size() < 3) list << QString();
    return list;
}

TypeAheadBox::TypeAheadBox(TypeAheadState& shared, QWidget* parent)
    : QComboBox(parent), shared_(shared) {
    // A plain string model: a list of thousands is replaced at every key, and one string per
    // row is all the box shows.
    model_ = new QStringListModel(this);
    setModel(model_);
    if (auto* list = qobject_cast<QListView*>(view())) list->setUniformItemSizes(true);
    setTyping(true);
    setMaxVisibleItems(12);
    connect(this, &QComboBox::editTextChanged, this, [this] {
        if (!rebuilding_) handleTextChange();
    });
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!rebuilding_ && !isEditable() && precondition_) precondition_();
    });
    // While the narrowed list is down, the keys typed go on into the text.
    view()->installEventFilter(this);
}

void TypeAheadBox::setTyping(bool typing) {
    if (typing == isEditable()) return;
    const QString current = currentText();
    const QSignalBlocker block(this);
    setEditable(typing);
    if (typing) {
        // The box narrows its own list: no inline completion, and Enter adds nothing.
        setCompleter(nullptr);
        setInsertPolicy(QComboBox::NoInsert);
        setEditText(current);
    } else {
        setCurrentIndex(findText(current, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    }
}

QStringList TypeAheadBox::entries() const {
    return model_->stringList();
}

void TypeAheadBox::replaceItems(const QStringList& items) {
    const QString current = currentText();
    const bool wasRebuilding = rebuilding_;
    rebuilding_ = true;
    {
        const QSignalBlocker block(this);
        model_->setStringList(items);
        if (isEditable()) {
            setCurrentIndex(-1);
            setEditText(current);
        } else {
            setCurrentIndex(findText(current, Qt::MatchFixedString | Qt::MatchCaseSensitive));
        }
    }
    rebuilding_ = wasRebuilding;
}

void TypeAheadBox::setEntries(const QStringList& list) {
    replaceItems(list);
    if (inside_) shared_.savedList = list;
}

void TypeAheadBox::addEntry(const QString& entry) {
    rebuilding_ = true;
    {
        const QSignalBlocker block(this);
        const QString current = currentText();
        addItem(entry);
        if (isEditable()) setEditText(current);
    }
    rebuilding_ = false;
    if (inside_) shared_.savedList << entry;
}

bool TypeAheadBox::listed(const QString& text) const {
    const QStringList& full = inside_ ? shared_.savedList : model_->stringList();
    return full.contains(text, Qt::CaseInsensitive);
}

void TypeAheadBox::setText(const QString& text) {
    if (isEditable()) {
        setEditText(text);
    } else {
        setCurrentIndex(findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive));
    }
}

void TypeAheadBox::enter() {
    inside_ = true;
    shared_.savedList = entries();
    shared_.typed = false;
}

bool TypeAheadBox::keyPressed(const QString& typed) {
    if (typed == QStringLiteral("'")) return false;
    shared_.typed = true;
    return true;
}

void TypeAheadBox::handleTextChange() {
    if (precondition_ && !precondition_()) {
        shared_.typed = false;
        return;
    }
    if (!shared_.typed || !isEditable()) return;
    QLineEdit* edit = lineEdit();
    const QString text = edit->text();
    if (text.isEmpty()) {
        hidePopup();
        replaceItems(shared_.savedList);
    } else {
        shared_.caret = edit->cursorPosition();
        replaceItems(narrowedList(text, shared_.savedList));
        showPopup();
        rebuilding_ = true;
        if (edit->text() != text) edit->setText(text);
        edit->setCursorPosition(shared_.caret);
        edit->deselect();
        rebuilding_ = false;
    }
    shared_.typed = false;
}

void TypeAheadBox::leave() {
    const int chosen = currentIndex();
    const QString text = currentText();
    if (inside_) {
        replaceItems(shared_.savedList);
        if (!isEditable() && chosen >= 0 && chosen < count()) {
            const QSignalBlocker block(this);
            setCurrentIndex(chosen);
        } else if (isEditable()) {
            setEditText(text);
        }
    }
    inside_ = false;
    shared_.typed = false;
    emit left();
}

void TypeAheadBox::showPopup() {
    // Opened by the user (no typed change pending): the whole list again.
    if (!shared_.typed && inside_) replaceItems(shared_.savedList);
    droppedDown_ = true;
    QComboBox::showPopup();
}

void TypeAheadBox::hidePopup() {
    droppedDown_ = false;
    QComboBox::hidePopup();
}

void TypeAheadBox::focusInEvent(QFocusEvent* event) {
    if (event->reason() != Qt::PopupFocusReason && !inside_) enter();
    QComboBox::focusInEvent(event);
}

void TypeAheadBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    // The box's own list, a message box or another window taking the focus is not leaving
    // the box: the user comes back to it with the text as it was.
    const Qt::FocusReason reason = event->reason();
    if (!inside_ || reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return;
    const QWidget* next = QApplication::focusWidget();
    if (next && (next == view() || view()->isAncestorOf(next))) return;
    leave();
}

void TypeAheadBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        event->accept();
        return;
    }
    if (!keyPressed(event->text())) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

bool TypeAheadBox::eventFilter(QObject* watched, QEvent* event) {
    const bool enterKey =
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
        (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
         static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
    if (watched == view() && enterKey) {
        // The list's own handling would take the line pointed at when the key is announced,
        // padding lines included: the box claims Enter instead.
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        // Enter in the open list takes the entry pointed at and moves on, as Enter in the box
        // does; a padding line takes nothing.
        const QModelIndex row = view()->currentIndex();
        const QString entry = row.isValid() ? row.data().toString() : QString();
        const QString typed = currentText();
        hidePopup();
        if (isEditable()) {
            const QString chosen = entry.isEmpty() ? typed : entry;
            if (currentText() != chosen) setEditText(chosen);
        } else if (!entry.isEmpty()) {
            setCurrentIndex(row.row());
        }
        emit enterPressed();
        return true;
    }
    if (watched == view() && event->type() == QEvent::KeyPress && isEditable()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool typing = (!key->text().isEmpty() && key->text().at(0).isPrint()) ||
                            key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete;
        if (typing) {
            if (keyPressed(key->text())) lineEdit()->event(key);
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

}  // namespace fx::dictionary
