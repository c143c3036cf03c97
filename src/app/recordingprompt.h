#pragma once

#include <QString>

class QWidget;

namespace fx::history {
class ChangeRecorder;
}

namespace fx::ui {

// Closes the change history of a command whose register change has committed: commits the
// recorder's rows, and tells the user when they could not be written or when no change history
// is kept (the history database missing or not yet upgraded). Never throws.
void finishRecording(QWidget* parent, history::ChangeRecorder& recorder);

// Appends one row with a note after the command's committed change (begun recorder), then
// finishes as finishRecording does. For commands whose change is not one asset's fields (user
// accounts, dictionary deletions, a restore). Never throws.
void recordAfterChange(QWidget* parent, history::ChangeRecorder& recorder, const QString& operation,
                       const QString& note);

}  // namespace fx::ui
