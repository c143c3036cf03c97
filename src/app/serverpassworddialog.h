#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace fx {

// "数据库服务器密码": asked at the start when the database server wants a password that the
// program does not know (none remembered, or the remembered one no longer fits). The password
// is the server account's, not the program user's, which the login asks for afterwards.
class TServerPasswordDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "firststart.html")

public:
    // account names the server user and the server for the label, e.g. "fx@db.example:5432".
    explicit TServerPasswordDlg(const QString& account, QWidget* parent = nullptr);

    QLabel* Label1;        // what is asked for
    QLineEdit* Edit1;      // the server password, shown as "*"
    QCheckBox* CheckBox1;  // "记住密码"
    QPushButton* Button1;  // "确定"
    QPushButton* Button2;  // "取消"

    QString password() const;
    bool remember() const;
};

}  // namespace fx
