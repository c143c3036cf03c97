#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include "datalocation.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QPushButton;
class QRadioButton;

namespace fx {

// "选择数据库": chooses between the local database of the installation, the database in the
// root of a network drive and a database server, and keeps the choice in qslpath.ini in the
// start directory. Opened from the login dialog, which reconnects when this dialog is accepted.
// The server password typed here is handed to the login, never written to qslpath.ini.
class TLocationDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "firststart.html")

public:
    explicit TLocationDlg(const QString& startDir, QWidget* parent = nullptr);

    QRadioButton* RadioButton1;  // "采用本地数据库"
    QRadioButton* RadioButton2;  // "采用网络数据库"
    QLabel* Label1;              // "请选择已经映射好的网络驱动器"
    QComboBox* DriveComboBox1;   // the drive list
    QRadioButton* RadioButton3;  // "数据库服务器"
    QLabel* Label2;              // "服务器地址"
    QLineEdit* Edit1;            // host name, address or socket folder
    QLabel* Label3;              // "端口"
    QSpinBox* SpinEdit1;         // port, 5432 unless stored otherwise
    QLabel* Label4;              // "数据库名"
    QLineEdit* Edit2;            // database name
    QLabel* Label5;              // "用户名"
    QLineEdit* Edit3;            // the server account
    QLabel* Label6;              // "服务器密码"
    QLineEdit* Edit4;            // the server account's password, shown as "*"
    QCheckBox* CheckBox1;        // "记住密码"
    QPushButton* Button1;        // "确定"
    QPushButton* Button2;        // "取消"

    // Loads the choice from qslpath.ini: network selects RadioButton2 and the stored drive,
    // server RadioButton3 and the stored server fields.
    void FormShow();
    // Any radio button: the drive list is usable only with the network choice, the server
    // fields only with the server choice.
    void RadioButtonClick();
    // "确定": refuses a network drive without gdzc.qsk in its root, and a server choice without
    // address, database name or user (nothing is written); otherwise writes qslpath.ini and
    // accepts.
    void Button1Click();

    // The server password typed, and whether the user wants it remembered (server choice).
    QString serverPassword() const;
    bool rememberPassword() const;

    // The drive the list shows, if any.
    std::optional<Drive> chosenDrive() const;

private:
    QString startDir_;
    QList<Drive> drives_;
};

}  // namespace fx
