#pragma once

#include <QComboBox>
#include <QStringList>
#include <functional>

class QStringListModel;

namespace fx::dictionary {

// What the type-ahead boxes of one window share: only one of them has the focus at a time.
struct TypeAheadState {
    QStringList savedList;  // the complete list of the box being edited
    bool typed = false;     // a key was pressed and its text change is not handled yet
    int caret = 0;          // caret position kept while the list is narrowed
};

// The list shown while text is typed: the text itself, then every entry of full that begins
// with it (case-sensitive), padded with empty entries to three lines. An empty text gives full.
QStringList narrowedList(const QString& text, const QStringList& full);

// A drop-down text box whose list narrows to the entries that begin with the typed text:
//  - entering it copies its list into the shared saved list;
//  - every key press sets the typed-key flag; an apostrophe is discarded, since values are
//    placed into statements between single quotes;
//  - a text change, once the precondition has let it through and only while the flag is set,
//    narrows the list (narrowedList), drops it down and puts the caret back; an empty text closes
//    the list and puts the saved list back; the flag is cleared;
//  - opening the list while the flag is clear (the user opens it) puts the saved list back;
//  - leaving it puts the saved list back, re-selects the chosen entry of a drop-down-only box,
//    clears the flag and then emits left(), where windows run their checks.
// A drop-down-only box can only take a value from its list.
class TypeAheadBox : public QComboBox {
    Q_OBJECT

public:
    explicit TypeAheadBox(TypeAheadState& shared, QWidget* parent = nullptr);

    // Typing box (true) or drop-down-only box (false).
    void setTyping(bool typing);
    bool isTyping() const { return isEditable(); }

    // The entries of the list, in order.
    QStringList entries() const;
    // Replaces the entries; the text shown stays (a drop-down-only box keeps it chosen when it is
    // among the new entries).
    void setEntries(const QStringList& entries);
    // Appends an entry to the list and, while this box is being edited, to the saved list.
    void addEntry(const QString& entry);
    // True when text is in the box's full list (the saved list while the box is being edited),
    // compared whole and without regard to letter case, as the dictionary checks compare.
    bool listed(const QString& text) const;
    // Sets the text: typed into a typing box, chosen in a drop-down-only one.
    void setText(const QString& text);
    QString text() const { return currentText(); }

    // Runs on every text change, typed or chosen, before any narrowing; returning false stops
    // the change there (the card clears the field when a field it depends on is empty).
    void setPrecondition(std::function<bool()> precondition) {
        precondition_ = std::move(precondition);
    }

    bool isDroppedDown() const { return droppedDown_; }

    // The steps as the events run them; tests call them directly.
    void enter();
    // A typed key's text: false when it is discarded.
    bool keyPressed(const QString& typed);
    void handleTextChange();
    void leave();

    // Opens the list as the user does.
    void showPopup() override;
    void hidePopup() override;

signals:
    // The box was left and its list restored: windows run their checks here.
    void left();
    // Enter was pressed: windows move the focus on.
    void enterPressed();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void replaceItems(const QStringList& items);

    TypeAheadState& shared_;
    QStringListModel* model_ = nullptr;
    std::function<bool()> precondition_;
    bool inside_ = false;      // between enter() and leave()
    bool rebuilding_ = false;  // the list is being replaced: its text changes are not the user's
    bool droppedDown_ = false;
};

}  // namespace fx::dictionary
