#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace fx::ui {

// The icon of a message box, as the program names them.
enum class Icon { Information, Warning, Question, Stop };

// One message box: a caption ("提示", "警告", ...), an icon, the text, the buttons offered and
// the default button.
struct PromptRequest {
    QString caption;
    QString text;
    Icon icon = Icon::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Shows a message box and returns the button chosen. Every message of the program goes through
// here; no other code creates a QMessageBox.
QMessageBox::StandardButton prompt(QWidget* parent, const PromptRequest& request);

// Shorthands for the common kinds.
void inform(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("提示"));
void warn(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("警告"));
void stop(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("提示"));
// OK/Cancel question; true when OK was chosen.
bool confirm(QWidget* parent, const QString& text, const QString& caption = QStringLiteral("提示"));

// Replaces the message box with a handler (tests answer each message without an event loop).
// An empty handler restores the real message box.
using PromptHandler = std::function<QMessageBox::StandardButton(const PromptRequest&)>;
void setPromptHandler(PromptHandler handler);

}  // namespace fx::ui
