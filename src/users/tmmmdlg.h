#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace fx {
class AppState;
}

namespace fx::users {

// The password window ("修改密码"): the signed-in user types the old password and the new one
// twice.
class Tmmmdlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "users.html")

public:
    explicit Tmmmdlg(AppState& state, QWidget* parent = nullptr);
    ~Tmmmdlg() override;

    QLabel* Label1;        // "请输入旧密码："
    QLineEdit* Edit1;      // old password
    QLabel* Label2;        // "请输入新密码："
    QLineEdit* Edit2;      // new password
    QLabel* Label3;        // "再输入新密码："
    QLineEdit* Edit3;      // new password again
    QPushButton* BitBtn1;  // "确定"
    QPushButton* BitBtn2;  // "取消"

    // "确定": checks the old password and the two new ones, stores the new password and closes.
    void BitBtn1Click();

private:
    AppState& state_;
};

}  // namespace fx::users
