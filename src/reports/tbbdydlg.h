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
    Q_CLASSINFO("helpSection", "printing.html")

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

    // ---- controls, named as the program names them ------------------------------------------
    QLineEdit* Edit1;          // "报表标题:", the report title (at most 38 characters)
    QTabWidget* PageControl1;  // the four pages, in the order of Page
    // Page "  标准格式  ": the four standard list formats.
    QRadioButton* RadioButton1;  // "报表格式一（基本）"
    QRadioButton* RadioButton2;  // "报表格式二（配置）"
    QRadioButton*
        RadioButton3;  // "报表格式三（价值分析）", hidden from a user who hides depreciation
    QRadioButton* RadioButton8;  // "报表格式四（价值汇总）", the same
    QCheckBox* CheckBox16;  // "编号作为唯一标识": the asset number instead of the serial
    // Page " 自定义格式 ": sixteen column boxes (CheckBox1..CheckBox21, see columnBox()) with
    // their width fields (WidthEdit<number>, see widthEdit()), and the paper.
    std::array<QCheckBox*, 16> columnBoxes{};  // in the order of columnChoices()
    std::array<QLineEdit*, 16> widthEdits{};   // the same order
    QComboBox* ComboBox1;                      // paper: "A4", "A3", "A5", "B4", "B5", "自定义"
    QComboBox* ComboBox2;                      // orientation: "纵向", "横向"
    // Page "   汇总表   ": the summary table.
    ui::RadioGroup* RadioGroup1;  // "固定资产划分级别": by category, name or model
    ui::RadioGroup* RadioGroup2;  // "存放方式划分级别": by department, or location and person
    ui::RadioGroup* RadioGroup3;  // "主索引": the asset level or the storage level outside
    QCheckBox* CheckBox14;        // "显示明细": one line per asset
    QCheckBox* CheckBox15;        // "显示价值分析": original and net values, for every user
    // Page "固定资产标签": the asset labels.
    QRadioButton* RadioButton4;  // "标签格式一（25mm*40mm）"
    QRadioButton* RadioButton5;  // "标签格式二（40mm*50mm）"
    QRadioButton* RadioButton6;  // "标签格式三（54mm*85mm）"
    QRadioButton* RadioButton7;  // "标签格式四（25mm*40mm）（特）"
    QCheckBox* CheckBox17;       // "编号作为唯一标识" (not with format 4)
    QCheckBox* CheckBox21;       // "显示单位所有权": the owner instead of the purchase date
    // Below the pages.
    QPushButton* BitBtnLoad;     // "取格式", only on the custom page
    QPushButton* BitBtnSave;     // "保存格式", only on the custom page
    QPushButton* BitBtnPreview;  // "预览"
    QPushButton* BitBtnPrint;    // "打印"
    QPushButton* BitBtnExit;     // "退出"

    // Labels with codes on the label page.
    QRadioButton* RadioButton9;   // "5. 二维码标签（50×30毫米）"
    QRadioButton* RadioButton10;  // "6. 条形码标签（60×40毫米）"
    QRadioButton* RadioButton11;  // place labels
    QComboBox* ComboBox3;         // the place to label, or all places
    QComboBox* ComboBox4;         // A4 sheets or a label printer

    // ---- the controls by their role, for code outside the window -----------------------------
    // The custom page's box and width field of a column, by its caption ("序号", "净值"...);
    // null for a caption that is no column.
    QCheckBox* columnBox(const QString& caption) const;
    QLineEdit* widthEdit(const QString& caption) const;
    QLineEdit* titleEdit() const { return Edit1; }
    QCheckBox* showDetailsBox() const { return CheckBox14; }
    QCheckBox* showValuesBox() const { return CheckBox15; }

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
