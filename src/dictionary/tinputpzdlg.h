#pragma once

#include <QDialog>

#include "theme.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace fx::dictionary {

// The configuration dialog ("输入相应配置吗？") shown when a model is added: the configuration
// of the new model. The caller takes the edit's text whichever button closed the dialog.
class TinputpzDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "dictionary.html")

public:
    explicit TinputpzDlg(Theme theme = Theme::Colourful, QWidget* parent = nullptr);

    // The configuration typed, trimmed.
    QString configuration() const;

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* BitBtn1;  // "确定"
    QPushButton* BitBtn2;  // "取消"
};

}  // namespace fx::dictionary
