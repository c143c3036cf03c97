#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "registerfixture.h"
#include "scripts.h"

namespace fx::test {
namespace {

using LayoutTest = RegisterTest;

// Where the layout rules put things for an outer width W.
void expectLayout(const TMainForm& f, int W) {
    const int half = W / 2;
    const int group = W - 72;
    EXPECT_EQ(f.GroupBox1->width(), group);
    for (const QLabel* l : {f.Label2, f.Label4, f.Label16}) EXPECT_EQ(l->x(), half);
    for (const QLabel* l : {f.Label9, f.Label8}) EXPECT_EQ(l->x(), half - 14);
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             f.DBComboBox2, f.DBComboBox5, f.DBComboBox8, f.DBComboBox6, f.DBEdit1})
        EXPECT_EQ(w->x(), half + 74) << w->objectName().toStdString();
    for (const QPushButton* b : {f.BitBtn1, f.BitBtn2, f.BitBtn3}) EXPECT_EQ(b->x(), W - 160);
    EXPECT_EQ(f.Label10->x(), W - 196);
    EXPECT_EQ(f.Label11->x(), W - 180);
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             f.DBComboBox1, f.DBComboBox2, f.DBComboBox3, f.DBComboBox7, f.DBComboBox4,
             f.DBComboBox5, f.DBComboBox8, f.DateTimePicker1})
        EXPECT_EQ(w->width(), half - 192) << w->objectName().toStdString();
    EXPECT_EQ(f.DBEdit3->width(), W - 230);
    EXPECT_EQ(f.DBMemo1->width(), group - 242);
    EXPECT_EQ(f.DBComboBox6->width(), group - half - 204);
    EXPECT_EQ(f.DBEdit1->width(), group - half - 204);
    EXPECT_EQ(f.Panel1->x(), 1);
    EXPECT_EQ(f.Panel1->width(), W - 8);
}

TEST_F(LayoutTest, DesignSizeIsFixedAndCentred) {
    auto state = signIn();
    TMainForm form(*state);
    EXPECT_EQ(form.size(), QSize(733, 509));
    EXPECT_EQ(form.minimumSize(), QSize(733, 509));
    EXPECT_EQ(form.maximumSize(), QSize(733, 509));
    const QPoint centre = form.screen()->availableGeometry().center();
    EXPECT_LE(std::abs(form.geometry().center().x() - centre.x()), 1);
    EXPECT_LE(std::abs(form.geometry().center().y() - centre.y()), 1);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
}

// The mean opacity and lightness of a picture's pixels.
std::pair<double, double> opacityAndLightness(const QImage& image) {
    double alpha = 0, light = 0;
    int seen = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            alpha += c.alphaF();
            if (c.alpha() > 0) {
                light += c.lightnessF();
                ++seen;
            }
        }
    return {alpha / (image.width() * image.height()), seen ? light / seen : 0};
}

TEST_F(LayoutTest, ToolBarPicturesAreOneSizeAndFadeWhenTheirCommandIsOff) {
    auto state = signIn();
    TMainForm form(*state);
    const QList<QToolButton*> buttons = form.ToolBar1->findChildren<QToolButton*>(
        QRegularExpression(QStringLiteral("^ToolButton\\d+$")));
    ASSERT_EQ(buttons.size(), 16);
    const QSize size = form.ToolBar1->iconSize();
    for (QToolButton* b : buttons) {
        // Pictures of one size put every caption on one line ("系统" among them).
        EXPECT_EQ(b->icon().actualSize(size), size) << b->text().toStdString();
        EXPECT_EQ(b->sizeHint().height(), form.ToolButton1->sizeHint().height())
            << b->text().toStdString();
    }
    // "修改" while off: visibly paler than while on.
    const QIcon modify = form.ToolButton8->icon();
    const auto on = opacityAndLightness(modify.pixmap(size, QIcon::Normal).toImage());
    const auto off = opacityAndLightness(modify.pixmap(size, QIcon::Disabled).toImage());
    EXPECT_LT(off.first, on.first * 0.6);
    EXPECT_GT(off.second, on.second);
}

TEST_F(LayoutTest, RulesAtTheDesignWidth) {
    auto state = signIn();
    TMainForm form(*state);
    form.show();
    EXPECT_EQ(form.outerWidth(), 741);
    expectLayout(form, 741);
    // The numbers the card was drawn with.
    EXPECT_EQ(form.GroupBox1->width(), 669);
    EXPECT_EQ(form.DBComboBox2->x(), 444);
    EXPECT_EQ(form.DBComboBox6->width(), 95);
    // The panel reaches down to one pixel above the status bar.
    const QPoint panelBottom = form.Panel1->mapTo(&form, QPoint(0, form.Panel1->height()));
    EXPECT_EQ(panelBottom.y() + 1, form.statusBar()->y());
    // Nothing of the card sticks out of the group box.
    for (QWidget* w : form.GroupBox1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_LE(w->geometry().right(), form.GroupBox1->width()) << w->objectName().toStdString();
}

TEST_F(LayoutTest, RulesAtWiderWidths) {
    auto state = signIn();
    TMainForm form(*state);
    form.applyLayoutRules(1008);
    expectLayout(form, 1008);
    EXPECT_EQ(form.DBComboBox2->x(), 578);
    EXPECT_EQ(form.DBComboBox6->width(), 228);
    // An odd width drops the half pixel.
    form.applyLayoutRules(1009);
    expectLayout(form, 1009);
    EXPECT_EQ(form.DBComboBox2->x(), 578);
    EXPECT_EQ(form.DBComboBox1->width(), 312);
    EXPECT_EQ(form.DBEdit3->width(), 779);
}

TEST_F(LayoutTest, MaximisingAppliesTheRulesAndRestoringReturnsToTheDesignSize) {
    auto state = signIn();
    TMainForm form(*state);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.setMaximised(true);
    QTRY_VERIFY(form.width() > TMainForm::kClientWidth);
    expectLayout(form, form.outerWidth());
    EXPECT_EQ(form.Panel1->height(), form.centralWidget()->height() - form.Panel1->y() - 1);

    form.setMaximised(false);
    QTRY_COMPARE(form.size(), QSize(733, 509));
    expectLayout(form, 741);
}

TEST_F(LayoutTest, SerialBoxTakesDigitsAndBackspaceOnly) {
    completeFirstUse();
    auto state = signIn();
    auto started = startedForm(*state);
    TMainForm& form = *started;
    QSpinBox* box = form.SpinEdit1;
    EXPECT_EQ(box->minimum(), 0);
    EXPECT_EQ(box->maximum(), 999999999);
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("12a-3 "));
    EXPECT_EQ(box->text(), QStringLiteral("123"));
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), QStringLiteral("12"));
    // Enter shows the record and goes no further: the box does not finish its editing.
    QSignalSpy finished(box, &QSpinBox::editingFinished);
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("没有此序号的记录"))
        .expect(QStringLiteral("提示"), QStringLiteral("没有此序号的记录"));
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_Enter);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(box->value(), 12);
}

TEST_F(LayoutTest, EnterMovesFromPriceToDateToServiceLife) {
    auto state = signIn();
    TMainForm form(*state);
    form.ApplyInputMode(false);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.DBEdit1->setFocus();
    ASSERT_TRUE(form.DBEdit1->hasFocus());
    QTest::keyClick(form.DBEdit1, Qt::Key_Return);
    EXPECT_TRUE(form.DateTimePicker1->hasFocus());
    QTest::keyClick(form.DateTimePicker1, Qt::Key_Enter);
    EXPECT_TRUE(form.DBComboBox6->hasFocus());
}

TEST_F(LayoutTest, CardTabOrder) {
    auto state = signIn();
    TMainForm form(*state);
    const QList<QWidget*> order = {form.DBComboBox1, form.DBComboBox2, form.DBComboBox4,
                                   form.DBComboBox5, form.DBEdit3,     form.DateTimePicker1,
                                   form.DBComboBox3, form.DBComboBox6, form.DBEdit1,
                                   form.DBComboBox7, form.DBComboBox8, form.DBMemo1};
    // Walk the focus chain once round and note the card's fields in the order they come.
    QList<QWidget*> seen;
    QWidget* w = order.first();
    for (int step = 0; step < 500; ++step, w = w->nextInFocusChain()) {
        QWidget* field = order.contains(w) ? w : nullptr;
        if (!field && w->parentWidget() && order.contains(w->parentWidget()))
            field = w->parentWidget();  // a field's own text area
        if (field && !seen.contains(field)) seen << field;
        if (w->nextInFocusChain() == order.first()) break;
    }
    EXPECT_EQ(seen, order);
    EXPECT_EQ(form.DBEdit3->maxLength(), 100);
    EXPECT_EQ(form.DBEdit1->maxLength(), 10);
}

class InputModeTest : public RegisterTest {
protected:
    // Which of the eight lists take typing after an edit begins with these settings.
    QString typingLists(int input, int mcl = 1, int ytl = 1, int xhl = 1, int wzl = 1) {
        auto state = signIn();
        state->settings.input = input;
        state->settings.mcl = mcl;
        state->settings.ytl = ytl;
        state->settings.xhl = xhl;
        state->settings.wzl = wzl;
        TMainForm form(*state);
        form.ApplyInputMode(false);
        EXPECT_TRUE(form.cardTakesInput());
        QStringList typing;
        for (QComboBox* c :
             {form.DBComboBox1, form.DBComboBox2, form.DBComboBox4, form.DBComboBox5,
              form.DBComboBox3, form.DBComboBox6, form.DBComboBox7, form.DBComboBox8})
            if (c->isEditable()) typing << c->objectName().mid(10);
        // Leaving the edit makes every list a typing list again and locks the card.
        form.ApplyInputMode(true);
        EXPECT_FALSE(form.cardTakesInput());
        for (QComboBox* c : form.GroupBox1->findChildren<QComboBox*>())
            EXPECT_TRUE(c->isEditable()) << c->objectName().toStdString();
        return typing.join(QLatin1Char(','));
    }
};

TEST_F(InputModeTest, EverythingTypedInMode0) {
    EXPECT_EQ(typingLists(0), QStringLiteral("1,2,4,5,3,6,7,8"));
}

TEST_F(InputModeTest, Mode1ChoosesCategoryServiceLifeAndSource) {
    EXPECT_EQ(typingLists(1), QStringLiteral("2,4,5,3,8"));
}

TEST_F(InputModeTest, Mode2ChoosesEverything) {
    EXPECT_EQ(typingLists(2), QString());
}

TEST_F(InputModeTest, EachTypingSettingLocksItsFields) {
    EXPECT_EQ(typingLists(0, 0), QStringLiteral("1,4,5,3,6,7,8"));
    EXPECT_EQ(typingLists(0, 1, 0), QStringLiteral("1,2,5,3,6,7,8"));
    EXPECT_EQ(typingLists(0, 1, 1, 0), QStringLiteral("1,2,4,3,6,7,8"));
    EXPECT_EQ(typingLists(0, 1, 1, 1, 0), QStringLiteral("1,2,4,5,6,7"));
    EXPECT_EQ(typingLists(1, 0, 1, 1, 0), QStringLiteral("4,5"));
}

TEST_F(InputModeTest, ChooseOnlyKeepsAValueOfTheList) {
    auto state = signIn();
    state->settings.input = 2;
    TMainForm form(*state);
    form.DBComboBox1->addItems({QStringLiteral("电子设备"), QStringLiteral("办公家具")});
    form.DBComboBox1->setEditText(QStringLiteral("办公家具"));
    form.ApplyInputMode(false);
    ASSERT_FALSE(form.DBComboBox1->isEditable());
    EXPECT_EQ(form.DBComboBox1->currentText(), QStringLiteral("办公家具"));
    form.ApplyInputMode(true);
    EXPECT_EQ(form.DBComboBox1->currentText(), QStringLiteral("办公家具"));
}

}  // namespace
}  // namespace fx::test
