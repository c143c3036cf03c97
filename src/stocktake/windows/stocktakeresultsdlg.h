#pragma once

#include <QDialog>
#include <array>

#include "results.h"
#include "resulttables.h"
#include "stocktake.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace fx {
class AppState;
}

namespace fx::stocktake {

// "盘点结果": the found, missing (盘亏), misplaced and surplus (盘盈) lists of a stocktake, each
// sortable by a title click, with the counts and the value of the missing assets; export to
// .xlsx, the printed stocktake report, and the commands that put the register right: the
// misplaced assets moved where they were found (a batch transfer), a follow-up remark on missing
// assets, and a missing asset shown on the card (to scrap it there).
class StocktakeResultsDlg : public QDialog {
    Q_OBJECT
public:
    enum List { Found = 0, Missing = 1, Misplaced = 2, Surplus = 3 };

    StocktakeResultsDlg(AppState& app, int stocktakeId, QWidget* parent = nullptr);

    QLabel* SummaryLabel;
    QTabWidget* ListTabs;
    std::array<QTableWidget*, 4> Grids;  // FoundGrid, MissingGrid, MisplacedGrid, SurplusGrid
    QPushButton* ExportButton;
    QPushButton* PrintButton;
    QPushButton* MoveButton;
    QLineEdit* FollowUpEdit;
    QPushButton* FollowUpButton;
    QPushButton* CardButton;
    QPushButton* CloseButton;

    // Reads the lists again from every workstation's scans.
    void reload();
    void ExportButtonClick();
    void PrintButtonClick();
    // Moves the selected misplaced assets to where they were found, after a confirmation.
    void MoveButtonClick();
    // Keeps FollowUpEdit's text as the remark of the selected missing assets.
    void FollowUpButtonClick();
    // Closes the window and has the main window show the selected missing asset.
    void CardButtonClick();
    // The asset to show on the card after CardButton (0: none).
    int pickedSerial() const { return picked_; }
    const Results& results() const { return results_; }

private:
    std::vector<const AssetLine*> selectedAssets(List list) const;
    void fill(List list, const ListTable& table);

    AppState& app_;
    Stocktake stocktake_;
    Results results_;
    std::array<ListTable, 4> tables_;
    QStringList summary_;
    int picked_ = 0;
};

}  // namespace fx::stocktake
