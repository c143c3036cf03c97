#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QLineEdit>
#include <QTest>

#include "typeaheadbox.h"

namespace {

using fx::dictionary::narrowedList;
using fx::dictionary::TypeAheadBox;
using fx::dictionary::TypeAheadState;

const QStringList kFull{QStringLiteral("abc"), QStringLiteral("abd"), QStringLiteral("x")};

TEST(NarrowedList, KeepsTheTextAndTheEntriesBeginningWithIt) {
    EXPECT_EQ(narrowedList(QStringLiteral("ab"), kFull),
              (QStringList{QStringLiteral("ab"), QStringLiteral("abc"), QStringLiteral("abd")}));
    EXPECT_EQ(narrowedList(QStringLiteral("abc"), kFull),
              (QStringList{QStringLiteral("abc"), QStringLiteral("abc"), QString()}));
    EXPECT_EQ(narrowedList(QStringLiteral("q"), kFull),
              (QStringList{QStringLiteral("q"), QString(), QString()}));
    EXPECT_EQ(narrowedList(QString(), kFull), kFull);
    // The prefix is compared with case.
    EXPECT_EQ(narrowedList(QStringLiteral("AB"), kFull),
              (QStringList{QStringLiteral("AB"), QString(), QString()}));
    // Many matches are not padded.
    EXPECT_EQ(narrowedList(QStringLiteral("a"), kFull).size(), 3);
    EXPECT_EQ(narrowedList(QStringLiteral("a"), kFull + QStringList{QStringLiteral("ae")}).size(),
              4);
}

class TypeAhead : public ::testing::Test {
protected:
    TypeAheadState shared;
    TypeAheadBox box{shared};

    void SetUp() override {
        box.setEntries(kFull);
        box.enter();
    }
    // A key typed as the user types it: the key press, then the text it makes.
    void type(const QString& text) {
        ASSERT_TRUE(box.keyPressed(text.right(1)));
        box.lineEdit()->setText(text);
    }
};

TEST_F(TypeAhead, EnterInTheOpenListTakesTheEntryPointedAtAndMovesOn) {
    int moves = 0;
    QObject::connect(&box, &TypeAheadBox::enterPressed, [&moves] { ++moves; });
    type(QStringLiteral("ab"));
    ASSERT_TRUE(box.isDroppedDown());
    box.view()->setCurrentIndex(box.view()->model()->index(2, 0));
    QTest::keyClick(box.view(), Qt::Key_Return);
    EXPECT_EQ(box.text(), QStringLiteral("abd"));
    EXPECT_FALSE(box.isDroppedDown());
    EXPECT_EQ(moves, 1);
    // A padding line takes nothing: the typed text stays.
    type(QStringLiteral("q"));
    box.view()->setCurrentIndex(box.view()->model()->index(1, 0));
    QTest::keyClick(box.view(), Qt::Key_Enter);
    EXPECT_EQ(box.text(), QStringLiteral("q"));
    EXPECT_EQ(moves, 2);
}

TEST_F(TypeAhead, TypingNarrowsTheListAndKeepsTheText) {
    type(QStringLiteral("ab"));
    EXPECT_EQ(box.entries(),
              (QStringList{QStringLiteral("ab"), QStringLiteral("abc"), QStringLiteral("abd")}));
    EXPECT_EQ(box.text(), QStringLiteral("ab"));
    EXPECT_TRUE(box.isDroppedDown());
    EXPECT_FALSE(shared.typed);
    type(QStringLiteral("abc"));
    EXPECT_EQ(box.entries(),
              (QStringList{QStringLiteral("abc"), QStringLiteral("abc"), QString()}));
    EXPECT_EQ(box.lineEdit()->cursorPosition(), 3);
    EXPECT_FALSE(box.lineEdit()->hasSelectedText());
    type(QStringLiteral("abcz"));
    EXPECT_EQ(box.entries(), (QStringList{QStringLiteral("abcz"), QString(), QString()}));
    // The saved list is the full one throughout.
    EXPECT_EQ(shared.savedList, kFull);
}

TEST_F(TypeAhead, ClearingTheTextClosesTheListAndRestoresIt) {
    type(QStringLiteral("ab"));
    type(QString());
    EXPECT_EQ(box.entries(), kFull);
    EXPECT_FALSE(box.isDroppedDown());
    EXPECT_TRUE(box.text().isEmpty());
}

TEST_F(TypeAhead, AChangeWithoutAKeyLeavesTheListAlone) {
    box.setText(QStringLiteral("ab"));
    EXPECT_EQ(box.entries(), kFull);
    EXPECT_FALSE(box.isDroppedDown());
}

TEST_F(TypeAhead, AnApostropheIsDiscarded) {
    EXPECT_FALSE(box.keyPressed(QStringLiteral("'")));
    EXPECT_FALSE(shared.typed);
    box.setFocus();
    QTest::keyClicks(&box, QStringLiteral("a'b"));
    EXPECT_EQ(box.text(), QStringLiteral("ab"));
}

TEST_F(TypeAhead, OpeningTheListByHandShowsEverything) {
    type(QStringLiteral("ab"));
    box.hidePopup();
    box.showPopup();
    EXPECT_EQ(box.entries(), kFull);
    EXPECT_EQ(box.text(), QStringLiteral("ab"));
    box.hidePopup();
}

TEST_F(TypeAhead, LeavingRestoresTheListAndReportsIt) {
    int left = 0;
    QObject::connect(&box, &TypeAheadBox::left, [&] { ++left; });
    type(QStringLiteral("ab"));
    box.leave();
    EXPECT_EQ(left, 1);
    EXPECT_EQ(box.entries(), kFull);
    EXPECT_EQ(box.text(), QStringLiteral("ab"));
    EXPECT_FALSE(shared.typed);
}

TEST_F(TypeAhead, ADropDownOnlyBoxKeepsItsChoiceAndTakesOnlyListedValues) {
    box.setTyping(false);
    box.setText(QStringLiteral("abd"));
    EXPECT_EQ(box.text(), QStringLiteral("abd"));
    box.setText(QStringLiteral("nothing"));
    EXPECT_EQ(box.currentIndex(), -1);
    box.setCurrentIndex(2);
    box.leave();
    EXPECT_EQ(box.text(), QStringLiteral("x"));
    EXPECT_EQ(box.entries(), kFull);
}

TEST_F(TypeAhead, APreconditionStopsTheChange) {
    bool allow = false;
    int asked = 0;
    box.setPrecondition([&] {
        ++asked;
        return allow;
    });
    type(QStringLiteral("ab"));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(box.entries(), kFull);
    EXPECT_FALSE(shared.typed);
    allow = true;
    type(QStringLiteral("abd"));
    EXPECT_EQ(box.entries(),
              (QStringList{QStringLiteral("abd"), QStringLiteral("abd"), QString()}));
}

TEST_F(TypeAhead, AnAddedEntryJoinsTheSavedList) {
    box.addEntry(QStringLiteral("abe"));
    EXPECT_EQ(shared.savedList, kFull + QStringList{QStringLiteral("abe")});
    type(QStringLiteral("ab"));
    EXPECT_EQ(box.entries().size(), 4);
    EXPECT_EQ(box.entries().last(), QStringLiteral("abe"));
}

TEST_F(TypeAhead, AValueIsListedWholeAndWithoutRegardToCase) {
    EXPECT_TRUE(box.listed(QStringLiteral("ABC")));
    EXPECT_TRUE(box.listed(QStringLiteral("x")));
    EXPECT_FALSE(box.listed(QStringLiteral("ab")));
    // While the list is narrowed the full list still answers.
    type(QStringLiteral("ab"));
    EXPECT_TRUE(box.listed(QStringLiteral("X")));
    EXPECT_FALSE(box.listed(QStringLiteral("ab")));
    box.leave();
    EXPECT_TRUE(box.listed(QStringLiteral("Abd")));
}

TEST_F(TypeAhead, EnterIsReportedNotTyped) {
    int enters = 0;
    QObject::connect(&box, &TypeAheadBox::enterPressed, [&] { ++enters; });
    box.setText(QStringLiteral("ab"));
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(box.entries(), kFull);
}

}  // namespace
