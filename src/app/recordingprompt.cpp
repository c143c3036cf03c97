#include "recordingprompt.h"

#include "changerecorder.h"
#include "dberror.h"
#include "prompt.h"

namespace fx::ui {

void finishRecording(QWidget* parent, history::ChangeRecorder& recorder) {
    if (!recorder.available()) {
        warn(parent, history::ChangeRecorder::unavailableMessage(), QStringLiteral("提示"));
        return;
    }
    try {
        recorder.commit();
    } catch (const db::DbError& e) {
        warn(parent, history::ChangeRecorder::notRecordedMessage(e.message()),
             QStringLiteral("提示"));
    }
}

void recordAfterChange(QWidget* parent, history::ChangeRecorder& recorder, const QString& operation,
                       const QString& note) {
    try {
        recorder.recordNote(operation, 0, QString(), note);
    } catch (const db::DbError& e) {
        recorder.rollback();
        warn(parent, history::ChangeRecorder::notRecordedMessage(e.message()),
             QStringLiteral("提示"));
        return;
    }
    finishRecording(parent, recorder);
}

}  // namespace fx::ui
