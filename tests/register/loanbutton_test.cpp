#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QToolButton>

#include "cardfixture.h"
#include "scripts.h"
#include "tjcjldlg.h"

namespace fx::test {
namespace {

using movements::Tjcjldlg;

class LoanButtonTest : public CardTest {};

TEST_F(LoanButtonTest, LendingAndReturnTurnTheButtonCaption) {
    start();
    const int serial = addAsset(QStringLiteral("JSJ"), 1);
    form->showSerial(serial);
    ASSERT_EQ(form->BitBtn1->text(), QStringLiteral("未借出"));
    ASSERT_TRUE(form->BitBtn1->isEnabled());

    ModalScript modal;
    modal.then<Tjcjldlg>([](Tjcjldlg& d) {
        EXPECT_TRUE(d.lending());
        d.DBComboBox2->setEditText(QStringLiteral("王五"));
        EXPECT_TRUE(d.BitBtn1Click());
        return d.result();
    });
    form->BitBtn1->click();
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("已借出"));
    EXPECT_EQ(field(serial, QStringLiteral("yjc")), QStringLiteral("true"));

    // "退出" changes nothing.
    modal.then<Tjcjldlg>([](Tjcjldlg& d) {
        EXPECT_FALSE(d.lending());
        return int(QDialog::Rejected);
    });
    form->BitBtn1->click();
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("已借出"));

    modal.then<Tjcjldlg>([](Tjcjldlg& d) {
        EXPECT_TRUE(d.BitBtn1Click());
        return d.result();
    });
    form->BitBtn1->click();
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("未借出"));
    EXPECT_EQ(field(serial, QStringLiteral("yjc")), QStringLiteral("false"));
    EXPECT_TRUE(modal.done());
}

}  // namespace
}  // namespace fx::test
