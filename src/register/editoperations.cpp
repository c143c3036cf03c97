#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "batchdialog.h"
#include "cardlists.h"
#include "changerecorder.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "displayonly.h"
#include "mainform.h"
#include "prompt.h"
#include "rowset.h"

// "新增", "增加", "修改", "报废", "删除", "保存" and "放弃": every edit operation puts the card
// into its mode, and "保存" carries it out or "放弃" abandons it; either way the window returns to
// browsing and shows the saved serial again.

namespace fx {

void TMainForm::bindEditCommands() {
    bindCommand(New1, [this] { New1Click(); });
    bindCommand(Add1, [this] { Add1Click(); });
    bindCommand(Modify1, [this] { Modify1Click(); });
    bindCommand(Scrap1, [this] { Scrap1Click(); });
    bindCommand(Delete1, [this] { Delete1Click(); });
    bindCommand(Save1, [this] { Save1Click(); });
    bindCommand(Cancel1, [this] { Cancel1Click(); });
}

QList<QWidget*> TMainForm::cardFields() const {
    return {DBComboBox1, DBComboBox2, DBComboBox4, DBComboBox5, DBEdit3,     DateTimePicker1,
            DBComboBox3, DBComboBox6, DBEdit1,     DBComboBox7, DBComboBox8, DBMemo1};
}

void TMainForm::setRecordFieldsEnabled(bool on) {
    for (QWidget* w : cardFields()) w->setEnabled(on);
}

// ---- starting an operation ----------------------------------------------------------------------

void TMainForm::New1Click() {
    startAdding(EditMode::AddBatch, TplzjDlg::ask(state_.theme, this));
}

void TMainForm::Add1Click() {
    startAdding(EditMode::AddOne, 1);
}

void TMainForm::startAdding(EditMode mode, int count) {
    mode_ = mode;
    BitBtn2->setEnabled(false);
    savedSerial_ = SpinEdit1->value();
    SpinEdit1->setValue(0);
    setNumberText(QString(), false);
    BitBtn1->setText(QStringLiteral("未借出"));
    BitBtn1->setEnabled(false);
    if (count == 0) {
        Cancel1Click();
        return;
    }
    batchTotal_ = batchLeft_ = count;
    batchFirstSerial_ = 0;
    applyEditState();
    ApplyInputMode(false);
    DBComboBox1->setFocus(Qt::OtherFocusReason);
    try {
        card_->append();
        // The new record is empty; so are the lists that follow the category.
        fillCardFromRow();
        ReloadNameAndUseLists();
    } catch (const db::DbError& e) {
        showDbError(e.message());
        Cancel1Click();
        return;
    }
    if (DBComboBox7->count() > 0) setListText(DBComboBox7, DBComboBox7->itemText(0));
    DBEdit1->setText(QStringLiteral("0.00"));
    DateTimePicker1->setDate(Clock::today());
    StatusPanel0->setText(
        mode == EditMode::AddBatch
            ? QStringLiteral("提示：把欲增资产的各栏内容正确输入后,点“保存”按钮,会增加%1条您要求的"
                             "相同记录，否则请点“放弃”按钮。")
                  .arg(count)
            : QStringLiteral("提示：请您把欲增资产的各栏内容正确输入后，点“保存”按钮。"));
    GroupBox1->setCaption(QStringLiteral("固定资产"));
}

bool TMainForm::rereadRecord() {
    card_->cancel();
    card_->reopen();
    return card_->count() == 1;
}

void TMainForm::Modify1Click() {
    mode_ = EditMode::Modify;
    // The record on the card, even when another serial was typed without Enter.
    savedSerial_ = currentSerial_;
    try {
        ReloadNameAndUseLists();
        ReloadModelAndLocationLists();
    } catch (const db::DbError& e) {
        showDbError(e.message());
        Cancel1Click();
        return;
    }
    ApplyInputMode(false);
    applyEditState();
    // An asset held by a person has its custodian follow the user; it is typed, not chosen.
    if (custodianFollowsUser_) setListTyping(DBComboBox8, true);
    BitBtn1->setEnabled(false);
    BitBtn2->setText(QStringLiteral("填加维修记录"));
    BitBtn2->setEnabled(true);
    if (!state_.rights.spmodi) {
        // Only use, configuration, remarks and the asset number stay open; the rest show
        // their values.
        for (QWidget* w : std::initializer_list<QWidget*>{
                 DBComboBox1, DBComboBox2, DBEdit1, DBComboBox5, DBComboBox3, DBComboBox8,
                 DBComboBox7, DBComboBox6, DateTimePicker1})
            ui::setDisplayOnly(w, true);
    }
    StatusPanel0->setText(QStringLiteral("提示：请您把各栏内容修改正确后，点“保存”按钮。"));
    try {
        if (card_->count() == 0 || !rereadRecord()) {
            ui::inform(this, QStringLiteral("该记录已被其他用户删除,不能再对它进行修改。"));
            Cancel1Click();
            return;
        }
        // The card shows the record as it is now, whatever the list reloads cleared.
        fillCardFromRow();
        DateTimePicker1->setDate(card_->date(QStringLiteral("gmrq")));
        previous_ = {card_->text(QStringLiteral("id")), card_->integer(QStringLiteral("num"))};
        setNumberText(numbering::formatAssetNumber(previous_), false);
        card_->edit();
    } catch (const db::DbError& e) {
        showDbError(e.message());
        Cancel1Click();
    }
}

void TMainForm::Scrap1Click() {
    applyEditState();
    mode_ = EditMode::Scrap;
    BitBtn1->setEnabled(false);
    savedSerial_ = currentSerial_;
    StatusPanel0->setText(
        QStringLiteral("提示：确实要报废该资产，点“保存”按钮，否则请点“放弃”按钮。"));
    try {
        if (card_->count() == 0 || !rereadRecord()) {
            ui::inform(this, QStringLiteral("该记录可能已不存在,请输入序号重新显示后再对它操作。"));
            Cancel1Click();
            return;
        }
        if (card_->yesNo(QStringLiteral("ybf"))) {
            ui::inform(this, QStringLiteral("该固定资产已经为报废资产。"));
            Cancel1Click();
            return;
        }
    } catch (const db::DbError& e) {
        showDbError(e.message());
        Cancel1Click();
        return;
    }
    ComboBox1->setEnabled(false);
}

void TMainForm::Delete1Click() {
    applyEditState();
    mode_ = EditMode::Delete;
    BitBtn1->setEnabled(false);
    savedSerial_ = currentSerial_;
    StatusPanel0->setText(
        QStringLiteral("提示：确实要删除该记录，点“保存”按钮，否则请点“放弃”按钮。"));
    try {
        if (card_->count() == 0 || !rereadRecord()) {
            ui::inform(this, QStringLiteral("该记录可能已不存在,请输入序号重新显示后再对它操作。"));
            Cancel1Click();
            return;
        }
        if (card_->yesNo(QStringLiteral("yjc"))) {
            ui::inform(this, QStringLiteral("该固定资产借出未归还,归还后才能做此操作。"));
            Cancel1Click();
            return;
        }
        // The prefix registry follows the number the record holds, whatever the box was
        // changed to before "删除" was chosen.
        previous_ = {card_->text(QStringLiteral("id")), card_->integer(QStringLiteral("num"))};
    } catch (const db::DbError& e) {
        showDbError(e.message());
        Cancel1Click();
        return;
    }
    setNumberText(numbering::formatAssetNumber(previous_), false);
    ComboBox1->setEnabled(false);
}

// ---- "保存" -----------------------------------------------------------------------------------

bool TMainForm::checkPrice() {
    if (DBEdit1->text().trimmed().isEmpty()) DBEdit1->setText(QStringLiteral("0"));
    bool ok = false;
    DBEdit1->text().trimmed().toDouble(&ok);
    if (ok) return true;
    ui::warn(this, QStringLiteral("购买价格输入值非法,请重新输入!"), QStringLiteral("警告"));
    DBEdit1->setFocus(Qt::OtherFocusReason);
    return false;
}

bool TMainForm::checkRequiredFields() {
    const struct {
        QComboBox* list;
        const char* message;
    } required[] = {{DBComboBox1, "资产类别栏中必须填写内容。"},
                    {DBComboBox2, "名称栏中必须填写内容。"},
                    {DBComboBox3, "位置或使用者栏中必须填写内容。"},
                    {DBComboBox6, "使用期限栏中必须填写内容。"}};
    for (const auto& r : required) {
        if (!r.list->currentText().isEmpty()) continue;
        ui::warn(this, QString::fromUtf8(r.message), QStringLiteral("提示"));
        return false;
    }
    return true;
}

void TMainForm::writeCardToRecord(bool adding) {
    db::RowSet& r = *card_;
    const struct {
        const char* field;
        QString text;
    } texts[] = {{"zclb", DBComboBox1->currentText()},
                 {"sbmc", DBComboBox2->currentText()},
                 {"yt", DBComboBox4->currentText()},
                 {"sbxh", DBComboBox5->currentText()},
                 {"sbpz", DBEdit3->text()},
                 {"wz", DBComboBox3->currentText()},
                 {"bxq", DBComboBox6->currentText()},
                 {"ly", DBComboBox7->currentText()},
                 {"bgr", DBComboBox8->currentText()},
                 {"other", DBMemo1->toPlainText()}};
    for (const auto& t : texts) r.setValue(QString::fromLatin1(t.field), t.text);
    r.setValue(QStringLiteral("gmjg"), DBEdit1->text().trimmed().toDouble());
    r.setValue(QStringLiteral("gmrq"), DateTimePicker1->date());
    if (adding) r.setValue(QStringLiteral("pzrq"), DateTimePicker1->date());
    r.setValue(QStringLiteral("worp"), storedAtLocation_);
}

void TMainForm::Save1Click() {
    if (mode_ == EditMode::Browse) return;
    // A field that still has the focus is checked first, as leaving it would (a tool-bar button
    // takes no focus). It stays the field being edited should the save not go ahead.
    for (dictionary::TypeAheadBox* box : {DBComboBox1, DBComboBox2, DBComboBox6, DBComboBox3}) {
        const QWidget* focus = focusWidget();
        if (!focus || (focus != box && !box->isAncestorOf(focus))) continue;
        box->leave();
        if (box->hasFocus() || focusWidget() == box) box->enter();
    }

    if (!checkPrice()) return;
    DBEdit3->setEnabled(true);

    bool prefixRowsChanged = false;
    switch (mode_) {
        case EditMode::Browse:
            return;
        case EditMode::AddOne:
            if (!checkRequiredFields() || !storeNewRecord(prefixRowsChanged)) return;
            savedSerial_ = card_->integer(QStringLiteral("ID1"));
            finishSave(QStringLiteral("您增加了第%1号记录").arg(savedSerial_), prefixRowsChanged);
            return;
        case EditMode::AddBatch:
            if (!checkRequiredFields() || !storeBatch(prefixRowsChanged)) return;
            finishSave(QStringLiteral("您增加了第%1号至第%2号，共%3条记录")
                           .arg(batchFirstSerial_)
                           .arg(savedSerial_)
                           .arg(batchTotal_),
                       prefixRowsChanged);
            return;
        case EditMode::Modify:
            if (!checkRequiredFields() || !storeModifiedRecord(prefixRowsChanged)) return;
            finishSave(QStringLiteral("系统已经按您的要求对该记录进行了修改。"), prefixRowsChanged);
            return;
        case EditMode::Scrap:
            saveScrap();
            return;
        case EditMode::Delete:
            saveDelete();
            return;
    }
}

void TMainForm::saveScrap() {
    history::ChangeRecorder recorder(state_.history.get(), state_.userName);
    try {
        recorder.begin();
        db::Transaction t(*state_.current);
        card_->edit();
        const QList<QVariant> before = cardValues();
        card_->setValue(QStringLiteral("ybf"), true);
        card_->post();
        recorder.record(QString::fromUtf8(history::op::kScrap),
                        card_->integer(QStringLiteral("ID1")), cardNumber(),
                        history::changedFields(card_->fieldNames(), before, cardValues()));
        t.commit();
    } catch (const db::DbError& e) {
        recorder.rollback();
        restoreUnpostedRecord();
        showDbError(e.message());
        return;
    }
    finishRecording(recorder);
    finishSave(QStringLiteral("系统已经按您的要求对该资产做了报废处理。"), false);
}

void TMainForm::saveDelete() {
    numbering::RegistryChange change;
    history::ChangeRecorder recorder(state_.history.get(), state_.userName);
    try {
        db::Connection& c = *state_.current;
        recorder.begin();
        db::Transaction t(c);
        numbering::takeNumberingTurn(c);
        // The row records what the deleted asset was called, since the register forgets it.
        recorder.recordNote(QString::fromUtf8(history::op::kDelete),
                            card_->integer(QStringLiteral("ID1")), cardNumber(),
                            card_->text(QStringLiteral("sbmc")));
        card_->remove();
        change = numbering::noteNumberReleased(c, previous_.prefix, previous_.number);
        t.commit();
    } catch (const db::DbError& e) {
        recorder.rollback();
        restoreUnpostedRecord();
        showDbError(e.message());
        return;
    }
    finishRecording(recorder);
    if (change.missing)
        ui::warn(this, QStringLiteral("您的数据库可能些问题,请与我们联系。"),
                 QStringLiteral("提示"));
    // The card is empty afterwards; so is the box that showed the deleted number.
    setNumberText(QString(), false);
    finishSave(QStringLiteral("系统已经按您的要求删除了该记录。"), change.rowsChanged());
}

void TMainForm::finishSave(const QString& message, bool prefixRowsChanged) {
    BitBtn1->setEnabled(mode_ != EditMode::Delete);
    ui::inform(this, message);
    Cancel1Click();
    if (prefixRowsChanged) {
        try {
            reloadAssetNumberList();
        } catch (const db::DbError& e) {
            showDbError(e.message());
        }
    }
}

// ---- "放弃" -----------------------------------------------------------------------------------

void TMainForm::Cancel1Click() {
    // Browsing from here on: the field that loses the focus as the card closes is not checked.
    mode_ = EditMode::Browse;
    DBEdit3->setEnabled(true);
    ApplyInputMode(true);
    ComboBox1->setEnabled(true);
    custodianFollowsUser_ = false;
    // Whatever modify or a batch's "终止" closed is open again for the next operation.
    setRecordFieldsEnabled(true);
    batchTotal_ = batchLeft_ = 0;
    // Showing the record again closes the card row set, and with it a record that was being
    // edited or added and not stored.
    card_->cancel();
    SpinEdit1->setValue(savedSerial_);
    showSerialQuietly(savedSerial_);
    // The transfer history belongs to a shown asset; with an empty card there is none to list.
    BitBtn3->setEnabled(!card_->eof());
    StatusPanel0->setText(initialPrompt());
}

}  // namespace fx
