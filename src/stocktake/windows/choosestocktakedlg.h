#pragma once

#include <QDialog>
#include <vector>

#include "stocktake.h"

class QComboBox;
class QPushButton;

namespace fx::stocktake {

// "选择盘点": one of the given stocktakes, newest first.
class ChooseStocktakeDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "stocktake.html")
public:
    ChooseStocktakeDlg(const QString& caption, std::vector<Stocktake> choices,
                       QWidget* parent = nullptr);

    QComboBox* StocktakeBox;
    QPushButton* OkButton;
    QPushButton* CancelButton;

    // The stocktake chosen (id 0 when there was none to choose).
    int chosenId() const;

private:
    std::vector<Stocktake> choices_;
};

}  // namespace fx::stocktake
