#include "scripts.h"

#include <gtest/gtest.h>

namespace fx::test {

PromptScript::PromptScript() {
    ui::setPromptHandler([this](const ui::PromptRequest& r) {
        seen_ << r.caption + QLatin1Char('|') + r.text;
        if (queue_.empty()) {
            ADD_FAILURE() << "unexpected message: " << r.caption.toStdString() << " | "
                          << r.text.toStdString();
            return r.defaultButton != QMessageBox::NoButton ? r.defaultButton : QMessageBox::Ok;
        }
        const Expectation e = queue_.front();
        queue_.pop_front();
        EXPECT_EQ(r.caption.toStdString(), e.caption.toStdString());
        EXPECT_TRUE(r.text.contains(e.text))
            << "message: " << r.text.toStdString() << "\nexpected: " << e.text.toStdString();
        return e.answer;
    });
}

PromptScript::~PromptScript() {
    ui::setPromptHandler({});
    EXPECT_TRUE(queue_.empty()) << queue_.size() << " expected message(s) never shown, first: "
                                << (queue_.empty() ? "" : queue_.front().text.toStdString());
}

PromptScript& PromptScript::expect(const QString& caption, const QString& text,
                                   QMessageBox::StandardButton answer) {
    queue_.push_back({caption, text, answer});
    return *this;
}

Messages::Messages() {
    ui::setPromptHandler([this](const ui::PromptRequest& r) {
        seen.push_back(r);
        return QMessageBox::Ok;
    });
}

Messages::~Messages() {
    ui::setPromptHandler({});
}

ModalScript::ModalScript() {
    ui::setModalHandler([this](QDialog& d) {
        seen_ << QString::fromLatin1(d.metaObject()->className());
        if (steps_.empty()) {
            ADD_FAILURE() << "unexpected dialog: " << d.metaObject()->className();
            return int(QDialog::Rejected);
        }
        Step step = std::move(steps_.front());
        steps_.pop_front();
        return step(d);
    });
}

ModalScript::~ModalScript() {
    ui::setModalHandler({});
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " dialog step(s) never used";
}

ModalScript& ModalScript::then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

int ModalScript::failWrongType(QDialog& d, const char* expected) {
    ADD_FAILURE() << "dialog " << d.metaObject()->className() << " where " << expected
                  << " was expected";
    return QDialog::Rejected;
}

FileScript::FileScript() {
    ui::setFileHandler([this](const ui::FileRequest& r) {
        requests.push_back(r);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected file dialog " << r.caption.toStdString();
            return QString();
        }
        const QString a = answers.front();
        answers.erase(answers.begin());
        return a;
    });
}

FileScript::~FileScript() {
    ui::setFileHandler({});
    EXPECT_TRUE(answers.empty()) << "file dialog answers left over";
}

}  // namespace fx::test
