#pragma once

#include <QDialog>
#include <array>
#include <optional>

#include "liststatements.h"
#include "querystate.h"
#include "results.h"
#include "resulttables.h"
#include "stocktake.h"

class QLabel;
class QPushButton;

namespace fx {
class AppState;
}

namespace fx::stocktake {

// "盘点结果": the counts of a stocktake and the value of its missing assets, with a button for
// each of its four lists (found, missing (盘亏), misplaced, surplus (盘盈)), which opens that list
// in the results window with its sorting, export and printing, and the commands of the list
// (the misplaced assets moved where they were found, a follow-up remark on missing assets, an
// asset picked to be shown on the card); the whole stocktake exported to one workbook, and the
// printed stocktake report.
class StocktakeResultsDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "stocktake.html")
public:
    StocktakeResultsDlg(AppState& app, query::QueryState& state, int stocktakeId,
                        QWidget* parent = nullptr);

    QLabel* SummaryLabel;
    // FoundButton, MissingButton, MisplacedButton, SurplusButton, in ResultList order.
    std::array<QPushButton*, 4> ListButtons;
    QPushButton* ExportButton;
    QPushButton* PrintButton;
    QPushButton* CloseButton;

    // Reads the counts and the value of the missing assets again from every workstation's scans.
    void reload();
    // Opens a list in the results window; an asset picked there closes this window too.
    void showListWindow(ResultList list);
    void ExportButtonClick();
    void PrintButtonClick();
    // The asset to show on the card after a list picked one (0: none).
    int pickedSerial() const { return picked_; }
    const Counts& shownCounts() const { return counts_; }

private:
    // The four lists as they are now, for the workbook and the report (and the summary with
    // them); nothing after an error, which is shown.
    std::optional<std::array<ListTable, 4>> readLists();

    AppState& app_;
    query::QueryState& state_;
    Stocktake stocktake_;
    Counts counts_;
    QStringList summary_;
    int picked_ = 0;
};

}  // namespace fx::stocktake
