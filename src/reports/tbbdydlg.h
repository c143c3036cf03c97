#pragma once

#include <QDialog>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "codelabelform.h"
#include "labelform.h"
#include "listform.h"
#include "summaryform.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QVBoxLayout;

namespace fx {
class AppState;
namespace report {
class DataSource;
}
namespace ui {
class RadioGroup;
}
}  // namespace fx

namespace fx::reports {

// The report printing dialog ("报表打印"): turns the rows of the results window into a list
// report (four standard formats or the user's own columns, which can be saved to and loaded
// from a format file), the summary table or asset labels, previewed or printed. In label-only
// mode it prints the card's asset as one label.
class TbbdyDlg : public QDialog {
    Q_OBJECT

public:
    // rows: the results window's rows in its order (or the card's record in label-only mode);
    // baseQuery: the results window's query text, for the summary table.
    TbbdyDlg(AppState& state, const report::DataSource& rows, const QString& baseQuery,
             QWidget* parent = nullptr);
    ~TbbdyDlg() override;

    // Widths the results grid shows, by field: they become the column widths on showing.
    void setGridWidths(const QHash<QString, int>& widths);
    // Label-only mode: the label page only, the title hidden, the number taken from the card.
    void setLabelOnly(const QString& cardNumber);

    // What "预览" and "打印" would print from the page now showing; the rows to run it over
    // are given by rowsFor (summary table: its own query; labels: the rows wrapped).
    report::Report reportForPage() const;

    // The column lists (captions, fields, widths) in the order the columns were ticked.
    const QStringList& captions() const { return captions_; }
    const QStringList& fields() const { return fields_; }
    const QStringList& widths() const { return widths_; }

    QLineEdit* Edit1;
    QTabWidget* PageControl1;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton8;
    QCheckBox* CheckBox16;
    std::array<QCheckBox*, 16> columnBoxes{};  // in the order of columnChoices()
    std::array<QLineEdit*, 16> widthEdits{};
    QComboBox* ComboBox1;
    QComboBox* ComboBox2;
    ui::RadioGroup* RadioGroup1;
    ui::RadioGroup* RadioGroup2;
    ui::RadioGroup* RadioGroup3;
    QCheckBox* CheckBox14;
    QCheckBox* CheckBox15;
    QRadioButton* RadioButton4;
    QRadioButton* RadioButton5;
    QRadioButton* RadioButton6;
    QRadioButton* RadioButton7;
    QCheckBox* CheckBox17;
    QCheckBox* CheckBox21;
    QPushButton* BitBtnLoad;     // "取格式"
    QPushButton* BitBtnSave;     // "保存格式"
    QPushButton* BitBtnPreview;  // "预览"
    QPushButton* BitBtnPrint;    // "打印"
    QPushButton* BitBtnExit;     // "退出"

    // Labels with codes on the label page.
    QRadioButton* RadioButton9;   // "5. 二维码标签（50×30毫米）"
    QRadioButton* RadioButton10;  // "6. 条形码标签（60×40毫米）"
    QRadioButton* RadioButton11;  // place labels
    QComboBox* ComboBox3;         // the place to label, or all places
    QComboBox* ComboBox4;         // A4 sheets or a label printer

    enum Page { StandardPage = 0, CustomPage = 1, SummaryPage = 2, LabelPage = 3 };

    void previewClick();
    void printClick();
    void saveFormatClick();
    void loadFormatClick();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void buildStandardPage();
    void buildCustomPage();
    void buildSummaryPage();
    void buildLabelPage();
    void pageChanged(int page);
    void standardFormatChosen();
    void columnToggled(int choice, bool ticked);
    void widthEdited(int choice);
    void labelFormatChosen();
    int standardFormat() const;
    ListReportOptions listOptions() const;
    SummaryOptions summaryOptions() const;
    LabelOptions labelOptions() const;
    // Labels with codes (tbbdydlgcodes.cpp).
    void buildCodeLabelControls(QWidget* page, QVBoxLayout* v);
    void codeLabelChosen();
    QStringList placeNames() const;
    std::optional<CodeLabel> codeLabelKind() const;
    CodeLabelOptions codeLabelOptions() const;
    report::MemoryDataSource chosenPlaces() const;
    // Runs the page's report: preview (true) or straight to the printer.
    void run(bool preview);

    AppState& state_;
    const report::DataSource& rows_;
    QString baseQuery_;
    QString organisation_;
    QHash<QString, int> gridWidths_;
    std::optional<QString> cardNumber_;  // label-only mode
    bool changeGuard_ = true;
    QStringList captions_;
    QStringList fields_;
    QStringList widths_;
    QLabel* titleCaption_ = nullptr;
};

}  // namespace fx::reports
