#pragma once

#include <QDialog>

#include "settings.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace fx {

class AppState;
namespace ui {
class ClickLabel;
class RadioGroup;
}  // namespace ui

// "系统设置": the user's input styles, query-dialog input and depreciation display, and, for the
// administrator, the installation's input mode, dictionary policy and return rule, with three
// presets. "确定" writes fxasset.ini and the in-memory settings; "取消" changes nothing.
//
// The radio groups are ui::RadioGroup widgets (QGroupBox with radio buttons, itemIndex):
//   RadioGroup1 "系统主界面输入设置"        inputmode  (administrator only)
//   RadioGroup2 "系统数据字典设置"          datadic    (administrator only)
//   RadioGroup3 "系统借出资产归还方式"      returner   (administrator only)
//   RadioGroup4 "本用户查询条件窗口输入设置" cxc
//   RadioGroup5 "本用户折旧及净值显示"      zjxs
class TxtszDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "settings.html")

public:
    explicit TxtszDlg(AppState& state, QWidget* parent = nullptr);

    QGroupBox* GroupBox1;        // "主界面部分允许手工输入设置"
    QCheckBox* CheckBox1;        // "名称栏"          mcl
    QCheckBox* CheckBox2;        // "用途栏"          ytl
    QCheckBox* CheckBox3;        // "型号栏"          xhl
    QCheckBox* CheckBox4;        // "位置及使用者栏"  wzl
    QGroupBox* GroupBox2;        // "本用户主界面输入设置", input
    QRadioButton* RadioButton1;  // "全部内容允许手工输入"       0
    QRadioButton* RadioButton2;  // "仅允许部分必要的手工输入"   1
    QRadioButton* RadioButton3;  // "不允许任何手工输入"         2
    ui::RadioGroup* RadioGroup1;
    ui::RadioGroup* RadioGroup2;
    ui::RadioGroup* RadioGroup3;
    ui::RadioGroup* RadioGroup4;
    ui::RadioGroup* RadioGroup5;
    ui::ClickLabel* Label1;  // "录入型方案"
    ui::ClickLabel* Label2;  // "快捷型方案"
    ui::ClickLabel* Label3;  // "缺省方案"
    QPushButton* Button1;    // "确定"
    QPushButton* Button2;    // "取消"

    // Tints the dialog, applies the administrator rule and loads the in-memory settings.
    void FormShow();

    // Reactions to a selection, by a click or by loading.
    void RadioButton1Click();  // all four fields typed into: tick and lock the boxes
    void RadioButton2Click();  // some fields: the boxes are the user's to choose
    void RadioButton3Click();  // no typing: untick and lock the boxes
    void RadioGroup1Click();   // the system input mode bounds the user's choice

    // The presets.
    void Label1Click();  // "录入型方案"
    void Label2Click();  // "快捷型方案"
    void Label3Click();  // "缺省方案"

    // "确定": writes the settings to fxasset.ini and into memory, and accepts.
    void Button1Click();

    // The settings the controls show now (values of no selected item stay as they were).
    Settings chosenSettings() const;

private:
    AppState& state_;
};

}  // namespace fx
