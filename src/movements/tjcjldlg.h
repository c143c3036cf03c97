#pragma once

#include <QDialog>
#include <optional>

#include "loanstore.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace fx {
class AppState;
}

namespace fx::movements {

// "借出记录": lends the asset with this serial number when it has no open loan, takes it back
// when it has one. Creating the dialog reads the loan and fills the lists; "出借" or "归还"
// writes everything (loanstore.h) and closes the dialog with OK.
class Tjcjldlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "lending.html")

public:
    Tjcjldlg(AppState& app, int serial, QWidget* parent = nullptr);

    QGroupBox* GroupBox1;        // "固定资产第" + ID1 + "号"
    QComboBox* DBComboBox1;      // 出借人 (persons)
    QComboBox* DBComboBox2;      // 借用人
    QLineEdit* DBEdit2;          // 批复人, always read-only
    QComboBox* DBComboBox3;      // 借用地点
    QDateEdit* DateTimePicker1;  // 借用日期, always read-only
    QDateEdit* DateTimePicker2;  // 拟还日期, may be empty
    QLineEdit* DBEdit4;          // 备注
    QCheckBox* CheckBox1;        // "打印借条"
    QCheckBox* CheckBox2;        // "先预览后打印"
    QPushButton* BitBtn1;        // "出借" / "归还"
    QPushButton* BitBtn2;        // "退出"

    bool lending() const { return !existing_.has_value(); }
    // The planned return date as entered; invalid when left empty.
    QDate plannedReturn() const;
    void setPlannedReturn(const QDate& date);
    // The loan as the fields hold it.
    Loan enteredLoan() const;
    // "打印借条" ticked (lending only), and "先预览后打印" with it.
    bool printSlip() const;
    bool previewFirst() const;
    // "出借" or "归还": true when the loan was written and the dialog closed with OK.
    bool BitBtn1Click();
    // "打印借条" toggled: "先预览后打印" shows only while it is ticked.
    void CheckBox1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void fillLists();
    void showLoan();

    AppState& app_;
    int serial_;
    std::optional<Loan> existing_;
};

}  // namespace fx::movements
