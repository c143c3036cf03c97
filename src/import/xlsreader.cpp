#include "xlsreader.h"

#include <freexl.h>

#include <QFile>

namespace fx::import {

namespace {

QString damaged() {
    return QStringLiteral(
        "该文件已损坏或不是 Excel 97-2003 工作簿（.xls），不能导入。请用 Excel 打开并另存后再试。");
}

class XlsFile {
public:
    explicit XlsFile(const QString& path) {
        if (!QFile::exists(path)) throw ReadError(QStringLiteral("文件不存在：") + path);
        if (QFile(path).size() == 0)
            throw ReadError(QStringLiteral("文件是空的，没有可以导入的内容。"));
        const int r = freexl_open(QFile::encodeName(path).constData(), &handle_);
        if (r != FREEXL_OK) throw ReadError(damaged());
        unsigned int password = 0;
        if (freexl_get_info(handle_, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
            password == FREEXL_BIFF_OBFUSCATED)
            throw ReadError(QStringLiteral(
                "该文件设有打开密码（已加密），不能导入。请在 Excel 中取消密码、另存后再导入。"));
    }
    ~XlsFile() {
        if (handle_) freexl_close(handle_);
    }
    XlsFile(const XlsFile&) = delete;
    XlsFile& operator=(const XlsFile&) = delete;
    const void* handle() const { return handle_; }

private:
    const void* handle_ = nullptr;
};

QString cellText(const FreeXL_CellValue& v) {
    switch (v.type) {
        case FREEXL_CELL_INT:
            return QString::number(v.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return QString::number(v.value.double_value, 'g', 15);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            return QString::fromUtf8(v.value.text_value);
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
            return QString::fromUtf8(v.value.text_value).left(10);
        case FREEXL_CELL_TIME:
            return QString::fromUtf8(v.value.text_value);
        default:
            return QString();
    }
}

}  // namespace

SheetTable readXls(const QString& path, const QString& sheet) {
    XlsFile file(path);
    const void* h = file.handle();
    unsigned int count = 0;
    if (freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
        throw ReadError(damaged());
    SheetTable table;
    int chosen = -1;
    for (unsigned int i = 0; i < count; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(h, (unsigned short)i, &name) != FREEXL_OK)
            throw ReadError(damaged());
        table.sheetNames << QString::fromUtf8(name);
        if (chosen < 0 && (sheet.isEmpty() || table.sheetNames.back() == sheet)) chosen = int(i);
    }
    if (chosen < 0) {
        if (count == 0) throw ReadError(QStringLiteral("该工作簿中没有工作表，不能导入。"));
        throw ReadError(QStringLiteral("该工作簿中没有名为“%1”的工作表。").arg(sheet));
    }
    table.sheet = table.sheetNames.at(chosen);
    if (freexl_select_active_worksheet(h, (unsigned short)chosen) != FREEXL_OK)
        throw ReadError(damaged());
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(h, &rows, &columns) != FREEXL_OK) throw ReadError(damaged());
    if (rows > unsigned(kMaxRows)) throw ReadError(text::tooManyRows());
    RowCollector collect(table);
    for (unsigned int r = 0; r < rows; ++r) {
        collect.beginRow(int(r) + 1);
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(h, r, c, &v) != FREEXL_OK) throw ReadError(damaged());
            collect.setCell(c, cellText(v));
        }
        collect.endRow();
    }
    if (table.rows.empty())
        throw ReadError(QStringLiteral("工作表“%1”是空的，没有可以导入的内容。").arg(table.sheet));
    return table;
}

}  // namespace fx::import
