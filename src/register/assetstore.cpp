#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "changerecorder.h"
#include "connection.h"
#include "dberror.h"
#include "mainform.h"
#include "prompt.h"
#include "rowset.h"

// Storing a new, a batch of new or a changed record under its asset number, resolving
// collisions with numbers already in use, and keeping the prefix registry in step.
//
// Each save is one transaction, so that a failure leaves nothing of it behind. No transaction is
// open while a question waits for the user: a batch commits what it has stored before it asks,
// so that "终止" keeps those records and other workstations are not held up meanwhile.

namespace fx {

namespace {

const QString kSearching = QStringLiteral("系统正在查找并处理相应的编号，请等待……");

QString takenQuestion(const QString& prefix, int number) {
    return QStringLiteral(
               "编号%1已经被其它固定资产占用，是否自动替换为其它编号？\n"
               "按'重试'键，系统自动向后搜索一个同编号头未用编号，并保存。\n"
               "按'取消'键，系统取消保存，待用户自行修改编号。")
        .arg(numbering::formatAssetNumber(prefix, number));
}

// Asks whether to search on for a free number after prefix/number was found taken. The status
// bar tells what happens meanwhile and what to do after "取消". True for "重试".
bool askRetryOnTakenNumber(QWidget* parent, QLabel* status, const QString& prefix, int number) {
    status->setText(kSearching);
    const auto answer = ui::prompt(
        parent, {QStringLiteral("提示"), takenQuestion(prefix, number), ui::Icon::Question,
                 QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry});
    if (answer == QMessageBox::Retry) return true;
    status->setText(QStringLiteral("提示：请把编号修改为另一个您想用的编号，再按'保存'。"));
    return false;
}

QString batchTakenQuestion(int added, const QString& prefix, int number) {
    return QStringLiteral(
               "已增加%1个固定资产，编号%2已经被其它固定资产占用，是否自动替换为其它编号？\n"
               "按'终止'键，系统停止增加资产记录，待用户自行修改编号，再按保存，完成剩余记录的"
               "增加。\n"
               "按'重试'键，系统对于此次编号冲突事件，自动向后搜索一个同编号头未用编号，并保存。\n"
               "按'忽略'键，系统忽略所有编号冲突事件，全部自动向后搜索同编号头未用编号。")
        .arg(added)
        .arg(numbering::formatAssetNumber(prefix, number));
}

}  // namespace

bool TMainForm::storeNewRecord(bool& prefixRowsChanged) {
    const std::optional<numbering::AssetNumber> parsed = parseAssetNumberBox();
    if (!parsed) return false;
    const QString& prefix = parsed->prefix;
    int number = parsed->number;
    db::Connection& c = *state_.current;
    history::ChangeRecorder recorder(state_.history.get(), state_.userName);
    auto store = [&] {
        writeCardToRecord(true);
        card_->setValue(QStringLiteral("id"), prefix);
        card_->setValue(QStringLiteral("num"), number);
        card_->post();
        prefixRowsChanged = numbering::noteNumberIssued(c, prefix, number).rowsChanged();
        recorder.record(QString::fromUtf8(history::op::kAdd), card_->integer(QStringLiteral("ID1")),
                        cardNumber());
    };
    try {
        {
            recorder.begin();
            db::Transaction t(c);
            numbering::takeNumberingTurn(c);
            if (!numbering::isNumberTaken(c, prefix, number)) {
                store();
                t.commit();
                finishRecording(recorder);
                setNumberText(numbering::formatAssetNumber(prefix, number), false);
                return true;
            }
            recorder.rollback();
        }  // nothing was written; the question waits outside the transaction

        if (!askRetryOnTakenNumber(this, StatusPanel0, prefix, number)) return false;
        recorder.begin();
        db::Transaction t(c);
        numbering::takeNumberingTurn(c);
        number = numbering::firstFreeNumber(c, prefix, number + 1);
        store();
        t.commit();
        finishRecording(recorder);
        setNumberText(numbering::formatAssetNumber(prefix, number), false);
        return true;
    } catch (const db::DbError& e) {
        restoreUnpostedRecord();
        showDbError(e.message());
        return false;
    }
}

bool TMainForm::storeBatch(bool& prefixRowsChanged) {
    const std::optional<numbering::AssetNumber> parsed = parseAssetNumberBox();
    if (!parsed) return false;
    const QString& prefix = parsed->prefix;
    int number = parsed->number;
    db::Connection& c = *state_.current;

    // What the open transaction holds: it becomes the batch's only when committed.
    int pending = 0;
    int lastNumber = 0;
    qint64 firstPending = 0;
    qint64 lastSerial = 0;
    int storedBySave = 0;
    bool ignoreAll = false;
    std::optional<db::Transaction> t;
    // Each part of the batch committed to the register is recorded with one row per asset, in
    // the history transaction opened with the register's.
    history::ChangeRecorder recorder(state_.history.get(), state_.userName);
    auto commit = [&] {
        if (pending > 0 && numbering::noteNumberIssued(c, prefix, lastNumber).rowsChanged())
            prefixRowsChanged = true;
        t->commit();
        t.reset();
        if (pending > 0)
            finishRecording(recorder);
        else
            recorder.rollback();
        if (pending > 0 && batchFirstSerial_ == 0) batchFirstSerial_ = firstPending;
        pending = 0;
    };
    auto open = [&] {
        recorder.begin();
        t.emplace(c);
        numbering::takeNumberingTurn(c);
    };

    try {
        open();
        while (batchLeft_ > 0) {
            bool asked = false;
            while (numbering::isNumberTaken(c, prefix, number)) {
                if (ignoreAll || asked) {
                    number = numbering::firstFreeNumber(c, prefix, number + 1);
                    break;
                }
                commit();
                const int added = batchTotal_ - batchLeft_;
                const auto answer =
                    ui::prompt(this, {QStringLiteral("提示"),
                                      batchTakenQuestion(added, prefix, number), ui::Icon::Question,
                                      QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
                                      QMessageBox::Ignore});
                if (answer == QMessageBox::Abort) {
                    StatusPanel0->setText(
                        storedBySave == 0
                            ? QStringLiteral("提示：已增加%1个固定资产，请把编号修改为另一个您想用"
                                             "的起始编号，再按'保存'。")
                                  .arg(added)
                            : QStringLiteral("提示：已增加%1个固定资产，请修改编号栏为剩余%2个资产"
                                             "的起始编号，再按'保存'")
                                  .arg(added)
                                  .arg(batchLeft_));
                    // Only the asset-number box stays open, for the next starting number.
                    setCardDisplayOnly(true);
                    setNumberText(numbering::formatAssetNumber(prefix, number), false);
                    if (prefixRowsChanged) reloadAssetNumberList();
                    return false;
                }
                if (answer == QMessageBox::Ignore) ignoreAll = true;
                asked = true;
                open();
            }
            if (card_->state() != db::RowSet::State::Insert) card_->append();
            writeCardToRecord(true);
            card_->setValue(QStringLiteral("id"), prefix);
            card_->setValue(QStringLiteral("num"), number);
            card_->post();
            lastSerial = card_->integer(QStringLiteral("ID1"));
            recorder.record(QString::fromUtf8(history::op::kAdd), int(lastSerial), cardNumber());
            if (pending == 0) firstPending = lastSerial;
            lastNumber = number;
            ++pending;
            ++storedBySave;
            --batchLeft_;
            number = lastNumber + 1;
        }
        commit();
    } catch (const db::DbError& e) {
        // The open transaction goes back; what it held is still to add.
        t.reset();
        recorder.rollback();
        batchLeft_ += pending;
        restoreUnpostedRecord();
        showDbError(e.message());
        return false;
    }
    savedSerial_ = int(lastSerial);
    return true;
}

bool TMainForm::storeModifiedRecord(bool& prefixRowsChanged) {
    const std::optional<numbering::AssetNumber> parsed = parseAssetNumberBox();
    if (!parsed) return false;
    const QString& prefix = parsed->prefix;
    int number = parsed->number;
    db::Connection& c = *state_.current;
    numbering::RegistryChange released;
    // The registry follows the new number, and the old one when the record gave it up.
    auto noteRenumbering = [&] {
        const numbering::RegistryChange issued = numbering::noteNumberIssued(c, prefix, number);
        released = numbering::noteNumberReleased(c, previous_.prefix, previous_.number);
        prefixRowsChanged = issued.rowsChanged() || released.rowsChanged();
    };
    auto finish = [&] {
        setNumberText(numbering::formatAssetNumber(prefix, number), false);
        if (released.missing)
            ui::warn(this, QStringLiteral("您的数据库可能些问题,请与我们联系。"),
                     QStringLiteral("提示"));
        return true;
    };
    history::ChangeRecorder recorder(state_.history.get(), state_.userName);
    const QList<QVariant> before = cardValues();
    // The modification's row: each field that changed, with its value before and after.
    auto record = [&] {
        recorder.record(QString::fromUtf8(history::op::kModify),
                        card_->integer(QStringLiteral("ID1")), cardNumber(),
                        history::changedFields(card_->fieldNames(), before, cardValues()));
    };
    try {
        const qint64 own = card_->integer(QStringLiteral("ID1"));
        writeCardToRecord(false);
        card_->setValue(QStringLiteral("id"), prefix);
        card_->setValue(QStringLiteral("num"), number);
        {
            recorder.begin();
            db::Transaction t(c);
            numbering::takeNumberingTurn(c);
            bool taken = false;
            try {
                card_->post();
            } catch (const db::DbError& e) {
                // Only a number another asset holds is resolved here; any other failure
                // ends the save with the engine's message.
                if (!e.isConstraint() || !numbering::isNumberTaken(c, prefix, number)) throw;
                taken = true;
            }
            if (!taken) {
                noteRenumbering();
                record();
                t.commit();
                finishRecording(recorder);
                return finish();
            }
            recorder.rollback();
        }  // nothing was written; the record is still being edited

        if (!askRetryOnTakenNumber(this, StatusPanel0, prefix, number)) return false;
        recorder.begin();
        db::Transaction t(c);
        numbering::takeNumberingTurn(c);
        number = numbering::firstFreeNumber(c, prefix, number + 1, own);
        card_->setValue(QStringLiteral("num"), number);
        card_->post();
        noteRenumbering();
        record();
        t.commit();
        finishRecording(recorder);
        return finish();
    } catch (const db::DbError& e) {
        restoreUnpostedRecord();
        showDbError(e.message());
        return false;
    }
}

void TMainForm::restoreUnpostedRecord() {
    // The database went back to where the save began; the row set is brought back with it, to
    // the record being added or edited, and the card still holds what the user typed.
    try {
        card_->cancel();
        card_->reopen();
        if (mode_ == EditMode::AddOne || mode_ == EditMode::AddBatch)
            card_->append();
        else if (mode_ == EditMode::Modify && !card_->eof())
            card_->edit();
    } catch (const db::DbError&) {
        // The caller shows the engine's message; the next "保存" or "放弃" starts afresh.
    }
}

}  // namespace fx
