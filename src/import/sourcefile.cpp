#include "sourcefile.h"

#include <QFileInfo>

#include "xlsreader.h"
#include "xlsxreader.h"

namespace fx::import {

namespace {

QString unknownKind() {
    return QStringLiteral(
        "只能导入 Excel 工作簿（.xlsx、.xls）或逗号分隔的文本文件（.csv、.txt）。");
}

}  // namespace

FileKind fileKindOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xlsx") || suffix == QLatin1String("xlsm")) return FileKind::Xlsx;
    if (suffix == QLatin1String("xls")) return FileKind::Xls;
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt")) return FileKind::Csv;
    return FileKind::Unknown;
}

QStringList sheetNames(const QString& path) {
    switch (fileKindOf(path)) {
        case FileKind::Xlsx:
            return xlsxSheetNames(path);
        case FileKind::Xls:
            return readXls(path).sheetNames;
        case FileKind::Csv:
            return {QFileInfo(path).completeBaseName()};
        case FileKind::Unknown:
            break;
    }
    throw ReadError(unknownKind());
}

SheetTable readSheet(const QString& path, const ReadOptions& options) {
    switch (fileKindOf(path)) {
        case FileKind::Xlsx:
            return readXlsx(path, options.sheet);
        case FileKind::Xls:
            return readXls(path, options.sheet);
        case FileKind::Csv:
            return readCsv(path, options.csv);
        case FileKind::Unknown:
            break;
    }
    throw ReadError(unknownKind());
}

}  // namespace fx::import
