#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include "datalocation.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace fx {

// "选择数据库": chooses between the local database of the installation and the database in the
// root of a network drive, and keeps the choice in qslpath.ini in the start directory. Opened
// from the login dialog, which reconnects when this dialog is accepted.
class TLocationDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "firststart.html")

public:
    explicit TLocationDlg(const QString& startDir, QWidget* parent = nullptr);

    QRadioButton* RadioButton1;  // "采用本地数据库"
    QRadioButton* RadioButton2;  // "采用网络数据库"
    QLabel* Label1;              // "请选择已经映射好的网络驱动器"
    QComboBox* DriveComboBox1;   // the drive list
    QPushButton* Button1;        // "确定"
    QPushButton* Button2;        // "取消"

    // Loads the choice from qslpath.ini: network selects RadioButton2 and the stored drive.
    void FormShow();
    // Either radio button: the drive list is usable only with the network choice.
    void RadioButtonClick();
    // "确定": refuses a network drive without gdzc.qsk in its root (nothing is written);
    // otherwise writes qslpath.ini and accepts.
    void Button1Click();

    // The drive the list shows, if any.
    std::optional<Drive> chosenDrive() const;

private:
    QString startDir_;
    QList<Drive> drives_;
};

}  // namespace fx
