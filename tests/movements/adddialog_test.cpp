#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "maintenancefixture.h"
#include "scripts.h"
#include "taddwxjldlg.h"

// The add dialog on its own: what it opens with, the Enter order and the row "保存" writes.

namespace fx::test {
namespace {

using movements::TaddwxjlDlg;

class AddDialogTest : public MaintenanceTest {
protected:
    void SetUp() override {
        MaintenanceTest::SetUp();
        app = inst.signedIn();
        serial = addAsset(QStringLiteral("DZ-"), 3);
    }
    void TearDown() override {
        app.reset();
        MaintenanceTest::TearDown();
    }
    std::unique_ptr<AppState> app;
    int serial = 0;
};

TEST_F(AddDialogTest, OpensWithTodayAndItsCaptions) {
    TaddwxjlDlg d(*app, serial);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("增加维修记录"));
    EXPECT_EQ(d.DateTimePicker1->date(), QDate(2024, 3, 15));
    EXPECT_EQ(d.DateTimePicker2->date(), QDate(2024, 3, 15));
    EXPECT_EQ(d.BitBtn1->text(), QStringLiteral("保存"));
    EXPECT_EQ(d.BitBtn2->text(), QStringLiteral("取消"));
}

TEST_F(AddDialogTest, EnterMovesInTheFormOrderAndSaves) {
    TaddwxjlDlg d(*app, serial);
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.DBEdit1->setText(QStringLiteral("维修站"));
    d.DateTimePicker2->setDate(QDate(2024, 3, 16));
    d.DateTimePicker1->setFocus(Qt::OtherFocusReason);
    const QList<QWidget*> expected = {d.DateTimePicker1, d.DBEdit1,         d.DBEdit6,
                                      d.DBEdit2,         d.DateTimePicker2, d.DBEdit3,
                                      d.DBEdit4,         d.DBEdit5,         d.BitBtn1};
    for (int i = 0; i + 1 < expected.size(); ++i) {
        QWidget* from = QApplication::focusWidget();
        ASSERT_TRUE(from == expected[i] || expected[i]->isAncestorOf(from))
            << "step " << i << ": " << (from ? from->objectName().toStdString() : "none");
        QTest::keyClick(from, Qt::Key_Return);
    }
    EXPECT_EQ(QApplication::focusWidget(), d.BitBtn1);
    EXPECT_EQ(recordCount(serial), 0);  // moving through the fields writes nothing

    QTest::keyClick(d.BitBtn1, Qt::Key_Return);
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_EQ(recordCount(serial), 1);
    EXPECT_EQ(recordField(serial, QStringLiteral("sxdd")), QStringLiteral("维修站"));
    EXPECT_EQ(recordField(serial, QStringLiteral("sxrq")), QStringLiteral("2024-03-15"));
    EXPECT_EQ(recordField(serial, QStringLiteral("wxrq")), QStringLiteral("2024-03-16"));
    EXPECT_EQ(recordField(serial, QStringLiteral("wxfy")).toDouble(), 0.0);
}

TEST_F(AddDialogTest, ApostropheAndRepairBeforeSendingAreStoredAsEntered) {
    TaddwxjlDlg d(*app, serial);
    d.DateTimePicker1->setDate(QDate(2024, 3, 10));
    d.DateTimePicker2->setDate(QDate(2024, 3, 2));
    d.DBEdit3->setText(QStringLiteral("O'Neil 说：进水"));
    d.DBEdit4->setText(QStringLiteral(" 80 "));
    d.BitBtn1Click();
    EXPECT_EQ(d.result(), int(QDialog::Accepted));
    EXPECT_EQ(recordField(serial, QStringLiteral("gzyy")), QStringLiteral("O'Neil 说：进水"));
    EXPECT_EQ(recordField(serial, QStringLiteral("wxrq")), QStringLiteral("2024-03-02"));
    EXPECT_EQ(recordField(serial, QStringLiteral("wxfy")).toDouble(), 80.0);
    EXPECT_EQ(recordField(serial, QStringLiteral("id")).toInt(), serial);
}

}  // namespace
}  // namespace fx::test
