#include "querybox.h"

namespace fx::query {

QueryBox::QueryBox(dictionary::TypeAheadState& shared, QWidget* parent)
    : TypeAheadBox(shared, parent), shared_(shared) {
    connect(this, &TypeAheadBox::left, this, [this] {
        if (!isTyping()) return;
        const QString trimmed = text().trimmed();
        if (trimmed != text()) setText(trimmed);
    });
}

void QueryBox::showPopup() {
    // A refill here also becomes the saved list, which the base class then puts back.
    if (!shared_.typed) emit droppedDown();
    TypeAheadBox::showPopup();
}

}  // namespace fx::query
