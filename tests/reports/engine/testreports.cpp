#include "testreports.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include "units.h"

namespace fx::report::test {

MemoryDataSource sampleAssets(int count) {
    MemoryDataSource data({QStringLiteral("ID1"), QStringLiteral("bh"), QStringLiteral("sbmc"),
                           QStringLiteral("zclb"), QStringLiteral("sbxh"), QStringLiteral("gmjg"),
                           QStringLiteral("gmrq"), QStringLiteral("ynum"), QStringLiteral("yue"),
                           QStringLiteral("cz"), QStringLiteral("ybf")});
    const QString categories[] = {QStringLiteral("办公设备"), QStringLiteral("计算机"),
                                  QStringLiteral("家具")};
    const QString names[] = {QStringLiteral("打印机"), QStringLiteral("台式电脑"),
                             QStringLiteral("文件柜"), QStringLiteral("笔记本电脑")};
    const QString prefixes[] = {QStringLiteral("BG-"), QStringLiteral("JSJ-"),
                                QStringLiteral("JJ-")};
    for (int i = 0; i < count; ++i) {
        // Sorted by category, as the report's query orders them.
        const int category = i * 3 / qMax(count, 1);
        const double price = 1000.0 + (i % 7) * 123.45;
        data.addRow({i + 1, prefixes[category] + QString::number(100 + i), names[i % 4],
                     categories[category], QStringLiteral("型号-%1").arg(i % 5), price,
                     QDate(2020, 1 + i % 12, 1 + i % 28), (i * 7) % 70, 60, 5, i % 11 == 10});
    }
    return data;
}

namespace {

FontDesc song(qreal size, bool bold = false) {
    FontDesc f;
    f.family = QStringLiteral("宋体");
    f.pointSize = size;
    f.bold = bold;
    return f;
}

}  // namespace

Report groupedListReport() {
    Report r;
    r.title = QStringLiteral("青石岭单位固定资产报表（基本）");
    r.page.paper = Paper::A5;
    r.page.margins = {10, 10, 10, 10};

    Band& title = r.band(BandKind::Title, QStringLiteral("TitleBand1"), px(40));
    Item t = Item::systemItem(QStringLiteral("QRSysData1"), rectPx(0, 8, 100, 24),
                              SystemValue::ReportTitle, {}, song(14, true));
    t.alignToBand = true;
    t.align = HAlign::Center;
    title.add(t);

    Band& header = r.band(BandKind::ColumnHeader, QStringLiteral("ColumnHeaderBand1"), px(30));
    FontDesc headerFont = song(10, true);
    headerFont.italic = true;
    const struct {
        const char* name;
        const char* caption;
        int left, width;
    } columns[] = {{"QRLabel1", "序号", 4, 40},
                   {"QRLabel2", "名称", 47, 120},
                   {"QRLabel3", "购买价格", 170, 90},
                   {"QRLabel4", "累计折旧", 263, 90},
                   {"QRLabel5", "购买日期", 356, 100}};
    for (const auto& c : columns) {
        Item l = Item::label(QString::fromLatin1(c.name), rectPx(c.left, 8, c.width, 17),
                             QString::fromUtf8(c.caption), headerFont);
        l.frame.sides = Frame::Bottom;
        l.frame.color = QColor(128, 128, 128);
        l.frame.width = px(2);
        header.add(l);
    }

    Group& group = r.addGroup(QStringLiteral("QRGroup1"), QStringLiteral("zclb"));
    Band& gh = group.addHeader(QStringLiteral("QRGroup1"), px(22));
    Item caption = Item::expr(QStringLiteral("QRExprGroup"), rectPx(4, 3, 300, 17),
                              QStringLiteral("'类别：'+zclb"), song(10, true));
    gh.add(caption);
    gh.background = QColor(Qt::lightGray);

    Band& detail = r.band(BandKind::Detail, QStringLiteral("DetailBand1"), px(22));
    FontDesc cell = song(10);
    Item id = Item::dataField(QStringLiteral("QRDBText1"), rectPx(4, 3, 40, 17),
                              QStringLiteral("ID1"), cell);
    id.autoSize = true;
    detail.add(id);
    Item name = Item::dataField(QStringLiteral("QRDBText2"), rectPx(47, 3, 120, 17),
                                QStringLiteral("sbmc"), cell);
    name.autoSize = true;
    detail.add(name);
    Item price = Item::dataField(QStringLiteral("QRDBText3"), rectPx(170, 3, 80, 17),
                                 QStringLiteral("gmjg"), cell);
    price.format = QStringLiteral("0.00");
    price.align = HAlign::Right;
    detail.add(price);
    detail.add(Item::expr(QStringLiteral("QRExpr3"), rectPx(263, 3, 80, 17),
                          QStringLiteral("FORMATNUMERIC('0.00',IF((ynum>yue) Or "
                                         "ybf,gmjg*(100-cz)/100,gmjg*ynum*(100-cz)/yue/100))"),
                          cell));
    detail.add(Item::dataField(QStringLiteral("QRDBText5"), rectPx(356, 3, 100, 17),
                               QStringLiteral("gmrq"), cell));

    Band& gf = group.addFooter(QStringLiteral("QRBand2"), px(24));
    gf.frame.sides = Frame::Top;
    Item count = Item::expr(QStringLiteral("QRExpr6"), rectPx(4, 4, 160, 17),
                            QStringLiteral("zclb+'小计：'+COUNT()+'件'"), song(10, true));
    gf.add(count);
    Item sum = Item::expr(QStringLiteral("QRExpr7"), rectPx(170, 4, 80, 17),
                          QStringLiteral("FORMATNUMERIC('0.00',SUM(gmjg))"), song(10, true));
    sum.align = HAlign::Right;
    gf.add(sum);
    Item running = Item::expr(QStringLiteral("QRExprRunning"), rectPx(263, 4, 160, 17),
                              QStringLiteral("'累计：'+COUNT()"), song(10));
    running.scope = AggregateScope::Report;
    gf.add(running);
    gf.addChild(QStringLiteral("ChildBand1"), px(8));

    Band& summary = r.band(BandKind::Summary, QStringLiteral("SummaryBand1"), px(60));
    const FontDesc bold12 = song(10, true);
    summary.add(Item::label(QStringLiteral("QRLabel9"), rectPx(16, 8, 110, 17),
                            QStringLiteral("共有固定资产："), bold12));
    summary.add(Item::expr(QStringLiteral("QRExpr1"), rectPx(126, 8, 100, 17),
                           QStringLiteral("COUNT()+'件'"), bold12));
    summary.add(Item::label(QStringLiteral("QRLabel10"), rectPx(230, 8, 100, 17),
                            QStringLiteral("总购买价格："), bold12));
    summary.add(Item::expr(QStringLiteral("QRExpr2"), rectPx(330, 8, 150, 17),
                           QStringLiteral("FORMATNUMERIC('0.00',SUM(gmjg))+'元(RMB)'"), bold12));
    summary.add(Item::expr(QStringLiteral("QRExpr4"), rectPx(16, 34, 400, 17),
                           QStringLiteral("'总计折旧：'+FORMATNUMERIC('0.00',SUM(IF((ynum>yue) Or "
                                          "ybf,gmjg*(100-cz)/100,gmjg*ynum*(100-cz)/yue/"
                                          "100)))+'元(RMB)'"),
                           bold12));

    Band& footer = r.band(BandKind::PageFooter, QStringLiteral("PageFooterBand1"), px(30));
    footer.frame.sides = Frame::Top;
    footer.frame.color = QColor(128, 128, 128);
    footer.frame.width = px(2);
    footer.add(Item::systemItem(QStringLiteral("QRSysData2"), rectPx(16, 8, 200, 17),
                                SystemValue::Date, QStringLiteral("打印日期："), song(9)));
    Item page = Item::systemItem(QStringLiteral("QRSysData3"), rectPx(300, 8, 180, 17),
                                 SystemValue::PageOfCount, QStringLiteral("页号："), song(9));
    page.align = HAlign::Right;
    footer.add(page);
    return r;
}

Report labelSheet(int columns) {
    Report r;
    r.title = QStringLiteral("固定资产标签");
    r.page.paper = Paper::A4;
    r.page.margins = {10, 20, 20, 5};
    r.page.columns = columns;
    r.page.columnSpacing = 0;
    Band& card = r.band(BandKind::Detail, QStringLiteral("DetailBand1"), 54);
    card.width = 85;
    card.frame.sides = Frame::All;
    FontDesc f;
    f.pointSize = 10;
    card.add(Item::label(QStringLiteral("QRLabel1"), rectPx(16, 16, 40, 17),
                         QStringLiteral("编号："), f));
    card.add(Item::dataField(QStringLiteral("QRDBText1"), rectPx(56, 16, 100, 17),
                             QStringLiteral("bh"), f));
    card.add(Item::label(QStringLiteral("QRLabel2"), rectPx(168, 16, 40, 17),
                         QStringLiteral("名称："), f));
    card.add(Item::dataField(QStringLiteral("QRDBText2"), rectPx(208, 16, 100, 17),
                             QStringLiteral("sbmc"), f));
    Item model = Item::dataField(QStringLiteral("QRDBText3"), rectPx(56, 53, 260, 34),
                                 QStringLiteral("sbxh"), f);
    model.wordWrap = true;
    card.add(model);
    return r;
}

Document versionOneDocument() {
    Document doc;
    doc.title = QStringLiteral("版本一");
    Page page;
    page.size = QSizeF(100, 60);
    page.bands.push_back(
        {QStringLiteral("DetailBand1"), BandKind::Detail, QRectF(5, 5, 90, 20), 0});
    Primitive text;
    text.kind = Primitive::Kind::Text;
    text.band = QStringLiteral("DetailBand1");
    text.item = QStringLiteral("QRLabel1");
    text.rect = QRectF(5, 5, 40, 6);
    text.text = QStringLiteral("资产标签");
    text.font = FontDesc{QStringLiteral("宋体"), 10, true};
    text.align = HAlign::Center;
    page.primitives.push_back(text);
    Primitive line;
    line.kind = Primitive::Kind::Line;
    line.band = QStringLiteral("DetailBand1");
    line.line = QLineF(5, 25, 95, 25);
    line.penWidth = 0.5;
    line.color = QColor(128, 128, 128);
    page.primitives.push_back(line);
    Primitive rect;
    rect.kind = Primitive::Kind::Rect;
    rect.band = QStringLiteral("DetailBand1");
    rect.item = QStringLiteral("QRShape1");
    rect.rect = QRectF(50, 10, 20, 8);
    rect.fill = QColor(192, 192, 192);
    page.primitives.push_back(rect);
    Primitive ellipse = rect;
    ellipse.kind = Primitive::Kind::Ellipse;
    ellipse.item = QStringLiteral("QRShape2");
    ellipse.penWidth = 0.2646;
    ellipse.fill = QColor();
    page.primitives.push_back(ellipse);
    Primitive image;
    image.kind = Primitive::Kind::Image;
    image.band = QStringLiteral("DetailBand1");
    image.item = QStringLiteral("QRImage1");
    image.rect = QRectF(75, 10, 4, 4);
    image.image = QImage(2, 2, QImage::Format_ARGB32);
    image.image.fill(QColor(200, 30, 30));
    image.image.setPixelColor(1, 1, QColor(10, 20, 30));
    page.primitives.push_back(image);
    doc.pages.push_back(page);
    return doc;
}

RunOptions fixedOptions() {
    RunOptions o;
    o.printedAt = QDateTime(QDate(2026, 12, 9), QTime(10, 30));
    return o;
}

::testing::AssertionResult matchesExpected(const QString& name, const QString& actual) {
    const QString path = QStringLiteral(FX_EXPECTED_DIR "/") + name + QStringLiteral(".txt");
    if (qEnvironmentVariableIntValue("FX_UPDATE_EXPECTED") == 1) {
        QDir().mkpath(QStringLiteral(FX_EXPECTED_DIR));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return ::testing::AssertionFailure() << "cannot write " << path.toStdString();
        out.write(actual.toUtf8());
        return ::testing::AssertionSuccess();
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return ::testing::AssertionFailure() << "no expected file " << path.toStdString();
    const QString expected = QString::fromUtf8(in.readAll());
    if (expected == actual) return ::testing::AssertionSuccess();
    const QStringList e = expected.split(QLatin1Char('\n'));
    const QStringList a = actual.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < qMax(e.size(), a.size()); ++i) {
        const QString el = i < e.size() ? e.at(i) : QStringLiteral("<end>");
        const QString al = i < a.size() ? a.at(i) : QStringLiteral("<end>");
        if (el != al)
            return ::testing::AssertionFailure()
                   << name.toStdString() << " differs at line " << (i + 1)
                   << "\n  expected: " << el.toStdString() << "\n  actual:   " << al.toStdString();
    }
    return ::testing::AssertionFailure() << name.toStdString() << " differs";
}

}  // namespace fx::report::test
