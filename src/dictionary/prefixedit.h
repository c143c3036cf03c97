#pragma once

#include <QLineEdit>

namespace fx::dictionary {

// The edit of a default number prefix: upper case, at most 8 characters, and only the letters
// A to Z and a to z are taken (with Backspace and the keys that move the caret). A prefix
// becomes the head of asset numbers, which the numbering rules expect to be letters.
class PrefixEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit PrefixEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace fx::dictionary
