#pragma once

#include <QString>

#include "cardfixture.h"

class QComboBox;

namespace fx::test {

// The card being edited: choosing and typing into its fields as a user would, and the batch
// dialog answered.
class EditTest : public CardTest {
protected:
    explicit EditTest(Engine engine = Engine::File) : CardTest(engine) {}
    // Puts a text into a list: chosen in a choose-only list, typed into a typing one.
    static void choose(QComboBox* list, const QString& text);
    // Fills in a complete card for a 电脑 of 电子设备 at 机房, leaving the category and the
    // name as the user would (the name's number is proposed while adding).
    void fillCard();
    // Starts "新增" with the batch dialog answered with n.
    void newBatch(int n);
    // Shows the record with that serial as Enter in the serial box does.
    void show(int serial);
    // Sets the asset-number box.
    void setNumber(const QString& text);
    QString numberText() const;
};

}  // namespace fx::test
