#pragma once

#include <QDialog>
#include <vector>

#include "runningcounts.h"
#include "scan.h"
#include "stocktake.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace fx {
class AppState;
}

namespace fx::stocktake {

// "盘点扫描": the stocktake, the place being checked and one input field that keeps the keyboard
// focus and takes what a USB scanner types (the code and Enter) as well as typed asset numbers.
// Each scan is judged and committed at once and shown with a colour and a sound; the counts
// follow the scans of every workstation (refreshed every few seconds and on "刷新").
class StocktakeScanDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "stocktake.html")
public:
    StocktakeScanDlg(AppState& app, int stocktakeId, QWidget* parent = nullptr);

    QComboBox* PlaceBox;
    QLineEdit* ScanEdit;
    QLabel* ResultLabel;
    QLabel* CountsLabel;
    QListWidget* ScansList;
    QLineEdit* SurplusNote;
    QPushButton* SurplusButton;
    QPushButton* UndoButton;
    QPushButton* RefreshButton;
    QPushButton* LoadButton;
    QPushButton* CloseButton;

    // Judges one code as typed into ScanEdit: a place label ("位置:财务处") sets the place being
    // checked, anything else is recorded as a scan. Errors are shown in the result line.
    void scan(const QString& code);
    // Removes this window's last scan.
    void UndoButtonClick();
    // Keeps what the user wrote for the last surplus scan.
    void SurplusButtonClick();
    // Reads the counts again, with every workstation's scans.
    void refreshCounts();
    // Brings the counts up to date after a scan: the scans recorded since the last read, by
    // this workstation and the others, are added.
    void updateCounts();
    // Loads a handheld scanner's file chosen by the user.
    void LoadButtonClick();
    // The colour a result is shown in.
    static QColor colourOf(ScanResult r);
    const Stocktake& stocktake() const { return stocktake_; }

private:
    void showResult(const QString& text, const QColor& colour);
    void keepFocus();

    AppState& app_;
    Stocktake stocktake_;
    RunningCounts counts_;
    std::vector<qint64> myScans_;  // this window's scans, for the undo
    qint64 lastSurplus_ = 0;
    QTimer* refreshTimer_;
};

}  // namespace fx::stocktake
