#include "prompt.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <utility>

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

// The buttons carry Chinese captions whatever translations the system has installed.
void captionButtons(QMessageBox& box) {
    static const std::pair<QMessageBox::StandardButton, const char*> captions[] = {
        {QMessageBox::Ok, "确定"},     {QMessageBox::Cancel, "取消"}, {QMessageBox::Yes, "是"},
        {QMessageBox::No, "否"},       {QMessageBox::Retry, "重试"},  {QMessageBox::Abort, "中止"},
        {QMessageBox::Ignore, "忽略"}, {QMessageBox::Close, "关闭"},
    };
    for (const auto& [button, caption] : captions) {
        if (QAbstractButton* b = box.button(button)) b->setText(QString::fromUtf8(caption));
    }
}

}  // namespace

QMessageBox::StandardButton prompt(QWidget* parent, const PromptRequest& request) {
    if (handler()) return handler()(request);
    QMessageBox box(boxIcon(request.icon), request.caption, request.text, request.buttons, parent);
    if (request.defaultButton != QMessageBox::NoButton) box.setDefaultButton(request.defaultButton);
    captionButtons(box);
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
