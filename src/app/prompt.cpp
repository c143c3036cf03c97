#include "prompt.h"

#include <QMessageBox>

namespace fx::ui {

namespace {

PromptHandler& handler() {
    static PromptHandler h;
    return h;
}

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Stop:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QMessageBox::StandardButton prompt(QWidget* parent, const PromptRequest& request) {
    if (handler()) return handler()(request);
    QMessageBox box(boxIcon(request.icon), request.caption, request.text, request.buttons, parent);
    if (request.defaultButton != QMessageBox::NoButton) box.setDefaultButton(request.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void inform(QWidget* parent, const QString& text, const QString& caption) {
    prompt(parent, {caption, text, Icon::Information});
}

void warn(QWidget* parent, const QString& text, const QString& caption) {
    prompt(parent, {caption, text, Icon::Warning});
}

void stop(QWidget* parent, const QString& text, const QString& caption) {
    prompt(parent, {caption, text, Icon::Stop});
}

bool confirm(QWidget* parent, const QString& text, const QString& caption) {
    return prompt(parent, {caption, text, Icon::Question, QMessageBox::Ok | QMessageBox::Cancel,
                           QMessageBox::Ok}) == QMessageBox::Ok;
}

void setPromptHandler(PromptHandler h) {
    handler() = std::move(h);
}

}  // namespace fx::ui
