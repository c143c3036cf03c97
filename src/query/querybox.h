#pragma once

#include "typeaheadbox.h"

namespace fx::query {

// A type-ahead box of the query dialog. Besides the narrowing every type-ahead box does, it
// reports when the user opens its list, so that the dialog can refill the list first (the
// category list from the dictionary, the name list with every name), and it trims its text
// when it is left.
class QueryBox : public dictionary::TypeAheadBox {
    Q_OBJECT

public:
    QueryBox(dictionary::TypeAheadState& shared, QWidget* parent = nullptr);

    // Opens the list; when the user opens it (no typed change pending), droppedDown() comes
    // first and the list shows what its handler put there.
    void showPopup() override;

signals:
    void droppedDown();

private:
    dictionary::TypeAheadState& shared_;
};

}  // namespace fx::query
