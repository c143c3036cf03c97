#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMap>
#include <QTableView>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "appstate.h"
#include "depreciation.h"
#include "modal.h"
#include "queryfixture.h"
#include "scripts.h"
#include "tcxjgdlg1.h"
#include "xlsxexport.h"
#include "zipentry.h"

namespace fx::test {
namespace {

using query::ResultKind;
using query::TcxjgDlg1;

// What the first sheet of a workbook holds: cell texts by reference ("B2") and the columns
// given a width (1-based).
struct Sheet {
    QMap<QString, QString> cells;
    QMap<int, double> widths;
    int rows = 0;
};

Sheet readSheet(const QString& path, int number = 1) {
    Sheet sheet;
    QByteArray xml;
    QString error;
    EXPECT_TRUE(
        readZipEntry(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(number), &xml, &error))
        << error.toStdString();
    QXmlStreamReader r(xml);
    QString ref;
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement()) continue;
        const auto name = r.name();
        if (name == QLatin1String("row")) {
            ++sheet.rows;
        } else if (name == QLatin1String("c")) {
            ref = r.attributes().value(QLatin1String("r")).toString();
        } else if (name == QLatin1String("t")) {
            sheet.cells.insert(ref, r.readElementText());
        } else if (name == QLatin1String("col")) {
            const int min = r.attributes().value(QLatin1String("min")).toInt();
            const int max = r.attributes().value(QLatin1String("max")).toInt();
            for (int c = min; c <= max; ++c) {
                sheet.widths.insert(c, r.attributes().value(QLatin1String("width")).toDouble());
            }
        }
    }
    EXPECT_FALSE(r.hasError()) << r.errorString().toStdString();
    return sheet;
}

QString cellName(int row, int column) {
    return QString(QChar(u'A' + column)) + QString::number(row);
}

class ExportTest : public QueryTest {
protected:
    void SetUp() override {
        QueryTest::SetUp();
        ui::setFileHandler([this](const ui::FileRequest& r) {
            requests << r;
            return chosen;
        });
        ui::setOpenHandler([this](const QString& path) {
            opened << path;
            return true;
        });
    }

    std::unique_ptr<TcxjgDlg1> openAll() {
        state.kind = ResultKind::AssetQuery;
        state.queryText = reports::kAssetQuery;
        state.orderText = QStringLiteral(" order by ID1 asc");
        return std::make_unique<TcxjgDlg1>(*app, state);
    }

    QTemporaryDir out;
    QString chosen;
    QList<ui::FileRequest> requests;
    QStringList opened;
};

TEST_F(ExportTest, TitlesThenRowsInDisplayOrderAsTheGridShowsThem) {
    addStandardAssets();
    auto w = openAll();
    QHeaderView* header = w->DBGrid1->horizontalHeader();
    w->DBGrid1TitleClick(10);                      // 购买价格 ascending
    header->moveSection(10, 1);                    // ... dragged next to the number
    header->hideSection(header->logicalIndex(4));  // 资产类别 hidden
    chosen = out.filePath(QStringLiteral("资产清单"));
    const QString written = chosen + QStringLiteral(".xlsx");
    PromptScript prompts;
    prompts.expect(QStringLiteral("系统信息"), QDir::toNativeSeparators(written));
    w->BitBtn3Click();

    ASSERT_EQ(requests.size(), 1);
    EXPECT_TRUE(requests[0].save);
    EXPECT_TRUE(requests[0].directory.endsWith(QStringLiteral("查询结果20240615.xlsx")));
    EXPECT_EQ(opened, QStringList{written});
    ASSERT_TRUE(QFile::exists(written));

    const Sheet sheet = readSheet(written);
    EXPECT_EQ(sheet.rows, 13);
    const QStringList visible = [&] {
        QStringList titles;
        for (const auto& c : w->columnList()) {
            if (c.visible) titles << c.title;
        }
        return titles;
    }();
    ASSERT_EQ(visible.size(), 15);
    for (int c = 0; c < visible.size(); ++c) {
        EXPECT_EQ(sheet.cells.value(cellName(1, c)), visible[c]) << c;
    }
    EXPECT_EQ(sheet.cells.value(QStringLiteral("A1")), QStringLiteral("序号"));
    EXPECT_EQ(sheet.cells.value(QStringLiteral("B1")), QStringLiteral("购买价格 ↑"));
    EXPECT_FALSE(visible.contains(QStringLiteral("资产类别")));
    // Row 2 is the cheapest asset, JSJ-4; values are the grid's texts.
    EXPECT_EQ(sheet.cells.value(QStringLiteral("B2")), QStringLiteral("100.00"));
    EXPECT_EQ(sheet.cells.value(QStringLiteral("C2")), QStringLiteral("JSJ-4"));
    EXPECT_EQ(sheet.cells.value(QStringLiteral("B13")), QStringLiteral("1200.00"));
    std::vector<int> shown;  // logical columns in display order
    for (int v = 0; v < header->count(); ++v) {
        if (!header->isSectionHidden(header->logicalIndex(v)))
            shown.push_back(header->logicalIndex(v));
    }
    for (int r = 0; r < 12; ++r) {
        for (int c = 0; c < int(shown.size()); ++c) {
            EXPECT_EQ(sheet.cells.value(cellName(r + 2, c)),
                      w->model().cellText(r, shown[std::size_t(c)]))
                << r << "," << c;
        }
    }
    // Column A keeps its width; the others are fitted, wide characters counting double.
    EXPECT_FALSE(sheet.widths.contains(1));
    EXPECT_TRUE(sheet.widths.contains(2));
    EXPECT_TRUE(sheet.widths.contains(visible.size()));
    EXPECT_GE(sheet.widths.value(3), query::fittedWidth(QStringLiteral("JSJ-10")));
    EXPECT_GE(sheet.widths.value(4), query::fittedWidth(QStringLiteral("笔记本电脑")));
    // The grid followed the walk to the last row.
    EXPECT_EQ(w->currentRow(), 11);
}

TEST_F(ExportTest, EmptyResultWritesOnlyTheTitles) {
    addStandardAssets();
    state.kind = ResultKind::AssetQuery;
    TcxjgDlg1 w(*app, state);
    chosen = out.filePath(QStringLiteral("empty.xlsx"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("系统信息"), QStringLiteral("empty.xlsx"));
    w.BitBtn3Click();
    const Sheet sheet = readSheet(chosen);
    EXPECT_EQ(sheet.rows, 1);
    EXPECT_EQ(sheet.cells.value(QStringLiteral("A1")), QStringLiteral("序号"));
    EXPECT_FALSE(sheet.cells.contains(QStringLiteral("A2")));
}

TEST_F(ExportTest, CancelledChoiceWritesNothing) {
    addStandardAssets();
    auto w = openAll();
    chosen.clear();
    w->BitBtn3Click();
    EXPECT_EQ(requests.size(), 1);
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(QDir(out.path()).isEmpty());
}

TEST_F(ExportTest, ANameWithoutExtensionAsksBeforeReplacingTheWorkbook) {
    addStandardAssets();
    auto w = openAll();
    const QString existing = out.filePath(QStringLiteral("清单.xlsx"));
    QFile old(existing);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the earlier workbook");
    old.close();
    chosen = out.filePath(QStringLiteral("清单"));
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("该文件已经存在，覆盖掉它吗？"),
                       QMessageBox::Cancel);
        w->BitBtn3Click();
    }
    QFile kept(existing);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("the earlier workbook"));
    kept.close();
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("该文件已经存在，覆盖掉它吗？"))
            .expect(QStringLiteral("系统信息"), QStringLiteral("清单.xlsx"));
        w->BitBtn3Click();
    }
    EXPECT_GT(readSheet(existing).rows, 1);
}

TEST_F(ExportTest, UnwritablePlaceIsReported) {
    addStandardAssets();
    auto w = openAll();
    chosen = out.filePath(QStringLiteral("no/such/folder/list.xlsx"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("系统信息"),
                   QStringLiteral("不能保存为 Microsoft Excel 工作表文件！"));
    w->BitBtn3Click();
    EXPECT_TRUE(opened.isEmpty());
    // The reason is told in the program's words, naming what to check.
    ASSERT_EQ(prompts.seen().size(), 1);
    EXPECT_TRUE(prompts.seen().front().contains(QStringLiteral("无法建立该文件")))
        << prompts.seen().front().toStdString();
}

TEST(SheetWriter, WritesAnySourceAndMeasuresWideCharacters) {
    EXPECT_EQ(query::fittedWidth(QStringLiteral("ab")), 2.0);
    EXPECT_EQ(query::fittedWidth(QStringLiteral("电脑")), 4.0);
    EXPECT_EQ(query::fittedWidth(QStringLiteral("A4纸")), 4.0);
    QTemporaryDir dir;
    query::SheetSource source;
    source.titles = {QStringLiteral("名称"), QStringLiteral("备注")};
    source.rowCount = 2;
    source.cell = [](int row, int column) {
        if (column == 0) return row == 0 ? QStringLiteral("打印机") : QStringLiteral("<&\">");
        return row == 0 ? QString(40000, QLatin1Char('x')) : QString();
    };
    QString error;
    const QString path = dir.filePath(QStringLiteral("s.xlsx"));
    ASSERT_TRUE(query::writeWorkbook(path, source, &error)) << error.toStdString();
    const Sheet sheet = readSheet(path);
    EXPECT_EQ(sheet.cells.value(QStringLiteral("A3")), QStringLiteral("<&\">"));
    EXPECT_EQ(sheet.cells.value(QStringLiteral("B2")).size(), 32767);  // cut to a cell's limit
    EXPECT_FALSE(sheet.cells.contains(QStringLiteral("B3")));
    // The widest a column can be (Excel adds its own padding to the stored width).
    EXPECT_GE(sheet.widths.value(2), 255.0);
    EXPECT_LT(sheet.widths.value(2), 256.0);
}

// A source of `rows` records in two columns: "r<row>" and "c<row>".
query::SheetSource numberedRows(int rows, int columns = 2) {
    query::SheetSource source;
    for (int c = 0; c < columns; ++c) source.titles << QStringLiteral("标题%1").arg(c + 1);
    source.rowCount = rows;
    source.cell = [](int row, int column) {
        return QStringLiteral("%1%2")
            .arg(column == 0 ? QLatin1Char('r') : QLatin1Char('c'))
            .arg(row + 1);
    };
    return source;
}

TEST(SheetWriter, RowsBeyondASheetGoOnToFurtherSheetsEachWithTheTitles) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.xlsx"));
    QString error;
    ASSERT_TRUE(query::writeWorkbook(path, numberedRows(7), &error, 3)) << error.toStdString();
    const Sheet first = readSheet(path, 1);
    const Sheet second = readSheet(path, 2);
    const Sheet third = readSheet(path, 3);
    EXPECT_EQ(first.rows, 4);
    EXPECT_EQ(second.rows, 4);
    EXPECT_EQ(third.rows, 2);
    for (const Sheet* s : {&first, &second, &third}) {
        EXPECT_EQ(s->cells.value(QStringLiteral("A1")), QStringLiteral("标题1"));
        EXPECT_EQ(s->cells.value(QStringLiteral("B1")), QStringLiteral("标题2"));
    }
    EXPECT_EQ(first.cells.value(QStringLiteral("A2")), QStringLiteral("r1"));
    EXPECT_EQ(first.cells.value(QStringLiteral("B4")), QStringLiteral("c3"));
    EXPECT_EQ(second.cells.value(QStringLiteral("A2")), QStringLiteral("r4"));
    EXPECT_EQ(third.cells.value(QStringLiteral("A2")), QStringLiteral("r7"));
    EXPECT_FALSE(third.cells.contains(QStringLiteral("A3")));
    // Exactly a sheet's worth stays on one sheet.
    const QString full = dir.filePath(QStringLiteral("full.xlsx"));
    ASSERT_TRUE(query::writeWorkbook(full, numberedRows(3), &error, 3));
    QByteArray xml;
    EXPECT_FALSE(readZipEntry(full, QStringLiteral("xl/worksheets/sheet2.xml"), &xml, &error));
    // Nothing but the two workbooks is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(SheetWriter, AFailedExportLeavesTheEarlierFileOrNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.xlsx"));
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("the earlier export");
    earlier.close();
    // More columns than a worksheet has: the library refuses a cell part-way through.
    const query::SheetSource tooWide = numberedRows(2, 16385);
    QString error;
    EXPECT_FALSE(query::writeWorkbook(path, tooWide, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("the earlier export"));
    kept.close();
    const QString fresh = dir.filePath(QStringLiteral("new.xlsx"));
    EXPECT_FALSE(query::writeWorkbook(fresh, tooWide, &error));
    EXPECT_FALSE(QFileInfo::exists(fresh));
    // No half-written temporary file is left behind either.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("list.xlsx")});
}

}  // namespace
}  // namespace fx::test
