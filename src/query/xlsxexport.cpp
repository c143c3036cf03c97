#include "xlsxexport.h"

#include <xlsxwriter.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace fx::query {

namespace {

// Excel allows at most 255 characters of width; an empty column keeps a little room.
constexpr double kMaxWidth = 255.0;
constexpr double kMinWidth = 4.0;
constexpr double kPadding = 2.0;
constexpr qsizetype kMaxCellLength = 32767;

bool isWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// What went wrong, in the program's words for the failures a user can do something about,
// else in the library's.
QString failureText(lxw_error failure) {
    switch (failure) {
        case LXW_ERROR_CREATING_XLSX_FILE:
            return QStringLiteral(
                "无法建立该文件：请检查文件夹是否存在、是否允许写入，以及同名文件是否正被其他"
                "程序打开。");
        case LXW_ERROR_CREATING_TMPFILE:
        case LXW_ERROR_READING_TMPFILE:
            return QStringLiteral("无法使用临时文件：请检查临时文件夹的剩余空间和写入权限。");
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
            return QStringLiteral("写入文件时出错：请检查磁盘的剩余空间。");
        case LXW_ERROR_MEMORY_MALLOC_FAILED:
            return QStringLiteral("内存不足。");
        default:
            return QString::fromUtf8(lxw_strerror(failure));
    }
}

}  // namespace

double fittedWidth(const QString& text) {
    double width = 0;
    for (const char32_t c : text.toUcs4()) width += isWide(c) ? 2.0 : 1.0;
    return width;
}

namespace {

// Writes the workbook to `file`; the failure, if any, is libxlsxwriter's.
lxw_error writeBook(const QByteArray& file, const SheetSource& source, int rowsPerSheet) {
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(file.constData(), &options);
    if (!book) return LXW_ERROR_CREATING_XLSX_FILE;
    const int columns = int(source.titles.size());
    std::vector<double> widths;
    lxw_worksheet* sheet = nullptr;
    lxw_error failure = LXW_NO_ERROR;

    auto put = [&](int row, int column, const QString& text) {
        if (text.isEmpty() || failure != LXW_NO_ERROR) return;
        // A cell holds at most 32767 characters; a longer memo is cut rather than losing
        // the whole export.
        const QByteArray utf8 = text.left(kMaxCellLength).toUtf8();
        const lxw_error e = worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column),
                                                   utf8.constData(), nullptr);
        if (e != LXW_NO_ERROR) failure = e;
        widths[std::size_t(column)] = std::max(widths[std::size_t(column)], fittedWidth(text));
    };
    auto finishSheet = [&] {
        for (int c = 1; c < columns && failure == LXW_NO_ERROR; ++c) {
            const double w = std::clamp(widths[std::size_t(c)] + kPadding, kMinWidth, kMaxWidth);
            failure = worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), w, nullptr);
        }
    };
    auto startSheet = [&] {
        sheet = workbook_add_worksheet(book, nullptr);
        if (!sheet) failure = LXW_ERROR_MEMORY_MALLOC_FAILED;
        widths.assign(std::size_t(columns), 0.0);
        for (int c = 0; c < columns; ++c) put(0, c, source.titles[c]);
    };

    startSheet();
    for (int r = 0; r < source.rowCount && failure == LXW_NO_ERROR; ++r) {
        const int onSheet = r % rowsPerSheet;
        if (r > 0 && onSheet == 0) {
            finishSheet();
            if (failure == LXW_NO_ERROR) startSheet();
        }
        for (int c = 0; c < columns; ++c) put(onSheet + 1, c, source.cell(r, c));
    }
    if (failure == LXW_NO_ERROR) finishSheet();
    const lxw_error closed = workbook_close(book);
    return failure != LXW_NO_ERROR ? failure : closed;
}

// Gives the finished file the permissions of a newly created one (the temporary file is the
// owner's alone) and puts it on the medium before it takes the chosen name.
bool finishFile(const QString& path) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && ::fchmod(f.handle(), 0666 & ~mask) == 0 &&
           ::fsync(f.handle()) == 0;
}

}  // namespace

bool writeWorkbook(const QString& path, const SheetSource& source, QString* error,
                   int rowsPerSheet) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    // Removed again by its destructor unless it has taken the chosen name.
    QTemporaryFile part(QFileInfo(path).absolutePath() + QStringLiteral("/.导出-XXXXXX.xlsx"));
    if (!part.open()) return fail(failureText(LXW_ERROR_CREATING_XLSX_FILE));
    part.close();
    const lxw_error failure =
        writeBook(QFile::encodeName(part.fileName()), source, qMax(1, rowsPerSheet));
    if (failure != LXW_NO_ERROR) return fail(failureText(failure));
    if (!finishFile(part.fileName()) || ::rename(QFile::encodeName(part.fileName()).constData(),
                                                 QFile::encodeName(path).constData()) != 0)
        return fail(QStringLiteral("写入文件时出错：请检查磁盘的剩余空间。"));
    return true;
}

}  // namespace fx::query
