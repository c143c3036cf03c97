#pragma once

#include <QDialog>
#include <optional>

#include "importplan.h"
#include "importstore.h"
#include "sheettable.h"
#include "sourcefile.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace fx {
class AppState;
}

namespace fx::import {

class WheelGuard;

// "导入固定资产": a register kept in a spreadsheet brought into the program. The user chooses the
// file and the sheet, the header row, which card field each column fills (remembered per user
// for the next file with the same headers), looks at the first rows as they will be stored,
// checks every row ("检查"), sets the prefixes and months of the new dictionary items, and
// imports ("导入", with progress and "取消"). Refused rows can be saved as a workbook with a
// column saying why; "下载导入模板" writes a workbook with the card's captions.
//
// Everything the buttons do is a plain member function, so that tests call them directly; the
// work itself is the import library's.
class TdrDlg : public QDialog {
    Q_OBJECT
public:
    TdrDlg(AppState& state, QWidget* parent = nullptr);

    // Reads a file: its sheets, the first sheet's rows, the header row found and the mapping
    // (the remembered one when this user has imported a file with the same headers). False,
    // after a message, when the file cannot be read.
    bool openFile(const QString& path);
    // Reads another sheet of the open file (or the CSV again in another encoding).
    bool chooseSheet(const QString& sheet);
    bool chooseEncoding(const QString& encoding);
    // Takes row n of the file (1-based, as the spreadsheet numbers it) as the header row.
    void setHeaderRow(int fileRow);
    // Maps a column of the header to a field (Field::None: the column is ignored).
    void setColumnField(int column, Field field);
    Field columnField(int column) const;

    // "检查": checks every row and shows the problems, the new dictionary items and the preview.
    // Nothing is written.
    void check();
    // "导入": stores the accepted rows in one transaction. True when rows were stored.
    bool importRows();
    // "取消" while importing.
    void cancelImport() { cancelled_ = true; }
    // Writes the rows the last check refused, with the column "未导入原因", to an xlsx file.
    bool saveRefusedRows(const QString& path);
    // Writes the import template: the card's captions and two example rows.
    static bool saveTemplate(const QString& path, QString* error);

    const std::optional<ImportPlan>& plan() const { return plan_; }
    const std::optional<ImportResult>& result() const { return result_; }

    QLineEdit* Edit1;           // the file
    QPushButton* Button1;       // "选择文件…"
    QComboBox* ComboBox1;       // the sheet
    QComboBox* ComboBox2;       // the encoding of a CSV file
    QSpinBox* SpinEdit1;        // the header row
    QTableWidget* StringGrid1;  // mapping: caption in the file, card field
    QTableWidget* StringGrid2;  // preview: the first rows as they will be stored
    QTableWidget*
        StringGrid3;        // new dictionary items: kind, text, belongs to, prefix, months, rows
    QPlainTextEdit* Memo1;  // the problems, by row and column
    QPushButton* Button2;   // "检查"
    QPushButton* Button3;   // "导入"
    QPushButton* Button4;   // "取消"
    QPushButton* Button5;   // "保存未导入的行…"
    QPushButton* Button6;   // "下载导入模板"
    QPushButton* Button7;   // "关闭"
    QProgressBar* ProgressBar1;
    QLabel* Label1;  // the outcome of the check or the import

private:
    bool readTable();
    void fillMapping();
    ImportOptions options() const;
    void showPlan();
    void rememberMapping() const;
    std::vector<Field> rememberedMapping(const QStringList& header) const;
    void chooseFileClick();
    void saveRefusedClick();
    void saveTemplateClick();

    AppState& state_;
    QString path_;
    ReadOptions read_;
    SheetTable table_;
    int headerRow_ = -1;  // index into table_.rows
    std::vector<Field> mapping_;
    std::optional<ImportPlan> plan_;
    std::optional<ImportResult> result_;
    WheelGuard* wheelGuard_ = nullptr;  // keeps the wheel from changing the mapping's boxes
    bool cancelled_ = false;
    bool filling_ = false;  // the tables are being filled: their signals change nothing
};

}  // namespace fx::import
