#pragma once

#include <QComboBox>
#include <QStringList>

class QCompleter;

namespace fx::query {

// What the type-ahead boxes of one window share: only one of them has the focus at a time.
struct TypeAheadState {
    QStringList savedList;  // the full list of the box being edited
    bool typed = false;     // a key was pressed and its text change is not handled yet
    int caret = 0;          // caret position kept while the list is narrowed
};

// A drop-down box whose list narrows to what the user types:
//  - entering it saves its full list;
//  - a key press sets the typed-key flag; an apostrophe is discarded (values go into SQL
//    between quotes);
//  - a text change while the flag is set narrows the list to the text itself followed by the
//    saved entries that begin with it (case-sensitive), padded with empty entries to at least
//    three, and drops it down; an empty text closes the list and puts the saved list back;
//  - opening the list while the flag is clear (the user opens it) puts the saved list back;
//  - leaving it puts the saved list back, re-selects the chosen entry of a drop-down-only box,
//    trims the text and clears the flag, then reports left().
// A drop-down-only box (typing off) can only take a value from its list and is not filtered.
class TypeAheadBox : public QComboBox {
    Q_OBJECT

public:
    TypeAheadBox(TypeAheadState& shared, QWidget* parent = nullptr);

    // Typing box (true) or drop-down-only box (false); the text stays where it can.
    void setTyping(bool typing);
    bool isTyping() const { return isEditable(); }

    // The entries of the list, in order.
    QStringList entries() const;
    // Replaces the entries; the text shown stays (in a drop-down-only box it stays chosen when
    // it is among the new entries, else nothing is chosen).
    void setEntries(const QStringList& entries);
    // Sets the text: typed into a typing box, chosen in a drop-down-only one.
    void setText(const QString& text);
    QString text() const { return currentText(); }

    // True while the list is dropped down (narrowed while typing or opened by the user).
    bool isDroppedDown() const;

    // The steps, as the events run them (tests call them directly).
    void enter();
    // A typed character: false when it is discarded.
    bool keyPressed(const QString& typed);
    void textChanged();
    void leave();

    // Opens the list as the user does (the arrow, Alt+Down, F4).
    void showPopup() override;

signals:
    // The user opened the list while no typing was pending; the saved list is back already.
    // Windows refill lists here.
    void droppedDown();
    // The box was left; the leave steps are done. Windows run their checks here.
    void left();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void attachCompleter();
    void narrow(const QString& text);
    void closeList();

    TypeAheadState& shared_;
    QCompleter* completer_ = nullptr;
    bool inside_ = false;  // between enter() and leave()
};

}  // namespace fx::query
