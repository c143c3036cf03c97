#pragma once

#include <QDialog>
#include <QList>
#include <memory>

class QDateEdit;
class QLineEdit;
class QPushButton;

namespace fx {
class AppState;
namespace db {
class RowSet;
}
}  // namespace fx

namespace fx::movements {

// "增加维修记录": one new maintenance record of an asset. Creating the dialog appends the row
// (throws db::DbError when the table cannot be opened); "保存" writes it and closes with OK,
// "取消" closes and nothing is written. Enter moves through the fields in the order the paper
// form is filled in, ending on "保存".
class TaddwxjlDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "repairs.html")

public:
    TaddwxjlDlg(AppState& app, int serial, QWidget* parent = nullptr);
    ~TaddwxjlDlg() override;

    QDateEdit* DateTimePicker1;  // "送修日期：" -> sxrq
    QDateEdit* DateTimePicker2;  // "维修日期：" -> wxrq
    QLineEdit* DBEdit1;          // "送修地点：" sxdd
    QLineEdit* DBEdit6;          // "送修人员：" sxr
    QLineEdit* DBEdit2;          // "更换配件：" ghpj
    QLineEdit* DBEdit3;          // "故障原因：" gzyy
    QLineEdit* DBEdit4;          // "维修费用：" wxfy
    QLineEdit* DBEdit5;          // "维修状况：" wxzk
    QPushButton* BitBtn1;        // "保存"
    QPushButton* BitBtn2;        // "取消"

    // The controls Enter moves through, in order.
    QList<QWidget*> enterOrder() const;

    // "保存": writes the record and closes with OK. A cost that is not a number, or a refused
    // write, is reported and the dialog stays open.
    void BitBtn1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();

    AppState& app_;
    int serial_;
    std::unique_ptr<db::RowSet> rows_;
};

}  // namespace fx::movements
