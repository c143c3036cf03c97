#pragma once

#include <QDialog>

#include "conditions.h"
#include "querybox.h"

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace fx {
class AppState;
}

namespace fx::query {

struct QueryState;

// The comprehensive query, "综合查寻": a form of conditions. "确定" turns the filled conditions
// into WHERE fragments and appends them to the query text of the shared query state; "逻辑查寻
// 方式…" closes with kLogical so that the caller opens the logical query instead.
class TzhcxDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "query.html")

public:
    // The dialog's third result, besides Accepted and Rejected.
    static constexpr int kLogical = 2;

    // Creates the dialog with its lists filled and every control at its default; applies the
    // user's input setting cxc (1: the category, name, place, use and model boxes only choose).
    TzhcxDlg(AppState& app, QueryState& state, QWidget* parent = nullptr);
    ~TzhcxDlg() override;

    QGroupBox* GroupBox1;        // "查寻条件"
    QueryBox* ComboBox1;         // category
    QueryBox* ComboBox2;         // name
    QueryBox* ComboBox4;         // use
    QueryBox* ComboBox5;         // model
    QLineEdit* Edit1;            // configuration words
    QRadioButton* RadioButton1;  // "按位置"
    QRadioButton* RadioButton2;  // "按使用者"
    QRadioButton* RadioButton3;  // "全部"
    QRadioButton* RadioButton4;  // "按部门"
    QRadioButton* RadioButton5;  // "按保管人"
    QLabel* Label12;             // the place box's label
    QueryBox* ComboBox3;         // place
    QueryBox* ComboBox6;         // service life
    QDateEdit* DateTimePicker1;  // bought from
    QDateEdit* DateTimePicker2;  // bought to
    QSpinBox* CSpinEdit1;        // price from
    QSpinBox* CSpinEdit5;        // price to
    QLineEdit* Edit2;            // remark words
    QCheckBox* CheckBox4;        // "已报废"
    QCheckBox* CheckBox7;        // "未报废"
    QCheckBox* CheckBox3;        // "已经借出"
    QCheckBox* CheckBox2;        // "有维修记录"
    QCheckBox* CheckBox1;        // "有备注记录"
    QCheckBox* CheckBox5;        // "已过使用年限"
    QCheckBox* CheckBox6;        // "模糊查寻"
    QPushButton* BitBtn1;        // "确定"
    QPushButton* BitBtn2;        // "取消"
    QPushButton* BitBtn3;        // "逻辑查寻方式…"

    // The storage radio chosen.
    Storage storage() const;
    void chooseStorage(Storage s);

    // ---- behaviour ---------------------------------------------------------------------------
    // "确定": trims the boxes, appends the fragments to the query text and closes with OK.
    void BitBtn1Click();
    // "逻辑查寻方式…": closes with kLogical.
    void BitBtn3Click();
    // The form as the boxes now hold it (texts trimmed and written back), the department's
    // people looked up.
    QueryForm readForm();
    // The fragments "确定" appends.
    QString buildConditions();

    // Reactions of the boxes.
    void ComboBox1DropDown();  // category list opened: refilled from the dictionary
    void ComboBox2DropDown();  // name list opened: every name when no category is given
    void ComboBox1Exit();      // category left: names and uses of the category
    void ComboBox2Exit();      // name left: models, storage mode and uses of the name
    void StorageClick();       // a storage radio chosen
    void CheckBox4Click();     // "已报废" unchecks "未报废"
    void CheckBox7Click();     // "未报废" unchecks "已报废"
    void CheckBox6Click();     // "模糊查寻" rules out "按部门"
    void Edit2Change();        // a remark ticks "有备注记录"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void fillLists();
    QStringList values(const QString& jetSql, const char* field) const;
    QStringList allNames() const;
    QStringList categoryNames(const QString& category) const;
    QStringList categoryUses(const QString& category) const;
    bool eventFilter(QObject* watched, QEvent* event) override;

    AppState& app_;
    QueryState& state_;
    dictionary::TypeAheadState typeAhead_;
};

}  // namespace fx::query
