#include "testfiles.h"

#include <xlsxwriter.h>
#include <zip.h>

#include <QCryptographicHash>
#include <QFile>
#include <QtEndian>
#include <stdexcept>

namespace fx::import::test {

void writeXlsx(const QString& path, const std::vector<SheetSpec>& sheets, bool constantMemory) {
    lxw_workbook_options options = {};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* book = workbook_new_opt(file.constData(), &options);
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "yyyy-mm-dd");
    for (const SheetSpec& s : sheets) {
        lxw_worksheet* sheet = workbook_add_worksheet(book, s.name.toUtf8().constData());
        for (std::size_t r = 0; r < s.rows.size(); ++r) {
            for (std::size_t c = 0; c < s.rows[r].size(); ++c) {
                const QVariant& v = s.rows[r][c];
                const auto row = lxw_row_t(r);
                const auto col = lxw_col_t(c);
                switch (v.typeId()) {
                    case QMetaType::QString: {
                        const QString t = v.toString();
                        if (t.startsWith(u'=')) {
                            const qsizetype arrow = t.indexOf(QStringLiteral("=>"));
                            worksheet_write_formula_num(sheet, row, col,
                                                        t.left(arrow).toUtf8().constData(), nullptr,
                                                        t.mid(arrow + 2).toDouble());
                        } else {
                            worksheet_write_string(sheet, row, col, t.toUtf8().constData(),
                                                   nullptr);
                        }
                        break;
                    }
                    case QMetaType::Bool:
                        worksheet_write_boolean(sheet, row, col, v.toBool(), nullptr);
                        break;
                    case QMetaType::QDate: {
                        const QDate d = v.toDate();
                        lxw_datetime dt = {d.year(), d.month(), d.day(), 0, 0, 0};
                        worksheet_write_datetime(sheet, row, col, &dt, date);
                        break;
                    }
                    case QMetaType::UnknownType:
                        break;
                    default:
                        worksheet_write_number(sheet, row, col, v.toDouble(), nullptr);
                }
            }
        }
    }
    if (workbook_close(book) != LXW_NO_ERROR) throw std::runtime_error("workbook not written");
}

void writeZip(const QString& path, const std::vector<std::pair<QString, QByteArray>>& parts) {
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) throw std::runtime_error("zip not created");
    std::vector<QByteArray> kept;
    kept.reserve(parts.size());
    for (const auto& [name, content] : parts) {
        kept.push_back(content);
        zip_source_t* src =
            zip_source_buffer(z, kept.back().constData(), zip_uint64_t(kept.back().size()), 0);
        zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    }
    if (zip_close(z) != 0) throw std::runtime_error("zip not written");
}

std::vector<std::pair<QString, QByteArray>> workbookParts(const QByteArray& sheetXml) {
    return {
        {QStringLiteral("[Content_Types].xml"),
         "<?xml version=\"1.0\"?><Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
        {QStringLiteral("xl/workbook.xml"),
         "<?xml version=\"1.0\"?><workbook "
         "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
         "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {QStringLiteral("xl/_rels/workbook.xml.rels"),
         "<?xml version=\"1.0\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
         "Target=\"worksheets/sheet1.xml\"/></Relationships>"},
        {QStringLiteral("xl/worksheets/sheet1.xml"), sheetXml},
    };
}

void patchClaimedSize(const QString& zipPath, const QByteArray& entry, quint32 size) {
    QByteArray data = readAll(zipPath);
    // Local headers: signature, name length at 26, name at 30, unpacked size at 22.
    for (qsizetype at = data.indexOf("PK\x03\x04"); at >= 0;
         at = data.indexOf("PK\x03\x04", at + 4)) {
        const quint16 nameLength = qFromLittleEndian<quint16>(data.constData() + at + 26);
        if (data.mid(at + 30, nameLength) == entry)
            qToLittleEndian<quint32>(size, data.data() + at + 22);
    }
    // Central headers: name length at 28, name at 46, unpacked size at 24.
    for (qsizetype at = data.indexOf("PK\x01\x02"); at >= 0;
         at = data.indexOf("PK\x01\x02", at + 4)) {
        const quint16 nameLength = qFromLittleEndian<quint16>(data.constData() + at + 28);
        if (data.mid(at + 46, nameLength) == entry)
            qToLittleEndian<quint32>(size, data.data() + at + 24);
    }
    writeAll(zipPath, data);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("not written");
    f.write(data);
}

QByteArray digest(const QString& path) {
    return QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha256);
}

}  // namespace fx::import::test
