#pragma once

#include <QDialog>
#include <vector>

#include "stocktake.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace fx {
class AppState;
}

namespace fx::stocktake {

// "新建盘点": a name (offered as "2026年12月盘点"), the scope (the whole register, a department,
// a place, a category, or the rows of the last query) and its value. "确定" records the
// stocktake with the snapshot of its scope; scrapped assets are left out.
class NewStocktakeDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "stocktake.html")
public:
    // queryRows: the serial numbers of the rows of the last query, for that scope.
    NewStocktakeDlg(AppState& app, std::vector<int> queryRows, QWidget* parent = nullptr);

    QLineEdit* NameEdit;
    QComboBox* ScopeBox;  // 全部资产, 部门, 位置, 类别, 上次查询结果
    QComboBox* ValueBox;  // the departments, places or categories
    QPushButton* OkButton;
    QPushButton* CancelButton;

    // Fills ValueBox for the chosen scope.
    void ScopeBoxChange();
    // Records the stocktake and closes the dialog; an error is shown and the dialog stays.
    void OkButtonClick();
    // The stocktake recorded (id 0 until then).
    const Stocktake& created() const { return created_; }

private:
    AppState& app_;
    std::vector<int> queryRows_;
    Stocktake created_;
};

}  // namespace fx::stocktake
