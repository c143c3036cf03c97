#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "scripts.h"
#include "tpaperdlg.h"

using namespace fx::report;
using fx::dictionary::TypeAheadBox;

namespace {

const QString kRefusal = QStringLiteral("位置或使用者栏中必须填写内容。");

template <typename W>
W* child(QWidget& dialog, const char* name) {
    W* w = dialog.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

TransferTargetSetup byLocation() {
    TransferTargetSetup s;
    s.placeCaption = QStringLiteral("位  置：");
    s.places = {QStringLiteral("A座101"), QStringLiteral("A座102"), QStringLiteral("B楼仓库")};
    s.custodians = {QStringLiteral("张三"), QStringLiteral("李四")};
    return s;
}

TransferTargetSetup byUser() {
    TransferTargetSetup s;
    s.placeCaption = TpaperDlg::batchPlaceCaption(false);
    s.places = {QStringLiteral("张三"), QStringLiteral("李四")};
    s.custodians = s.places;
    s.custodianEnabled = false;
    return s;
}

// Types text into the box being edited as a user does, one key at a time.
void type(TypeAheadBox* box, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

}  // namespace

TEST(TpaperDlg, PaperChoiceStartsAtA4PortraitWithTheSlipChoiceHidden) {
    TpaperDlg dlg;
    EXPECT_EQ(dlg.objectName(), QStringLiteral("TpaperDlg"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("请选择打印纸张"));
    EXPECT_EQ(child<QLabel>(dlg, "Label1")->text(),
              QStringLiteral("注意：如需要修改打印时各列的宽度或顺序，请在列表中通过拖动来修改。"));
    EXPECT_EQ(child<QLabel>(dlg, "Label2")->text(), QStringLiteral("纸张尺寸："));
    EXPECT_EQ(child<QLabel>(dlg, "Label3")->text(), QStringLiteral("打印方向："));
    auto* paper = child<TypeAheadBox>(dlg, "ComboBox1");
    auto* orientation = child<TypeAheadBox>(dlg, "ComboBox2");
    EXPECT_FALSE(paper->isTyping());
    EXPECT_FALSE(orientation->isTyping());
    EXPECT_EQ(paper->entries(),
              (QStringList{QStringLiteral("A4"), QStringLiteral("A3"), QStringLiteral("A5"),
                           QStringLiteral("B4"), QStringLiteral("B5"), QStringLiteral("自定义")}));
    EXPECT_EQ(orientation->entries(),
              (QStringList{QStringLiteral("纵向"), QStringLiteral("横向")}));
    EXPECT_EQ(paper->text(), QStringLiteral("A4"));
    EXPECT_EQ(orientation->text(), QStringLiteral("纵向"));
    EXPECT_TRUE(child<QCheckBox>(dlg, "CheckBox1")->isHidden());
    EXPECT_TRUE(child<QCheckBox>(dlg, "CheckBox2")->isHidden());
    EXPECT_EQ(child<QCheckBox>(dlg, "CheckBox1")->text(), QStringLiteral("打印交接单"));
    EXPECT_EQ(child<QCheckBox>(dlg, "CheckBox2")->text(), QStringLiteral("先预览后打印"));
    EXPECT_EQ(child<QPushButton>(dlg, "BitBtn1")->text(), QStringLiteral("确定"));
    EXPECT_EQ(child<QPushButton>(dlg, "BitBtn2")->text(), QStringLiteral("取消"));
}

TEST(TpaperDlg, PaperChoiceMapsToThePageSetup) {
    TpaperDlg dlg;
    EXPECT_EQ(dlg.paper(), Paper::A4);
    EXPECT_EQ(dlg.orientation(), Orientation::Portrait);
    const std::pair<const char16_t*, Paper> papers[] = {{u"A3", Paper::A3},
                                                        {u"A5", Paper::A5},
                                                        {u"B4", Paper::B4},
                                                        {u"B5", Paper::B5},
                                                        {u"自定义", Paper::PrinterDefault}};
    for (const auto& [name, paper] : papers) {
        dlg.ComboBox1->setText(QString::fromUtf16(name));
        EXPECT_EQ(dlg.paper(), paper);
    }
    dlg.ComboBox2->setText(QStringLiteral("横向"));
    EXPECT_EQ(dlg.orientation(), Orientation::Landscape);

    fx::test::ModalScript modal;
    modal.then([](QDialog& d) {
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("BitBtn1")), Qt::LeftButton);
        return d.result();
    });
    EXPECT_EQ(fx::ui::runModal(dlg), QDialog::Accepted);
}

TEST(TpaperDlg, TransferTargetIsReconfigured) {
    TpaperDlg dlg;
    dlg.configureAsTransferTarget(byLocation());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("请输入调拨目标"));
    EXPECT_EQ(dlg.Label1->text(),
              QStringLiteral("请在下面填入将要使用该资产的位置或使用者,及保管人。调拨过程将计入该资"
                             "产的移交记录。"));
    EXPECT_EQ(dlg.Label2->text(), QStringLiteral("位  置："));
    EXPECT_EQ(dlg.Label3->text(), QStringLiteral("保管人："));
    EXPECT_TRUE(dlg.ComboBox1->isTyping());
    EXPECT_TRUE(dlg.ComboBox2->isTyping());
    EXPECT_TRUE(dlg.ComboBox1->text().isEmpty());
    EXPECT_TRUE(dlg.ComboBox2->text().isEmpty());
    EXPECT_EQ(dlg.ComboBox1->entries(), byLocation().places);
    EXPECT_EQ(dlg.ComboBox2->entries(), byLocation().custodians);
    EXPECT_TRUE(dlg.ComboBox2->isEnabled());
    EXPECT_FALSE(dlg.CheckBox1->isHidden());
    EXPECT_FALSE(dlg.CheckBox1->isChecked());
    EXPECT_TRUE(dlg.CheckBox2->isHidden());
    EXPECT_EQ(dlg.palette().color(QPalette::Window), QColor(186, 197, 218));

    // Another theme gives the dialog its colour instead.
    TpaperDlg blue;
    TransferTargetSetup s = byLocation();
    s.theme = fx::Theme::Blue;
    blue.configureAsTransferTarget(s);
    EXPECT_NE(blue.palette().color(QPalette::Window), QColor(186, 197, 218));

    EXPECT_EQ(TpaperDlg::batchPlaceCaption(true), QStringLiteral("位　置："));
    EXPECT_EQ(TpaperDlg::batchPlaceCaption(false), QStringLiteral("使用者："));
}

TEST(TpaperDlg, SlipChoiceShowsPreviewWhileTicked) {
    TpaperDlg dlg;
    dlg.configureAsTransferTarget(byLocation());
    dlg.CheckBox1->setChecked(true);
    EXPECT_FALSE(dlg.CheckBox2->isHidden());
    EXPECT_TRUE(dlg.printSlip());
    EXPECT_FALSE(dlg.previewFirst());
    // Enter on a check box toggles it.
    QTest::keyClick(dlg.CheckBox2, Qt::Key_Return);
    EXPECT_TRUE(dlg.CheckBox2->isChecked());
    EXPECT_TRUE(dlg.previewFirst());
    QTest::keyClick(dlg.CheckBox1, Qt::Key_Enter);
    EXPECT_FALSE(dlg.CheckBox1->isChecked());
    EXPECT_TRUE(dlg.CheckBox2->isHidden());
    EXPECT_FALSE(dlg.printSlip());
    EXPECT_FALSE(dlg.previewFirst());
}

TEST(TpaperDlg, TargetListNarrowsAsTheUserTypes) {
    TpaperDlg dlg;
    dlg.configureAsTransferTarget(byLocation());
    dlg.ComboBox1->enter();
    type(dlg.ComboBox1, QStringLiteral("A"));
    EXPECT_EQ(dlg.ComboBox1->entries(), (QStringList{QStringLiteral("A"), QStringLiteral("A座101"),
                                                     QStringLiteral("A座102")}));
    dlg.ComboBox1->hidePopup();
    // An apostrophe is not taken, typed or pasted.
    type(dlg.ComboBox1, QStringLiteral("'"));
    EXPECT_EQ(dlg.ComboBox1->text(), QStringLiteral("A"));
    dlg.ComboBox1->setText(QStringLiteral("A'1"));
    EXPECT_EQ(dlg.ComboBox1->text(), QStringLiteral("A1"));
    // Leaving puts the whole list back and trims the text.
    dlg.ComboBox1->setText(QStringLiteral("  B楼仓库 "));
    dlg.ComboBox1->leave();
    EXPECT_EQ(dlg.ComboBox1->entries(), byLocation().places);
    EXPECT_EQ(dlg.ComboBox1->text(), QStringLiteral("B楼仓库"));
    // By location the custodian is chosen on its own.
    EXPECT_TRUE(dlg.ComboBox2->text().isEmpty());
}

TEST(TpaperDlg, UserIsCopiedIntoTheDisabledCustodianList) {
    TpaperDlg dlg;
    dlg.configureAsTransferTarget(byUser());
    EXPECT_FALSE(dlg.ComboBox2->isEnabled());
    dlg.ComboBox1->enter();
    type(dlg.ComboBox1, QStringLiteral("X"));
    EXPECT_EQ(dlg.ComboBox2->text(), QStringLiteral("X"));
    dlg.ComboBox1->hidePopup();
    dlg.ComboBox1->setText(QStringLiteral("李四"));
    EXPECT_EQ(dlg.ComboBox2->text(), QStringLiteral("李四"));
    EXPECT_EQ(dlg.target(), QStringLiteral("李四"));
    EXPECT_EQ(dlg.custodian(), QStringLiteral("李四"));
}

TEST(TpaperDlg, EnterMovesOnToTheNextFieldThatTakesIt) {
    TpaperDlg dlg;
    dlg.configureAsTransferTarget(byLocation());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    dlg.ComboBox1->setFocus();
    QTest::keyClick(dlg.ComboBox1, Qt::Key_Return);
    EXPECT_EQ(dlg.focusWidget(), dlg.ComboBox2);
    QTest::keyClick(dlg.ComboBox2, Qt::Key_Return);
    EXPECT_EQ(dlg.focusWidget(), dlg.CheckBox1);

    TpaperDlg users;
    users.configureAsTransferTarget(byUser());
    users.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&users));
    users.ComboBox1->setFocus();
    users.ComboBox1Enter();
    EXPECT_EQ(users.focusWidget(), users.CheckBox1);
}

TEST(TpaperDlg, EmptyTargetIsRefusedAndTheDialogStaysOpen) {
    TpaperDlg dlg;
    dlg.configureAsTransferTarget(byLocation());
    fx::test::PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), kRefusal).expect(QStringLiteral("提示"), kRefusal);
    fx::test::ModalScript modal;
    modal.then<TpaperDlg>([](TpaperDlg& d) {
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
        EXPECT_EQ(d.result(), QDialog::Rejected);
        // Blanks are no target either.
        d.ComboBox1->setText(QStringLiteral("   "));
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
        EXPECT_EQ(d.result(), QDialog::Rejected);
        d.ComboBox1->setText(QStringLiteral("A座102 "));
        d.ComboBox2->setText(QStringLiteral("李四"));
        d.CheckBox1->setChecked(true);
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
        return d.result();
    });
    EXPECT_EQ(fx::ui::runModal(dlg), QDialog::Accepted);
    EXPECT_EQ(prompts.seen().size(), 2);
    EXPECT_EQ(dlg.target(), QStringLiteral("A座102"));
    EXPECT_EQ(dlg.custodian(), QStringLiteral("李四"));
    EXPECT_TRUE(dlg.printSlip());
}

TEST(TpaperDlg, CancelEndsWithoutATarget) {
    TpaperDlg dlg;
    dlg.configureAsTransferTarget(byLocation());
    fx::test::ModalScript modal;
    modal.then<TpaperDlg>([](TpaperDlg& d) {
        d.ComboBox1->setText(QStringLiteral("A座101"));
        QTest::mouseClick(d.BitBtn2, Qt::LeftButton);
        return d.result();
    });
    EXPECT_EQ(fx::ui::runModal(dlg), QDialog::Rejected);
}
