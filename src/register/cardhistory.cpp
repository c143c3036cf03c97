#include "changerecorder.h"
#include "dberror.h"
#include "mainform.h"
#include "prompt.h"
#include "recordingprompt.h"
#include "rowset.h"

// The change history of the card's saves: what the record held, its asset number, and the
// close of the history side once the register has committed.

namespace fx {

QList<QVariant> TMainForm::cardValues() const {
    QList<QVariant> values;
    const int n = int(card_->fieldNames().size());
    values.reserve(n);
    for (int i = 0; i < n; ++i) values << card_->value(i);
    return values;
}

QString TMainForm::cardNumber() const {
    return history::assetNumberOf(*card_);
}

void TMainForm::finishRecording(history::ChangeRecorder& recorder) {
    ui::finishRecording(this, recorder);
}

void TMainForm::recordRestore(const QString& note) {
    // The restored history database is the one the row goes into: it is open again by now.
    history::ChangeRecorder recorder(state_.history.get(), state_.userName);
    try {
        recorder.begin();
    } catch (const db::DbError& e) {
        ui::warn(this, history::ChangeRecorder::notRecordedMessage(e.message()),
                 QStringLiteral("提示"));
        return;
    }
    ui::recordAfterChange(this, recorder, QString::fromUtf8(history::op::kRestore), note);
}

}  // namespace fx
