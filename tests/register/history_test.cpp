// The change history of the card's saves: what each save records, and a history that cannot
// be written.
#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "clock.h"
#include "connection.h"
#include "editfixture.h"
#include "historylists.h"
#include "resulttable.h"
#include "rowset.h"
#include "schema.h"
#include "scripts.h"
#include "tcxjgdlg1.h"

namespace fx::test {
namespace {

// One row of the change history.
struct Row {
    QString operation;
    int serial = 0;
    QString number;
    QString changes;
    QString user;
    bool operator==(const Row&) const = default;
};

void PrintTo(const Row& r, std::ostream* os) {
    *os << r.operation.toStdString() << " #" << r.serial << " " << r.number.toStdString() << " ["
        << r.changes.toStdString() << "] by " << r.user.toStdString();
}

class HistoryTest : public EditTest {
protected:
    // The default column layouts beside the program, as the installer puts them.
    void SetUp() override {
        EditTest::SetUp();
        const QDir share(QStringLiteral(FX_SHARE_DIR));
        for (const QString& file : share.entryList({QStringLiteral("std*")}, QDir::Files))
            QFile::copy(share.filePath(file), inst.appPath() + QLatin1Char('/') + file);
    }
    std::unique_ptr<db::Connection> historyDb() {
        return db::Connection::open(state->historyDatabasePath(),
                                    QString::fromLatin1(schema::kHistoryPassword));
    }
    QList<Row> rows() {
        auto h = historyDb();
        db::RowSet rs(*h, QStringLiteral("select * from czjl order by index asc"));
        rs.open();
        QList<Row> out;
        for (; !rs.eof(); rs.next())
            out << Row{rs.text(QStringLiteral("cz")), rs.integer(QStringLiteral("id")),
                       rs.text(QStringLiteral("zcbh")), rs.text(QStringLiteral("bgnr")),
                       rs.text(QStringLiteral("czy"))};
        return out;
    }
};

TEST_F(HistoryTest, AModificationRecordsExactlyTheChangedFieldsWithOldAndNewValues) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    setPrefix(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    form->Modify1->trigger();
    choose(form->DBComboBox4, QStringLiteral("教学"));
    form->DBEdit3->setText(QStringLiteral("i9/64G"));
    form->DBEdit1->setText(QStringLiteral("5200"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"),
                   QStringLiteral("系统已经按您的要求对该记录进行了修改。"));
    form->Save1->trigger();
    ASSERT_TRUE(prompts.done());
    const QList<Row> r = rows();
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0].operation, QStringLiteral("修改"));
    EXPECT_EQ(r[0].serial, serial);
    EXPECT_EQ(r[0].number, QStringLiteral("DN-4"));
    EXPECT_EQ(r[0].user, kAdmin);
    EXPECT_EQ(
        r[0].changes,
        QStringLiteral("设备配置：i5/8G → i9/64G；用途：办公 → 教学；购买价格：4999.5 → 5200"));
}

TEST_F(HistoryTest, ABatchOfFiveRecordsFiveRows) {
    start();
    newBatch(5);
    fillCard();
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("您增加了第1号至第5号，共5条记录"));
    form->Save1->trigger();
    ASSERT_TRUE(prompts.done());
    QList<Row> expected;
    for (int i = 1; i <= 5; ++i)
        expected << Row{QStringLiteral("新增"), i, numberOf(i), QString(), kAdmin};
    EXPECT_EQ(rows(), expected);
}

TEST_F(HistoryTest, ScrapAndDeleteAreRecorded) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    setPrefix(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("报废处理"));
        form->Scrap1->trigger();
        form->Save1->trigger();
    }
    show(serial);
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("删除了该记录"));
        form->Delete1->trigger();
        form->Save1->trigger();
    }
    EXPECT_EQ(assetCount(), 0);
    EXPECT_EQ(rows(), (QList<Row>{
                          {QStringLiteral("报废"), serial, QStringLiteral("DN-4"),
                           QStringLiteral("已报废：否 → 是"), kAdmin},
                          {QStringLiteral("删除"), serial, QStringLiteral("DN-4"),
                           QStringLiteral("电脑"), kAdmin},
                      }));
}

TEST_F(HistoryTest, AHistoryRowTheEngineRefusesStopsTheSaveAndIsTold) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    setPrefix(QStringLiteral("DN-"), 4);
    start();
    historyDb()->executeNative(
        QStringLiteral("create trigger refuse_row before insert on czjl "
                       "begin select raise(abort, '操作记录表只读'); end"));
    show(serial);
    form->Modify1->trigger();
    form->DBEdit3->setText(QStringLiteral("i9/64G"));
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("操作记录表只读"));
        form->Save1->trigger();
        EXPECT_TRUE(prompts.done());
    }
    // The register did not change; the card is still being modified.
    EXPECT_EQ(field(serial, QStringLiteral("sbpz")), QStringLiteral("i5/8G"));
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Modify);
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(HistoryTest, WithoutTheHistoryDatabaseTheSaveGoesAheadAndTheUserIsTold) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    setPrefix(QStringLiteral("DN-"), 4);
    start();
    state->history.reset();
    show(serial);
    form->Modify1->trigger();
    form->DBEdit3->setText(QStringLiteral("i9/64G"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("此次操作没有记入操作记录"));
    prompts.expect(QStringLiteral("提示"),
                   QStringLiteral("系统已经按您的要求对该记录进行了修改。"));
    form->Save1->trigger();
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(field(serial, QStringLiteral("sbpz")), QStringLiteral("i9/64G"));
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(HistoryTest, TheCardListsTheAssetsHistoryNewestFirst) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    setPrefix(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    EXPECT_TRUE(form->BitBtn9->isEnabled());
    EXPECT_EQ(form->BitBtn9->text(), QStringLiteral("变更记录"));
    EXPECT_EQ(form->ChangeHistory1->text(), QStringLiteral("变更记录"));
    EXPECT_TRUE(form->HistoryQuery1->isEnabled());
    for (const char* text : {"A", "B"}) {
        form->Modify1->trigger();
        EXPECT_FALSE(form->BitBtn9->isEnabled());
        form->DBEdit3->setText(QString::fromLatin1(text));
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QString());
        form->Save1->trigger();
    }
    ASSERT_EQ(rows().size(), 2);
    EXPECT_EQ(rows()[1].changes, QStringLiteral("设备配置：A → B"));
}

TEST_F(HistoryTest, TheAdministratorsQueryListsTodaysRowsOfTheChosenOperation) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    setPrefix(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    for (const char* text : {"A", "B"}) {
        form->Modify1->trigger();
        form->DBEdit3->setText(QString::fromLatin1(text));
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QString());
        form->Save1->trigger();
    }
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QString());
        form->Scrap1->trigger();
        form->Save1->trigger();
    }
    QStringList listed;
    ModalScript dialogs;
    dialogs.then<query::TczjlcxDlg>([&](query::TczjlcxDlg& d) {
        EXPECT_EQ(d.DateFrom->date(), Clock::today());
        EXPECT_EQ(d.DateTo->date(), Clock::today());
        d.OperationBox->setCurrentText(QStringLiteral("修改"));
        d.BitBtn1->click();
        return d.result();
    });
    dialogs.then([&](QDialog& dlg) {
        auto& w = dynamic_cast<query::TcxjgDlg1&>(dlg);
        EXPECT_EQ(w.kind(), query::ResultKind::ChangeHistory);
        const query::ResultTable& t = w.table();
        for (int r = 0; r < t.rowCount(); ++r)
            listed << t.text(r, t.fieldIndex(QStringLiteral("bgnr")));
        return int(QDialog::Rejected);
    });
    form->HistoryQuery1->trigger();
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(listed, (QStringList{QStringLiteral("设备配置：A → B"),
                                   QStringLiteral("设备配置：i5/8G → A")}));
}

TEST_F(HistoryTest, OnlyTheAdministratorQueriesTheWholeHistory) {
    start(QStringLiteral("张三"), allRights());
    EXPECT_FALSE(form->HistoryQuery1->isEnabled());
}

}  // namespace
}  // namespace fx::test
