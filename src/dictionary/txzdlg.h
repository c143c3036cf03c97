#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>

#include "theme.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace fx::db {
class Connection;
}

namespace fx::dictionary {

class PrefixEdit;

// The attribute dialog ("请选择该数据字典项的属性") that asks for what a new dictionary item needs.
// Its five forms show only their own controls. It has no cancel: however it is closed, the
// caller adds the item with the values shown.
class TxzDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "dictionary.html")

public:
    enum class Form {
        Rate,                // a category: residual rate 0-100 % and number prefix
        Storage,             // a name: kept by a person or at a place, and number prefix
        DepartmentQuestion,  // a place: is it a department?
        DepartmentChoice,    // a person: which department
        Months,              // a service life: how many monthly periods, 1-1200
    };

    explicit TxzDlg(Form form, Theme theme = Theme::Colourful, QWidget* parent = nullptr);

    // The dialog's own colour (red 186, green 197, blue 218), kept under the colourful theme.
    static QColor ownColour();

    Form form() const { return form_; }
    // Presets of the storage form (the category's prefix) and of the department choice.
    void setPrefix(const QString& prefix);
    void setDepartments(const QStringList& departments);

    // What the dialog holds when it closes.
    int number() const;          // rate in percent, or months
    QString prefix() const;      // upper case
    bool byUser() const;         // storage form: "按使用者" chosen
    bool isDepartment() const;   // department question: "是部门名称" chosen
    QString department() const;  // department choice; empty when none is chosen

    QLabel* Label1;  // the prompt, wrapping
    QLabel* Label2;  // the unit of the spin edit
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QComboBox* xz;  // the departments, drop-down only
    QSpinBox* CSpinEdit1;
    QLabel* Label3;  // "请填写新增资产缺省编号头："
    PrefixEdit* Edit1;
    QPushButton* BitBtn1;  // "确定"

    // "确定": an empty prefix, where one is asked for, keeps the dialog open.
    void BitBtn1Click();
    // Closing while the department list shows no choice keeps the dialog open.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form form_;
};

// The department a new person belongs to, chosen in the department-choice form. With no place
// marked as a department there is nothing to choose from: the user is told to define one first
// and nothing is returned, so that no person is added.
std::optional<QString> chooseDepartment(QWidget* parent, db::Connection& c,
                                        Theme theme = Theme::Colourful);

// The message shown by chooseDepartment when no place is a department.
QString noDepartmentMessage();

}  // namespace fx::dictionary
