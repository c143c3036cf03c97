#pragma once

#include <QDialog>

#include "maintenancetexts.h"
#include "querybox.h"

class QDateEdit;
class QLabel;
class QPushButton;

namespace fx {
class AppState;
}

namespace fx::movements {

// "请输入维修查寻条件(含子串)": the conditions of the maintenance query. Both date ranges start
// on 1 October 1949 and end tomorrow; the four boxes match substrings and narrow their lists
// while typing. "确定" builds the query text and closes with OK.
class TwxcxDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "repairs.html")

public:
    TwxcxDlg(AppState& app, QWidget* parent = nullptr);
    ~TwxcxDlg() override;

    QDateEdit* DateTimePicker1;  // sent from
    QDateEdit* DateTimePicker2;  // sent to
    QDateEdit* DateTimePicker4;  // repaired from
    QDateEdit* DateTimePicker3;  // repaired to
    query::QueryBox* ComboBox1;  // "资产类别："
    query::QueryBox* ComboBox2;  // "资产名称："
    query::QueryBox* ComboBox3;  // "规格型号："
    QLabel* Label6;              // "使用单位：" or "使用者："
    query::QueryBox* ComboBox4;  // location or user
    QPushButton* BitBtn1;        // "确定"
    QPushButton* BitBtn2;        // "取消"

    // ---- behaviour ---------------------------------------------------------------------------
    // "确定": trims the boxes, builds the query text and closes with OK.
    void BitBtn1Click();
    // The filter as the dialog now holds it (box texts trimmed and written back).
    MaintenanceFilter readFilter();
    // The query text "确定" built.
    const QString& queryText() const { return queryText_; }

    void ComboBox1DropDown();  // category list opened: refilled from the dictionary
    void ComboBox2DropDown();  // name list opened: every name when no category is given
    void ComboBox1Exit();      // category left: the names of the category
    void ComboBox2Exit();      // name left: its models and its storage mode's list

private:
    void buildControls();
    void fillLists();
    QStringList values(const QString& jetSql, const char* field);
    QStringList categories();
    QStringList allNames();
    QStringList places();
    QStringList people();

    AppState& app_;
    dictionary::TypeAheadState typeAhead_;
    QString queryText_;
};

}  // namespace fx::movements
