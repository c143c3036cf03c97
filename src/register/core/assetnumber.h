#pragma once

#include <QString>
#include <optional>

namespace fx::db {
class Connection;
}

// Asset numbers: a prefix of letters ending with a dash and a decimal number ("JSJ-121"), the
// prefix registry idupper that remembers the highest number issued under each prefix, and the
// proposal of the next number for a new asset. Nothing here knows the window; the main window
// asks its questions and shows its messages around these calls.

namespace fx::numbering {

// A prefix has at most eight letters; with its dash it fills the nine characters of sbjl.id.
inline constexpr int kMaxPrefixLetters = 8;

struct AssetNumber {
    QString prefix;  // letters and the trailing dash, "JSJ-"
    int number = 0;  // the number after the dash, never negative
};

enum class ParseError {
    None,
    Malformed,   // no dash, a bad prefix, or no number after the dash
    Incomplete,  // nothing after the dash
};

struct ParseResult {
    ParseError error = ParseError::None;
    AssetNumber value;
    bool ok() const { return error == ParseError::None; }
};

// Reads an asset number as the box holds it. The prefix is the text up to and including the
// first dash; it must be one to eight letters A to Z (the box turns typed letters to upper
// case, and a pasted text gets no further). The rest must be decimal digits that fit an
// integer.
ParseResult parseAssetNumber(const QString& text);

// "编号栏输入格式错误，请重新输入！例如：JSJ-121"
QString malformedMessage();
// "编号栏输入不全，请补齐！例如：JSJ-121"
QString incompleteMessage();

// The number as users see it: the prefix followed by the decimal number ("JSJ-121").
QString formatAssetNumber(const QString& prefix, int number);
// The number of an asset as the row gives it: sbjl.id followed by sbjl.num.
QString formatAssetNumber(const AssetNumber& n);

// ---- numbers in use -------------------------------------------------------------------------

// Inside a write transaction: waits for the numbering turn and holds it until the transaction
// ends. Every save that looks for a free number or updates the prefix registry takes it before
// it reads, so that two workstations never both take the number they both found free, nor
// overwrite each other's registry row. It is one turn for every prefix: an import numbers
// under many prefixes in one transaction, and a single turn can never deadlock.
void takeNumberingTurn(db::Connection& c);

// True when an asset holds the number.
bool isNumberTaken(db::Connection& c, const QString& prefix, int number);

// The first number at or above `from` that no asset holds under the prefix; the asset whose
// serial is `ownSerial` (a record being renumbered) does not count as holding its number. Finds
// the end of a run of taken numbers with one statement, however long the run.
int firstFreeNumber(db::Connection& c, const QString& prefix, int from, qint64 ownSerial = 0);

// ---- the prefix registry --------------------------------------------------------------------

// The highest number issued under a prefix, or nothing when the prefix has no idupper row.
std::optional<int> registeredMax(db::Connection& c, const QString& prefix);

// What a registry update did. The asset-number box lists the registered prefixes, so it is
// reloaded when a row came or went.
struct RegistryChange {
    bool inserted = false;  // a new prefix row
    bool deleted = false;   // the last asset of a prefix went, and its row with it
    bool missing = false;   // the prefix had no row where one was expected
    bool rowsChanged() const { return inserted || deleted; }
};

// After a number was stored: registers the prefix with this number as its highest, or raises
// the highest number when this one is above it.
RegistryChange noteNumberIssued(db::Connection& c, const QString& prefix, int number);

// After an asset gave up a number (deleted, or renumbered away from it): when the number was
// the highest issued, the highest becomes that of the assets still under the prefix, and the
// prefix row goes when none is left. A missing prefix row is reported, not repaired.
RegistryChange noteNumberReleased(db::Connection& c, const QString& prefix, int number);

// ---- proposing a number ---------------------------------------------------------------------

// The dictionary's defaults for new assets of a name in a category.
struct NameDefaults {
    enum class Source {
        NameInCategory,   // the name's row in that category
        NameElsewhere,    // the name's row in another category
        CategoryDefault,  // the category's default prefix; the name is not in the dictionary
        Nothing,          // neither name nor category is known
    };
    Source source = Source::Nothing;
    QString prefix;          // letters without the dash; empty when nothing can be proposed
    bool byLocation = true;  // storage mode: at a location (true) or held by a person
    // True when a row of the name gave the storage mode.
    bool knowsStorage() const {
        return source == Source::NameInCategory || source == Source::NameElsewhere;
    }
};

// Looks the name up in the dictionary. The row of the name in that category gives prefix and
// storage mode. A name the dictionary holds only in another category (the dictionary policy
// may let such a pair through) takes that row's prefix and storage mode, since a name carries
// its prefix; a name the dictionary does not know takes its category's default prefix and is
// kept at a location. An empty name has nothing to propose.
NameDefaults nameDefaults(db::Connection& c, const QString& name, const QString& category);

// The number proposed for a new asset under a prefix (letters without the dash): the highest
// number issued plus one, or 1 when the prefix is new. Empty for an empty prefix.
QString proposedNumber(db::Connection& c, const QString& prefixLetters);

}  // namespace fx::numbering
