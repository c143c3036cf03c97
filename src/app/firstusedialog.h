#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace fx {

// "初次使用": asks for the organisation's name on the first start; the same dialog, with another
// caption and label, changes the name later ("修改单位名称"). It has no close box and no cancel:
// it is left only through "确认".
class TFirstUseDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "firststart.html")

public:
    static QString defaultCaption();  // "初次使用"
    static QString defaultPrompt();   // the welcome text of the first start

    // Shows `name` in the edit field.
    explicit TFirstUseDlg(const QString& name, QWidget* parent = nullptr,
                          const QString& caption = defaultCaption(),
                          const QString& prompt = defaultPrompt());

    QLabel* Label1;        // the wrapped prompt
    QLineEdit* Edit1;      // the name, at most 50 characters
    QPushButton* Button1;  // "确认"

    // The name as the edit field holds it now.
    QString name() const;
    // "确认": closes the dialog with acceptance.
    void Button1Click();

    // Escape and the window manager's close do nothing; "确认" is the way out.
    void reject() override;

    static constexpr int kMaxNameLength = 50;
};

}  // namespace fx
