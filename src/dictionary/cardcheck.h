#pragma once

#include <QString>

namespace fx::dictionary {

// The dictionary-checked fields of the asset card, as the check on leaving one tells them apart.
// The location field is a place or a user according to the storage mode of the card's name.
enum class CardField { Category, Name, Use, Model, Location, User, Life };

// What leaving a field does with a value its list does not hold.
enum class Unlisted {
    Ask,     // ask whether to add it; OK adds
    Add,     // add it without asking
    Refuse,  // refuse it and clear the field
    Keep,    // let it through, nothing added
};

// The action of the dictionary policy (0 ask, 1 add, 2 refuse, 3 no check) for a field. Under
// policy 3 category, name, user and service life are still asked about: an asset cannot be
// filed under one of them unless the dictionary holds it.
Unlisted onUnlisted(CardField field, int policy);

// True for the fields whose question says the value must be in the dictionary: Cancel clears
// them. The others keep the text on Cancel.
bool cancelClears(CardField field);

// The refusal and the question for a value of a field. owner is the category of a name or a
// use, the name of a model, and the field's caption ("位  置：", "使用者：") for a place or user.
QString refusalText(CardField field, const QString& value, const QString& owner = QString());
QString questionText(CardField field, const QString& value, const QString& owner = QString());

}  // namespace fx::dictionary
