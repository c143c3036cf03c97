#include "resulttables.h"

#include <xlsxwriter.h>

#include "dberror.h"
#include "depreciation.h"

namespace fx::stocktake {

namespace {

QString placeOrUser(const AssetLine& a) {
    return a.place + (a.byLocation ? QString() : QStringLiteral("（使用者）"));
}

ListTable assetTable(const QString& title, const std::vector<AssetLine>& lines) {
    ListTable t;
    t.title = title;
    t.columns = {QStringLiteral("编号"),     QStringLiteral("名称"),   QStringLiteral("型号"),
                 QStringLiteral("账面位置"), QStringLiteral("保管人"), QStringLiteral("盘点位置"),
                 QStringLiteral("扫描时间")};
    for (const AssetLine& a : lines)
        t.rows.push_back(
            {a.number, a.name, a.model, placeOrUser(a), a.custodian, a.foundPlace, a.scanTime});
    return t;
}

ListTable missingTable(const std::vector<AssetLine>& lines) {
    ListTable t;
    t.title = QStringLiteral("盘亏");
    t.columns = {QStringLiteral("编号"),     QStringLiteral("名称"),    QStringLiteral("型号"),
                 QStringLiteral("账面位置"), QStringLiteral("保管人"),  QStringLiteral("原值"),
                 QStringLiteral("净值"),     QStringLiteral("跟进备注")};
    for (const AssetLine& a : lines) {
        QString remark = a.followUp;
        if (a.deleted) remark.prepend(QStringLiteral("（已从账上删除）"));
        t.rows.push_back({a.number, a.name, a.model, placeOrUser(a), a.custodian,
                          reports::centsText(a.value.original), reports::centsText(a.value.net),
                          remark});
    }
    return t;
}

ListTable surplusTable(const std::vector<SurplusLine>& lines) {
    ListTable t;
    t.title = QStringLiteral("盘盈");
    t.columns = {QStringLiteral("扫描编号"), QStringLiteral("发现位置"), QStringLiteral("扫描时间"),
                 QStringLiteral("盘点人"), QStringLiteral("说明")};
    for (const SurplusLine& s : lines)
        t.rows.push_back({s.code, s.place, s.scanTime, s.operatorName, s.description});
    return t;
}

void check(lxw_error e) {
    if (e != LXW_NO_ERROR) throw db::DbError(QString::fromUtf8(lxw_strerror(e)));
}

}  // namespace

std::array<ListTable, 4> listTables(const Results& r) {
    return {assetTable(QStringLiteral("已盘点"), r.found), missingTable(r.missing),
            assetTable(QStringLiteral("位置不符"), r.misplaced), surplusTable(r.surplus)};
}

QStringList summaryLines(const Stocktake& s, const Counts& n, const Results& r) {
    return summaryLines(s, n, r.missingOriginal, r.missingNet);
}

QStringList summaryLines(const Stocktake& s, const Counts& n, qint64 missingOriginal,
                         qint64 missingNet) {
    QStringList lines;
    lines << QStringLiteral("盘点：") + s.name;
    lines << QStringLiteral("范围：") + scopeText(s);
    lines << QStringLiteral("建立：%1  %2")
                 .arg(s.created.toString(QStringLiteral("yyyy-MM-dd")), s.createdBy);
    lines << (s.isOpen() ? QStringLiteral("状态：进行中")
                         : QStringLiteral("状态：已于%1结束")
                               .arg(s.ended.toString(QStringLiteral("yyyy-MM-dd"))));
    lines << countsText(n);
    lines << QStringLiteral("盘亏资产原值：%1元  净值：%2元")
                 .arg(reports::centsText(missingOriginal), reports::centsText(missingNet));
    return lines;
}

void writeResultsXlsx(const QString& path, const QStringList& summary,
                      const std::array<ListTable, 4>& tables) {
    const QByteArray file = path.toUtf8();
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(file.constData(), &options);
    if (!book) throw db::DbError(QStringLiteral("不能建立文件“%1”。").arg(path));
    try {
        for (const ListTable& t : tables) {
            const QByteArray name = t.title.toUtf8();
            lxw_worksheet* sheet = workbook_add_worksheet(book, name.constData());
            if (!sheet) throw db::DbError(QStringLiteral("不能建立工作表“%1”。").arg(t.title));
            lxw_row_t row = 0;
            for (const QString& line : summary)
                check(worksheet_write_string(sheet, row++, 0, line.toUtf8().constData(), nullptr));
            ++row;
            for (qsizetype c = 0; c < t.columns.size(); ++c)
                check(worksheet_write_string(sheet, row, lxw_col_t(c),
                                             t.columns.at(c).toUtf8().constData(), nullptr));
            ++row;
            for (const QStringList& cells : t.rows) {
                for (qsizetype c = 0; c < cells.size(); ++c)
                    check(worksheet_write_string(sheet, row, lxw_col_t(c),
                                                 cells.at(c).toUtf8().constData(), nullptr));
                ++row;
            }
        }
    } catch (...) {
        workbook_close(book);
        throw;
    }
    check(workbook_close(book));
}

}  // namespace fx::stocktake
