#pragma once

#include <QDialog>

#include "theme.h"

class QLabel;
class QPushButton;
class QSpinBox;

namespace fx {

// "批量增加": how many identical assets "新增" adds at once.
class TplzjDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "card.html")

public:
    static constexpr int kMaxCount = 500;

    explicit TplzjDlg(Theme theme, QWidget* parent = nullptr);

    QLabel* Label1;        // "请您输入一次增加该种固定资产的数量"
    QSpinBox* SpinEdit1;   // 0 to 500, starting at 1
    QLabel* Label2;        // "件"
    QPushButton* BitBtn1;  // "确定"
    QPushButton* BitBtn2;  // "取消"

    // The number chosen: the spin box's value after "确定", 0 however else the dialog closed.
    int count() const;

    void BitBtn1Click();  // "确定"
    void BitBtn2Click();  // "取消"

    // Shows the dialog and returns count().
    static int ask(Theme theme, QWidget* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace fx
