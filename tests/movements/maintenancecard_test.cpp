#include <gtest/gtest.h>

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

#include "maintenancefixture.h"
#include "scripts.h"
#include "taddwxjldlg.h"
#include "tcxjgdlg1.h"

// The card's maintenance button: its two faces, adding records while modifying and the save of
// the card that the first record brings with it.

namespace fx::test {
namespace {

using movements::TaddwxjlDlg;
using query::TcxjgDlg1;

class MaintenanceCardTest : public MaintenanceTest {
protected:
    void SetUp() override {
        MaintenanceTest::SetUp();
        setPrefix(QStringLiteral("DZ-"), 9);
    }

    // A step that fills in the add dialog and saves it.
    static ModalScript::Step fillAndSave(const QString& place) {
        return [place](QDialog& d) {
            auto& dlg = dynamic_cast<TaddwxjlDlg&>(d);
            dlg.DateTimePicker1->setDate(QDate(2024, 3, 1));
            dlg.DateTimePicker2->setDate(QDate(2024, 3, 8));
            dlg.DBEdit1->setText(place);
            dlg.DBEdit6->setText(QStringLiteral("张三"));
            dlg.DBEdit2->setText(QStringLiteral("电源"));
            dlg.DBEdit3->setText(QStringLiteral("不开机"));
            dlg.DBEdit4->setText(QStringLiteral("150.5"));
            dlg.DBEdit5->setText(QStringLiteral("已修好"));
            dlg.BitBtn1Click();
            return dlg.result();
        };
    }
};

TEST_F(MaintenanceCardTest, FirstRecordSavesTheCardMarked) {
    const int serial = addAsset(QStringLiteral("DZ-"), 7);
    start();
    show(serial);
    EXPECT_FALSE(form->BitBtn2->isEnabled());
    form->Modify1Click();
    // A change made before the record is saved along with the mark.
    form->DBEdit3->setText(QStringLiteral("i7/32G"));

    ModalScript dialogs;
    dialogs.then(fillAndSave(QStringLiteral("维修中心")));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"),
                   QStringLiteral("维修记录填加完毕！该记录将自动改为已维修状态,并保存！"));
    prompts.expect(QStringLiteral("提示"),
                   QStringLiteral("系统已经按您的要求对该记录进行了修改。"));
    form->BitBtn2->click();
    EXPECT_TRUE(dialogs.done());
    EXPECT_TRUE(prompts.done());

    EXPECT_EQ(recordCount(serial), 1);
    EXPECT_EQ(recordField(serial, QStringLiteral("sxrq")), QStringLiteral("2024-03-01"));
    EXPECT_EQ(recordField(serial, QStringLiteral("wxrq")), QStringLiteral("2024-03-08"));
    EXPECT_EQ(recordField(serial, QStringLiteral("sxdd")), QStringLiteral("维修中心"));
    EXPECT_EQ(recordField(serial, QStringLiteral("sxr")), QStringLiteral("张三"));
    EXPECT_EQ(recordField(serial, QStringLiteral("ghpj")), QStringLiteral("电源"));
    EXPECT_EQ(recordField(serial, QStringLiteral("gzyy")), QStringLiteral("不开机"));
    EXPECT_DOUBLE_EQ(recordField(serial, QStringLiteral("wxfy")).toDouble(), 150.5);
    EXPECT_EQ(recordField(serial, QStringLiteral("wxzk")), QStringLiteral("已修好"));
    EXPECT_EQ(field(serial, QStringLiteral("wx")), QStringLiteral("true"));
    EXPECT_EQ(field(serial, QStringLiteral("sbpz")), QStringLiteral("i7/32G"));

    // The modification has ended and the button now lists the record.
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Browse);
    EXPECT_EQ(form->BitBtn2->text(), QStringLiteral("维修记录"));
    ASSERT_TRUE(form->BitBtn2->isEnabled());

    const QString lastQuery = form->queryState().queryText;
    ModalScript list;
    list.then<TcxjgDlg1>([serial](TcxjgDlg1& w) {
        const QString title = QStringLiteral("第%1号固定资产维修记录表").arg(serial);
        EXPECT_EQ(w.windowTitle(), title);
        EXPECT_EQ(w.reportTitle(), title);
        EXPECT_EQ(w.kind(), query::ResultKind::MaintenanceList);
        EXPECT_EQ(w.table().rowCount(), 1);
        EXPECT_EQ(w.titleAt(0), QStringLiteral("送修日期"));
        return int(QDialog::Rejected);
    });
    form->BitBtn2->click();
    EXPECT_TRUE(list.done());
    EXPECT_EQ(form->queryState().queryText, lastQuery);
}

TEST_F(MaintenanceCardTest, SecondRecordLeavesTheModificationOpen) {
    const int serial = addAsset(QStringLiteral("DZ-"), 8, QStringLiteral("wx=1"));
    addRecord(serial, QDate(2023, 1, 5), QDate(2023, 1, 9));
    start();
    show(serial);
    form->Modify1Click();
    form->DBEdit3->setText(QStringLiteral("未保存的配置"));

    ModalScript dialogs;
    dialogs.then(fillAndSave(QStringLiteral("厂家")));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("维修记录填加完毕！"));
    form->BitBtn2->click();
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(prompts.seen().size(), 1);

    EXPECT_EQ(recordCount(serial), 2);
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Modify);
    EXPECT_TRUE(form->Save1->isEnabled());
    EXPECT_EQ(field(serial, QStringLiteral("sbpz")), QStringLiteral("i5/8G"));
}

TEST_F(MaintenanceCardTest, CancelledOrRefusedRecordWritesNothing) {
    const int serial = addAsset(QStringLiteral("DZ-"), 9);
    start();
    show(serial);
    form->Modify1Click();

    ModalScript dialogs;
    dialogs.then<TaddwxjlDlg>([](TaddwxjlDlg& d) {
        d.DBEdit1->setText(QStringLiteral("维修站"));
        d.BitBtn2->click();
        return d.result();
    });
    // A cost that is not a number is refused; the dialog stays open until cancelled.
    dialogs.then<TaddwxjlDlg>([](TaddwxjlDlg& d) {
        d.DBEdit4->setText(QStringLiteral("一百"));
        d.BitBtn1Click();
        EXPECT_EQ(d.result(), int(QDialog::Rejected));
        d.reject();
        return d.result();
    });
    PromptScript prompts;
    prompts.expect(QStringLiteral("警告"), QStringLiteral("维修费用输入值非法,请重新输入!"));
    form->BitBtn2Click();
    form->BitBtn2Click();
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(prompts.seen().size(), 1);
    EXPECT_EQ(recordCount(serial), 0);
    EXPECT_EQ(field(serial, QStringLiteral("wx")), QStringLiteral("false"));
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Modify);
}

}  // namespace
}  // namespace fx::test
