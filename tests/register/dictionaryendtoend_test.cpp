// The dictionary from the card and back, with real windows and the keyboard: a category, a name,
// a model and a place typed on a new card are added under "ask" as the user answers, the asset is
// saved, and the four are renamed in the maintenance window; the asset and the card follow. Runs
// headless; under Xvfb (QT_QPA_PLATFORM=xcb) with FX_SCREENSHOT_DIR set it also saves a picture of
// every step there.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include "connection.h"
#include "editfixture.h"
#include "prefixedit.h"
#include "scripts.h"
#include "tinputpzdlg.h"
#include "tsjzdwh.h"
#include "txzdlg.h"

namespace fx::test {
namespace {

using dictionary::TinputpzDlg;
using dictionary::Tsjzdwh;
using dictionary::TxzDlg;

const QString kTip = QStringLiteral("提示");

// Saves a picture of a window when FX_SCREENSHOT_DIR names a folder. A dialog answered by the
// modal hook is pictured as it stands: events are not run while a field is being left.
void shot(QWidget& w, const char* name, bool settle = true) {
    const QString dir = qEnvironmentVariable("FX_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    if (settle) QApplication::processEvents();
    QDir().mkpath(dir);
    EXPECT_TRUE(
        w.grab().save(QDir(dir).filePath(QString::fromLatin1(name) + QStringLiteral(".png"))));
}

// Types text as the keyboard does, Chinese included, into the widget with the focus.
void type(const QString& text) {
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, text,
                        Qt::NoModifier);
}

void enter() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

// In the maintenance window: the node at path modified by change and saved.
void modify(Tsjzdwh& w, const QStringList& path, const std::function<void(Tsjzdwh&)>& change) {
    QTreeWidgetItem* node = w.node(path);
    ASSERT_NE(node, nullptr) << path.join(QLatin1Char('/')).toStdString();
    w.selectNode(node);
    w.BitBtn1Click();
    change(w);
    w.BitBtn4Click();
    EXPECT_EQ(w.mode(), Tsjzdwh::Mode::None) << path.join(QLatin1Char('/')).toStdString();
}

using DictionaryEndToEndTest = EditTest;

TEST_F(DictionaryEndToEndTest, AddedOnTheCardThenRenamedInMaintenance) {
    start();
    state->settings.input = 0;
    state->settings.datadic = 0;
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Add1->trigger();
    ASSERT_TRUE(form->DBComboBox1->hasFocus());

    PromptScript prompts;
    ModalScript dialogs;
    // The category.
    prompts.expect(kTip, QStringLiteral("资产类别：仪器 不在数据字典中"));
    dialogs.then<TxzDlg>([](TxzDlg& d) {
        d.CSpinEdit1->setValue(3);
        d.Edit1->setText(QStringLiteral("yq"));
        shot(d, "dictionary-1-category-attributes", false);
        d.BitBtn1Click();
        return d.result();
    });
    type(QStringLiteral("仪器"));
    enter();
    EXPECT_TRUE(form->DBComboBox2->hasFocus());
    EXPECT_EQ(conn().queryValue(QStringLiteral("select title||'/'||cz from sortproc where "
                                               "sort='仪器'")),
              QStringLiteral("YQ/3"));

    // The name, kept at a place under its own prefix.
    prompts.expect(kTip, QStringLiteral("示波器 不在仪器的数据字典中"));
    dialogs.then<TxzDlg>([](TxzDlg& d) {
        EXPECT_EQ(d.prefix(), QStringLiteral("YQ"));
        d.RadioButton2->setChecked(true);
        d.Edit1->setText(QStringLiteral("SBQ"));
        shot(d, "dictionary-2-name-attributes", false);
        d.BitBtn1Click();
        return d.result();
    });
    type(QStringLiteral("示波器"));
    enter();
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("SBQ-1"));
    EXPECT_EQ(form->Label7->text(), QStringLiteral("位  置："));
    EXPECT_TRUE(form->DBComboBox4->hasFocus());
    enter();  // no use

    // The model: typing narrows the (empty) list; the configuration dialog is answered.
    ASSERT_TRUE(form->DBComboBox5->hasFocus());
    QTest::keyClicks(form->DBComboBox5, QStringLiteral("DS1000"));
    shot(*form, "dictionary-3-model-typed");
    form->DBComboBox5->hidePopup();
    prompts.expect(kTip, QStringLiteral("型号：DS1000 不在示波器的数据字典中"));
    dialogs.then<TinputpzDlg>([](TinputpzDlg& d) {
        d.Edit1->setText(QStringLiteral("100MHz 双通道"));
        shot(d, "dictionary-4-model-configuration", false);
        d.BitBtn1->click();
        return d.result();
    });
    enter();
    EXPECT_EQ(form->DBEdit3->text(), QStringLiteral("100MHz 双通道"));
    EXPECT_FALSE(form->DBEdit3->isEnabled());
    ASSERT_TRUE(form->DBComboBox3->hasFocus());

    // The place, a department.
    prompts.expect(kTip, QStringLiteral("位  置：实验室 不在数据字典中，把它加入数据字典吗？"));
    dialogs.then<TxzDlg>([](TxzDlg& d) {
        EXPECT_EQ(d.form(), TxzDlg::Form::DepartmentQuestion);
        d.RadioButton1->setChecked(true);
        d.BitBtn1Click();
        return d.result();
    });
    type(QStringLiteral("实验室"));
    enter();
    EXPECT_TRUE(form->DBComboBox8->hasFocus());
    choose(form->DBComboBox6, QStringLiteral("五年"));
    form->DBEdit1->setText(QStringLiteral("12800"));
    shot(*form, "dictionary-5-card-filled");

    prompts.expect(kTip, QStringLiteral("您增加了第"));
    form->Save1->trigger();
    ASSERT_EQ(assetCount(), 1);
    ASSERT_TRUE(prompts.done());
    ASSERT_TRUE(dialogs.done());
    const int serial = form->shownSerial();
    EXPECT_EQ(field(serial, QStringLiteral("zclb")) + field(serial, QStringLiteral("sbmc")) +
                  field(serial, QStringLiteral("sbxh")) + field(serial, QStringLiteral("wz")),
              QStringLiteral("仪器示波器DS1000实验室"));

    // The four renamed in the maintenance window: the asset follows, and so does the card.
    dialogs.then<Tsjzdwh>([](Tsjzdwh& w) {
        modify(w, {QStringLiteral("[资产类别]"), QStringLiteral("仪器")},
               [](Tsjzdwh& m) { m.Edit1->setText(QStringLiteral("测量仪器")); });
        modify(w,
               {QStringLiteral("[资产类别]"), QStringLiteral("测量仪器"), QStringLiteral("[名称]"),
                QStringLiteral("示波器")},
               [](Tsjzdwh& m) { m.Edit1->setText(QStringLiteral("数字示波器")); });
        modify(w,
               {QStringLiteral("[资产类别]"), QStringLiteral("测量仪器"), QStringLiteral("[名称]"),
                QStringLiteral("数字示波器"), QStringLiteral("[型号]"), QStringLiteral("DS1000")},
               [](Tsjzdwh& m) { m.Edit1->setText(QStringLiteral("DS2000")); });
        modify(w, {QStringLiteral("[存放]"), QStringLiteral("[位置]"), QStringLiteral("实验室")},
               [](Tsjzdwh& m) { m.Edit1->setText(QStringLiteral("计量室")); });
        shot(w, "dictionary-6-maintenance-renamed", false);
        w.BitBtn6Click();
        return w.result();
    });
    form->N16->trigger();
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(field(serial, QStringLiteral("zclb")) + field(serial, QStringLiteral("sbmc")) +
                  field(serial, QStringLiteral("sbxh")) + field(serial, QStringLiteral("wz")),
              QStringLiteral("测量仪器数字示波器DS2000计量室"));
    EXPECT_EQ(form->DBComboBox1->currentText(), QStringLiteral("测量仪器"));
    EXPECT_EQ(form->DBComboBox2->currentText(), QStringLiteral("数字示波器"));
    EXPECT_EQ(form->DBComboBox5->currentText(), QStringLiteral("DS2000"));
    EXPECT_EQ(form->DBComboBox3->currentText(), QStringLiteral("计量室"));
    shot(*form, "dictionary-7-card-after-maintenance");
}

}  // namespace
}  // namespace fx::test
