#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "cardfixture.h"
#include "scripts.h"

namespace fx::test {
namespace {

QStringList entries(const QComboBox* list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i) result << list->itemText(i);
    return result;
}

class RecordViewTest : public CardTest {
protected:
    // Types a serial number into the serial box and presses Enter.
    void enterSerial(int serial) {
        form->SpinEdit1->selectAll();
        QTest::keyClicks(form->SpinEdit1, QString::number(serial));
        QTest::keyClick(form->SpinEdit1, Qt::Key_Return);
    }
    // Shows the window and puts the focus in the asset-number box.
    void focusNumberBox() {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->ComboBox1->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(form->ComboBox1->hasFocus());
    }
    void typeNumber(const QString& keys) {
        for (QChar ch : keys) QTest::keyClick(form->ComboBox1, ch.toLatin1());
    }
    QString numberText() const { return form->ComboBox1->currentText(); }
    QString selectedNumberText() const { return form->ComboBox1->lineEdit()->selectedText(); }
    bool recordCommandsOn() const {
        return form->Modify1->isEnabled() || form->Scrap1->isEnabled() ||
               form->Delete1->isEnabled() || form->Transfer1->isEnabled();
    }
};

// ---- by serial number ---------------------------------------------------------------------------

TEST_F(RecordViewTest, SerialZeroIsNotFoundAndLeavesNoRecordCommand) {
    addAsset(QStringLiteral("JSJ-"), 12);
    start();
    enterSerial(1);
    ASSERT_TRUE(recordCommandsOn());
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("没有此序号的记录"));
    enterSerial(0);
    EXPECT_TRUE(prompts.done());
    EXPECT_FALSE(recordCommandsOn());
    for (QToolButton* b :
         {form->ToolButton6, form->ToolButton7, form->ToolButton8, form->ToolButton9})
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    EXPECT_TRUE(numberText().isEmpty());
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产"));
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("未借出"));
    EXPECT_FALSE(form->BitBtn1->isEnabled());
    EXPECT_FALSE(form->BitBtn2->isEnabled());
    EXPECT_EQ(form->DateTimePicker1->date(), QDate(2024, 3, 15));
    EXPECT_TRUE(form->DBComboBox1->currentText().isEmpty());
    EXPECT_TRUE(form->DBMemo1->toPlainText().isEmpty());
    // The rest of the browse state stands.
    EXPECT_TRUE(form->New1->isEnabled());
    EXPECT_TRUE(form->SpinEdit1->isEnabled());
    EXPECT_FALSE(form->Save1->isEnabled());
}

TEST_F(RecordViewTest, EnterShowsTheRecordOnTheCard) {
    addAsset(QStringLiteral("JSJ-"), 1);
    const int serial = addAsset(QStringLiteral("JSJ-"), 12);
    start();
    enterSerial(serial);
    EXPECT_EQ(form->shownSerial(), serial);
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产第%1号").arg(serial));
    EXPECT_EQ(numberText(), QStringLiteral("JSJ-12"));
    EXPECT_EQ(form->DBComboBox1->currentText(), QStringLiteral("电子设备"));
    EXPECT_EQ(form->DBComboBox2->currentText(), QStringLiteral("电脑"));
    EXPECT_EQ(form->DBComboBox4->currentText(), QStringLiteral("办公"));
    EXPECT_EQ(form->DBComboBox5->currentText(), QStringLiteral("X1"));
    EXPECT_EQ(form->DBEdit3->text(), QStringLiteral("i5/8G"));
    EXPECT_EQ(form->DBComboBox3->currentText(), QStringLiteral("财务科"));
    EXPECT_EQ(form->DBComboBox6->currentText(), QStringLiteral("五年"));
    EXPECT_EQ(form->DBEdit1->text(), QStringLiteral("4999.50"));
    EXPECT_EQ(form->DBComboBox7->currentText(), QStringLiteral("购买"));
    EXPECT_EQ(form->DBComboBox8->currentText(), QStringLiteral("李四"));
    EXPECT_EQ(form->DBMemo1->toPlainText(), QStringLiteral("备用"));
    EXPECT_EQ(form->DateTimePicker1->date(), QDate(2020, 5, 6));
    EXPECT_EQ(form->Label7->text(), QStringLiteral("位  置："));
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("未借出"));
    EXPECT_TRUE(form->BitBtn1->isEnabled());
    EXPECT_EQ(form->BitBtn2->text(), QStringLiteral("维修记录"));
    EXPECT_FALSE(form->BitBtn2->isEnabled());
    // Browsing: the card only displays.
    EXPECT_FALSE(form->cardTakesInput());
    for (QAction* a : {form->Modify1, form->Scrap1, form->Delete1})
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
}

TEST_F(RecordViewTest, CaptionsOfAScrappedLentRepairedAssetHeldByAPerson) {
    const int serial =
        addAsset(QStringLiteral("JSJ-"), 12, QStringLiteral("ybf=1, yjc=1, wx=1, worp=0"));
    start();
    enterSerial(serial);
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产第%1号（已报废）").arg(serial));
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("已借出"));
    EXPECT_TRUE(form->BitBtn2->isEnabled());
    EXPECT_EQ(form->Label7->text(), QStringLiteral("使用者："));
    EXPECT_FALSE(form->storedAtLocation());
}

// Pixels of the card's caption strip (the top of the group box) that satisfy a colour test.
int captionPixels(QGroupBox* box, bool (*matches)(QColor)) {
    const QImage image = box->grab().toImage();
    int n = 0;
    for (int y = 0; y < qMin(image.height(), box->fontMetrics().height() + 6); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (matches(image.pixelColor(x, y))) ++n;
    return n;
}
bool isRed(QColor c) {
    return c.red() > 150 && c.green() < 80 && c.blue() < 80;
}
bool isDark(QColor c) {
    return c.red() < 80 && c.green() < 80 && c.blue() < 80;
}

TEST_F(RecordViewTest, BrowsingDrawsTheValuesInTheNormalTextColourAndTakesNoInput) {
    const int serial = addAsset(QStringLiteral("JSJ-"), 12);
    start();
    form->show();
    enterSerial(serial);
    ASSERT_EQ(form->DBEdit3->text(), QStringLiteral("i5/8G"));
    const QPalette app = QApplication::palette();
    ASSERT_NE(app.color(QPalette::Active, QPalette::Text),
              app.color(QPalette::Disabled, QPalette::Text));

    QList<QWidget*> fields{form->DBEdit3, form->DBEdit1, form->DBMemo1, form->DateTimePicker1};
    for (QComboBox* c : form->GroupBox1->findChildren<QComboBox*>()) fields << c << c->lineEdit();
    for (QWidget* w : fields) {
        const std::string name = w->objectName().toStdString();
        // Drawn with the normal colours, not the disabled ones...
        EXPECT_TRUE(w->isEnabled()) << name;
        const QPalette::ColorGroup group = w->palette().currentColorGroup();
        EXPECT_NE(group, QPalette::Disabled) << name;
        EXPECT_EQ(w->palette().color(QPalette::Text), app.color(group, QPalette::Text)) << name;
        // ...and closed to the keyboard and the mouse.
        EXPECT_EQ(w->focusPolicy(), Qt::NoFocus) << name;
    }
    QTest::keyClick(form->DBEdit3, Qt::Key_X);
    QTest::keyClick(form->DBEdit3, Qt::Key_Backspace);
    EXPECT_EQ(form->DBEdit3->text(), QStringLiteral("i5/8G"));
    QTest::keyClick(form->DBComboBox2->lineEdit(), Qt::Key_X);
    EXPECT_EQ(form->DBComboBox2->currentText(), QStringLiteral("电脑"));
    QTest::keyClick(form->DBMemo1, Qt::Key_X);
    EXPECT_EQ(form->DBMemo1->toPlainText(), QStringLiteral("备用"));
    const QDate bought = form->DateTimePicker1->date();
    QTest::keyClick(form->DateTimePicker1, Qt::Key_Up);
    EXPECT_EQ(form->DateTimePicker1->date(), bought);
    QTest::mouseClick(form->DBComboBox1, Qt::LeftButton);
    EXPECT_FALSE(form->DBComboBox1->view()->isVisible());
    EXPECT_FALSE(form->DBComboBox1->hasFocus());

    // Editing opens them again.
    form->Modify1->trigger();
    ASSERT_EQ(form->editMode(), TMainForm::EditMode::Modify);
    EXPECT_NE(form->DBEdit3->focusPolicy(), Qt::NoFocus);
    form->DBEdit3->setFocus();
    form->DBEdit3->end(false);
    QTest::keyClick(form->DBEdit3, Qt::Key_X);
    EXPECT_EQ(form->DBEdit3->text(), QStringLiteral("i5/8Gx"));
    form->Cancel1->trigger();
}

TEST_F(RecordViewTest, TheCaptionIsDrawnInTheNormalColourAndTheScrappedFlagInRed) {
    const int kept = addAsset(QStringLiteral("JSJ-"), 12);
    const int scrapped = addAsset(QStringLiteral("JSJ-"), 13, QStringLiteral("ybf=1"));
    start();
    enterSerial(kept);
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产第%1号").arg(kept));
    EXPECT_GT(captionPixels(form->GroupBox1, isDark), 0);
    EXPECT_EQ(captionPixels(form->GroupBox1, isRed), 0);
    enterSerial(scrapped);
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产第%1号（已报废）").arg(scrapped));
    EXPECT_EQ(form->GroupBox1->flag(), QStringLiteral("（已报废）"));
    EXPECT_GT(captionPixels(form->GroupBox1, isDark), 0);
    EXPECT_GT(captionPixels(form->GroupBox1, isRed), 0);
}

TEST_F(RecordViewTest, RightsNarrowTheRecordCommands) {
    const int serial = addAsset(QStringLiteral("JSJ-"), 12);
    Rights noModify = allRights();
    noModify.modi = false;
    start(QStringLiteral("张三"), noModify);
    enterSerial(serial);
    EXPECT_FALSE(form->Modify1->isEnabled());
    EXPECT_FALSE(form->ToolButton8->isEnabled());
    EXPECT_TRUE(form->Scrap1->isEnabled());
    EXPECT_TRUE(form->Transfer1->isEnabled() == form->isBound(form->Transfer1));
    // Only the administrator deletes.
    EXPECT_FALSE(form->Delete1->isEnabled());
    EXPECT_FALSE(form->ToolButton9->isEnabled());
}

TEST_F(RecordViewTest, TheAdministratorDeletesWithoutAnyRight) {
    const int serial = addAsset(QStringLiteral("JSJ-"), 12);
    start(kAdmin, Rights{});
    enterSerial(serial);
    EXPECT_TRUE(form->Delete1->isEnabled());
    EXPECT_TRUE(form->ToolButton9->isEnabled());
    EXPECT_FALSE(form->Modify1->isEnabled());
    EXPECT_FALSE(form->Scrap1->isEnabled());
    EXPECT_FALSE(form->New1->isEnabled());
}

// ---- by asset number ----------------------------------------------------------------------------

TEST_F(RecordViewTest, EnterInTheNumberBoxShowsThatAsset) {
    addAsset(QStringLiteral("JSJ-"), 1);
    const int serial = addAsset(QStringLiteral("JSJ-"), 12);
    setPrefix(QStringLiteral("JSJ-"), 12);
    start();
    focusNumberBox();
    form->ComboBox1->setEditText(QStringLiteral("JSJ-012"));
    QTest::keyClick(form->ComboBox1, Qt::Key_Return);
    EXPECT_EQ(form->SpinEdit1->value(), serial);
    EXPECT_EQ(form->shownSerial(), serial);
    EXPECT_EQ(numberText(), QStringLiteral("JSJ-12"));
    EXPECT_EQ(selectedNumberText(), QStringLiteral("12"));
}

TEST_F(RecordViewTest, AnUnknownNumberEmptiesTheCardAndKeepsTheText) {
    const int serial = addAsset(QStringLiteral("JSJ-"), 12);
    start();
    enterSerial(serial);
    focusNumberBox();
    form->ComboBox1->setEditText(QStringLiteral("JSJ-13"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("不存在该编号的固定资产记录!"));
    QTest::keyClick(form->ComboBox1, Qt::Key_Return);
    EXPECT_EQ(form->SpinEdit1->value(), 0);
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产"));
    EXPECT_FALSE(recordCommandsOn());
    EXPECT_TRUE(form->DBComboBox2->currentText().isEmpty());
    EXPECT_EQ(numberText(), QStringLiteral("JSJ-13"));
    EXPECT_EQ(selectedNumberText(), QStringLiteral("13"));
}

TEST_F(RecordViewTest, MalformedAndIncompleteNumbers) {
    start();
    focusNumberBox();
    PromptScript prompts;
    prompts
        .expect(QStringLiteral("提示"),
                QStringLiteral("编号栏输入格式错误，请重新输入！例如：JSJ-121"))
        .expect(QStringLiteral("提示"), QStringLiteral("编号栏输入不全，请补齐！例如：JSJ-121"));
    form->ComboBox1->setEditText(QStringLiteral("JSJ"));
    QTest::keyClick(form->ComboBox1, Qt::Key_Return);
    EXPECT_TRUE(numberText().isEmpty());
    form->ComboBox1->setEditText(QStringLiteral("JSJ-"));
    QTest::keyClick(form->ComboBox1, Qt::Key_Return);
    // An incomplete number stays for the user to finish.
    EXPECT_EQ(numberText(), QStringLiteral("JSJ-"));
    EXPECT_TRUE(prompts.done());
}

TEST_F(RecordViewTest, PrefixShortcutThroughTheListTakesTwoEnters) {
    addAsset(QStringLiteral("JSJ-"), 11);
    const int serial = addAsset(QStringLiteral("JSJ-"), 12);
    setPrefix(QStringLiteral("JSJ-"), 12);
    setPrefix(QStringLiteral("JJ-"), 3);
    setPrefix(QStringLiteral("DN-"), 7);
    start();
    focusNumberBox();
    typeNumber(QStringLiteral("j"));
    // The list narrows to what is typed and drops down.
    EXPECT_EQ(entries(form->ComboBox1),
              (QStringList{QStringLiteral("J"), QStringLiteral("JSJ-"), QStringLiteral("JJ-")}));
    ASSERT_TRUE(form->numberListDroppedDown());
    typeNumber(QStringLiteral("s"));
    EXPECT_EQ(entries(form->ComboBox1),
              (QStringList{QStringLiteral("JS"), QStringLiteral("JSJ-"), QString()}));
    // Choosing the prefix in the list and pressing Enter fills in its last number...
    QAbstractItemView* list = form->numberListView();
    ASSERT_TRUE(list->isVisible());
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(numberText(), QStringLiteral("JSJ-12"));
    EXPECT_EQ(selectedNumberText(), QStringLiteral("12"));
    EXPECT_FALSE(form->numberListDroppedDown());
    EXPECT_EQ(form->shownSerial(), 0);
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产"));
    // ...and the whole list is back.
    EXPECT_EQ(entries(form->ComboBox1).size(), 3);
    EXPECT_EQ(entries(form->ComboBox1).last(), QStringLiteral("DN-"));
    // The second Enter shows the asset.
    QTest::keyClick(form->ComboBox1, Qt::Key_Return);
    EXPECT_EQ(form->shownSerial(), serial);
}

TEST_F(RecordViewTest, PrefixShortcutThroughTheListOpenedByHand) {
    setPrefix(QStringLiteral("JSJ-"), 12);
    setPrefix(QStringLiteral("DN-"), 7);
    start();
    focusNumberBox();
    form->dropNumberListDown();
    QAbstractItemView* list = form->ComboBox1->view();
    ASSERT_TRUE(list->isVisible());
    list->setCurrentIndex(list->model()->index(1, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(form->numberListDroppedDown());
    EXPECT_EQ(numberText(), QStringLiteral("DN-7"));
    EXPECT_EQ(form->shownSerial(), 0);
}

TEST_F(RecordViewTest, TypingTheDashOfARegisteredPrefixFillsInItsLastNumber) {
    setPrefix(QStringLiteral("JSJ-"), 12);
    start();
    focusNumberBox();
    typeNumber(QStringLiteral("jsj-"));
    EXPECT_EQ(numberText(), QStringLiteral("JSJ-12"));
    EXPECT_EQ(selectedNumberText(), QStringLiteral("12"));
    EXPECT_FALSE(form->numberListDroppedDown());
    // Typing replaces the selected digits.
    typeNumber(QStringLiteral("5"));
    EXPECT_EQ(numberText(), QStringLiteral("JSJ-5"));
    // An unknown prefix takes the dash as typed.
    form->ComboBox1->setEditText(QString());
    typeNumber(QStringLiteral("ab-7"));
    EXPECT_EQ(numberText(), QStringLiteral("AB-7"));
}

TEST_F(RecordViewTest, KeysTheNumberBoxRefuses) {
    start();
    focusNumberBox();
    // Before a dash: letters only, at most eight, and the dash.
    typeNumber(QStringLiteral("a1b.c d'efghij"));
    EXPECT_EQ(numberText(), QStringLiteral("ABCDEFGH"));
    typeNumber(QStringLiteral("-x-9y0"));
    EXPECT_EQ(numberText(), QStringLiteral("ABCDEFGH-90"));
    QTest::keyClick(form->ComboBox1, Qt::Key_Backspace);
    EXPECT_EQ(numberText(), QStringLiteral("ABCDEFGH-9"));
    // With the caret before the dash, letters only; after it, digits only.
    form->ComboBox1->setEditText(QStringLiteral("AB-12"));
    form->ComboBox1->lineEdit()->setCursorPosition(1);
    typeNumber(QStringLiteral("3c"));
    EXPECT_EQ(numberText(), QStringLiteral("ACB-12"));
    form->ComboBox1->lineEdit()->setCursorPosition(5);
    typeNumber(QStringLiteral("d4"));
    EXPECT_EQ(numberText(), QStringLiteral("ACB-142"));
}

TEST_F(RecordViewTest, KeysTypedOverASelectionReplaceIt) {
    setPrefix(QStringLiteral("DN-"), 7);
    start();
    focusNumberBox();
    form->ComboBox1->setEditText(QStringLiteral("JSJ-69"));
    form->ComboBox1->lineEdit()->selectAll();
    typeNumber(QStringLiteral("jsj-67"));
    EXPECT_EQ(numberText(), QStringLiteral("JSJ-67"));
    // A registered prefix typed over the whole number brings its last number.
    form->ComboBox1->lineEdit()->selectAll();
    typeNumber(QStringLiteral("dn-"));
    EXPECT_EQ(numberText(), QStringLiteral("DN-7"));
    EXPECT_EQ(selectedNumberText(), QStringLiteral("7"));
    // Over the prefix only: letters, as many as fit.
    form->ComboBox1->setEditText(QStringLiteral("ABCDEFGH-5"));
    form->ComboBox1->lineEdit()->setSelection(0, 3);
    typeNumber(QStringLiteral("xy1z"));
    EXPECT_EQ(numberText(), QStringLiteral("XYZDEFGH-5"));
}

TEST_F(RecordViewTest, LeavingTheBoxPutsTheWholeListBack) {
    setPrefix(QStringLiteral("JSJ-"), 12);
    setPrefix(QStringLiteral("DN-"), 7);
    start();
    focusNumberBox();
    typeNumber(QStringLiteral("d"));
    EXPECT_EQ(entries(form->ComboBox1),
              (QStringList{QStringLiteral("D"), QStringLiteral("DN-"), QString()}));
    form->SpinEdit1->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(entries(form->ComboBox1),
              (QStringList{QStringLiteral("JSJ-"), QStringLiteral("DN-")}));
    EXPECT_FALSE(form->numberListDroppedDown());
    EXPECT_EQ(numberText(), QStringLiteral("D"));
}

}  // namespace
}  // namespace fx::test
