#include "prefixedit.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

namespace fx::dictionary {

PrefixEdit::PrefixEdit(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(8);
    // Pasted text is held to the same letters.
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z]*")), this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text) return;
        const int caret = cursorPosition();
        setText(upper);
        setCursorPosition(caret);
    });
}

void PrefixEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint()) {
        const QChar c = typed.at(0);
        const bool letter = (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                            (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
        if (!letter || typed.size() != 1) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace fx::dictionary
