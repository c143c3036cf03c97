#pragma once

#include <QDialog>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace fx {
class AppState;
namespace db {
class RowSet;
}
}  // namespace fx

namespace fx::users {

// The user management window ("用户管理"), for the administrator: the accounts of table `users`
// with their eight rights. Browsing, adding, modifying and deleting; "保存" writes, "放弃"
// discards. The reserved administrator can be neither renamed nor deleted.
class TyhglDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "users.html")

public:
    enum class Mode { Browsing, Adding, Modifying, Deleting };

    // Opens "select * from users" on the state's current connection (throws db::DbError).
    explicit TyhglDlg(AppState& state, QWidget* parent = nullptr);
    ~TyhglDlg() override;

    QTableWidget* DBGrid1;   // the accounts (`user`)
    QLabel* Label1;          // "用户名："
    QLineEdit* DBEdit1;      // the name of the current account
    QGroupBox* GroupBox1;    // "用户权限"
    QCheckBox* DBCheckBox1;  // "增加权"  ins
    QCheckBox* DBCheckBox2;  // "修改权"  modi
    QCheckBox* DBCheckBox3;  // "报废权"  del
    QCheckBox* DBCheckBox4;  // "数据字典维护权"  view
    QCheckBox* DBCheckBox5;  // "借出批复权"  jc
    QCheckBox* DBCheckBox6;  // "归还审核权"  gh
    QCheckBox* DBCheckBox7;  // "调拨权"  db
    QCheckBox* DBCheckBox8;  // "超级修改权"  spmodi
    QPushButton* BitBtn1;    // "增加"
    QPushButton* BitBtn2;    // "修改"
    QPushButton* BitBtn3;    // "删除"
    QPushButton* BitBtn4;    // "清除密码"
    QPushButton* BitBtn5;    // "保存"
    QPushButton* BitBtn6;    // "放弃"
    QPushButton* BitBtn7;    // "退出"

    Mode mode() const { return mode_; }

    void BitBtn1Click();  // add: a new row, every right false
    void BitBtn2Click();  // modify the current account
    void BitBtn3Click();  // mark the current account for deletion
    void BitBtn4Click();  // clear the current account's password, after a question
    void BitBtn5Click();  // save
    void BitBtn6Click();  // discard and read the accounts again
    void BitBtn7Click();  // close
    // Ticking "超级修改权" ticks "修改权" as well.
    void DBCheckBox8Click();

    // Moves to an account by its row in the grid (only while browsing).
    void selectRow(int row);

    // Escape closes only while browsing, like "退出"; the window has no close box.
    void reject() override;

private:
    void fillGrid();
    void showCurrent();
    void setEditing(bool editing);
    void returnToBrowsing();
    bool currentIsAdministrator() const;
    // Writes the pending row under name; false when another account has that name or the
    // engine refuses the row (the edit stays open).
    bool saveRow(const QString& name);
    QList<QCheckBox*> rightBoxes() const;

    AppState& state_;
    std::unique_ptr<db::RowSet> users_;
    Mode mode_ = Mode::Browsing;
    QString originalName_;  // the name of the account being modified
};

}  // namespace fx::users
