#include "stocktakereport.h"

namespace fx::stocktake {

namespace {

constexpr int kColumns = 8;
// Column widths in mm across the 277 mm of a landscape A4 page.
constexpr qreal kWidths[kColumns] = {30, 34, 30, 42, 24, 40, 36, 41};

QString cellName(const char* prefix, int i) {
    return QString::fromLatin1(prefix) + QString::number(i);
}

}  // namespace

report::Report stocktakeReport(const QString& organisation, const QStringList& summary) {
    using namespace report;
    Report r;
    r.title = organisation + QStringLiteral("资产盘点报告");
    r.page.orientation = Orientation::Landscape;
    const FontDesc titleFont{QStringLiteral("宋体"), 16, true};
    const FontDesc plain{QStringLiteral("宋体"), 9, false};
    const FontDesc bold{QStringLiteral("宋体"), 10, true};

    Band& title = r.band(BandKind::Title, QStringLiteral("TitleBand"), 12 + 5.5 * summary.size());
    Item t = Item::systemItem(QStringLiteral("ReportTitle"), QRectF(0, 1, 277, 8),
                              SystemValue::ReportTitle, {}, titleFont);
    t.alignToBand = true;
    t.align = HAlign::Center;
    title.add(t);
    for (qsizetype i = 0; i < summary.size(); ++i)
        title.add(Item::label(QStringLiteral("Summary%1").arg(i),
                              QRectF(0, 11 + 5.5 * qreal(i), 277, 5), summary.at(i), plain));

    Group& g = r.addGroup(QStringLiteral("ListGroup"), QStringLiteral("lb"));
    Band& head = g.addHeader(QStringLiteral("ListHeader"), 13);
    head.add(Item::dataField(QStringLiteral("ListTitle"), QRectF(0, 1, 120, 6),
                             QStringLiteral("lb"), bold));
    qreal x = 0;
    for (int i = 0; i < kColumns; ++i) {
        Item h = Item::dataField(cellName("Caption", i), QRectF(x, 7.5, kWidths[i], 5),
                                 cellName("h", i), bold);
        h.frame.sides = Frame::Bottom;
        head.add(h);
        x += kWidths[i];
    }
    r.detail.height = 5;
    x = 0;
    for (int i = 0; i < kColumns; ++i) {
        r.detail.add(Item::dataField(cellName("Cell", i), QRectF(x, 0.5, kWidths[i] - 1, 4.5),
                                     cellName("c", i), plain));
        x += kWidths[i];
    }
    Band& footer = r.band(BandKind::PageFooter, QStringLiteral("PageFooter"), 8);
    Item page = Item::systemItem(QStringLiteral("PageNumber"), QRectF(0, 2, 277, 5),
                                 SystemValue::PageOfCount, {}, plain);
    page.alignToBand = true;
    page.align = HAlign::Center;
    footer.add(page);
    return r;
}

report::MemoryDataSource stocktakeReportRows(const std::array<ListTable, 4>& tables) {
    QStringList fields{QStringLiteral("lb")};
    for (int i = 0; i < kColumns; ++i) fields << cellName("h", i);
    for (int i = 0; i < kColumns; ++i) fields << cellName("c", i);
    report::MemoryDataSource rows(fields);
    for (const ListTable& t : tables) {
        QVariantList head{QStringLiteral("%1（%2）").arg(t.title).arg(t.rows.size())};
        for (int i = 0; i < kColumns; ++i) head << t.columns.value(i);
        if (t.rows.empty()) {
            rows.addRow(head + QVariantList{QStringLiteral("（无）")});
            continue;
        }
        for (const QStringList& cells : t.rows) {
            QVariantList row = head;
            for (int i = 0; i < kColumns; ++i) row << cells.value(i);
            rows.addRow(row);
        }
    }
    return rows;
}

}  // namespace fx::stocktake
