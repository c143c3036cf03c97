#pragma once

#include <QDialog>
#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "modal.h"
#include "prompt.h"

namespace fx::test {

// Answers the program's message boxes in order. Each expectation names the caption and a text
// the message must contain, and the button to answer. A message nobody expected, or one that
// differs from the next expectation, fails the running test. All expectations must have been
// used when the script is destroyed.
class PromptScript {
public:
    PromptScript();
    ~PromptScript();

    PromptScript& expect(const QString& caption, const QString& text,
                         QMessageBox::StandardButton answer = QMessageBox::Ok);
    // Every message seen so far, as "caption|text".
    const QStringList& seen() const { return seen_; }
    bool done() const { return queue_.empty(); }

private:
    struct Expectation {
        QString caption;
        QString text;
        QMessageBox::StandardButton answer;
    };
    std::deque<Expectation> queue_;
    QStringList seen_;
};

// Records every message of the program instead of showing it, each answered with OK: for tests
// that look at what was said afterwards rather than script it in advance.
class Messages {
public:
    Messages();
    ~Messages();
    Messages(const Messages&) = delete;
    Messages& operator=(const Messages&) = delete;

    std::vector<ui::PromptRequest> seen;
};

// Handles the program's modal dialogs in order: each step receives the dialog (cast it, fill in
// its controls, call its handlers) and returns the dialog's result. A dialog with no step left
// fails the running test and is rejected.
class ModalScript {
public:
    ModalScript();
    ~ModalScript();

    using Step = std::function<int(QDialog&)>;
    ModalScript& then(Step step);
    // A step for a dialog of type D.
    template <typename D>
    ModalScript& then(std::function<int(D&)> step) {
        return then([step](QDialog& d) -> int {
            auto* typed = qobject_cast<D*>(&d);
            if (!typed) return failWrongType(d, D::staticMetaObject.className());
            return step(*typed);
        });
    }
    QStringList seen() const { return seen_; }
    bool done() const { return steps_.empty(); }

private:
    static int failWrongType(QDialog& d, const char* expected);
    std::deque<Step> steps_;
    QStringList seen_;
};

// Answers the program's open and save dialogs in order with the paths in `answers`, and keeps
// every request in `requests`. A dialog with no answer left fails the running test and is
// cancelled; answers left over when the script is destroyed fail it too.
class FileScript {
public:
    FileScript();
    ~FileScript();
    FileScript(const FileScript&) = delete;
    FileScript& operator=(const FileScript&) = delete;

    std::vector<QString> answers;
    std::vector<ui::FileRequest> requests;
};

}  // namespace fx::test
