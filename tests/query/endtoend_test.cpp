// The query path from the main window to the card and back, with real windows: a query built in
// the comprehensive dialog, the results sorted by a click on a title, exported to .xlsx and read
// back, and an asset picked onto the card. Runs headless; under Xvfb (QT_QPA_PLATFORM=xcb) with
// FX_SCREENSHOT_DIR set it also saves a picture of every step there.
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "appstate.h"
#include "connection.h"
#include "mainform.h"
#include "modal.h"
#include "querycommands.h"
#include "queryfixture.h"
#include "scripts.h"
#include "tcxjgdlg1.h"
#include "tzhcxdlg.h"
#include "zipentry.h"

namespace fx::test {
namespace {

constexpr int kPriceColumn = 10;

// Saves a picture of a window when FX_SCREENSHOT_DIR names a folder.
void shot(QWidget& w, const char* name) {
    QApplication::processEvents();
    const QString dir = qEnvironmentVariable("FX_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    EXPECT_TRUE(
        w.grab().save(QDir(dir).filePath(QString::fromLatin1(name) + QStringLiteral(".png"))));
}

void showAndWait(QWidget& w) {
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
}

QPoint titleCentre(QHeaderView* header, int visual) {
    const int logical = header->logicalIndex(visual);
    return {header->sectionViewportPosition(logical) + header->sectionSize(logical) / 2,
            header->height() / 2};
}

class EndToEndTest : public QueryTest {};

TEST_F(EndToEndTest, QuerySortExportAndPickOntoTheCard) {
    addDemoRegister(300);
    app->current->execute(QStringLiteral("update username set user='测试单位', password=1"));
    auto formState = install.bare();
    formState->userName = app->userName;
    formState->rights = app->rights;
    TMainForm form(*formState);
    ASSERT_TRUE(form.startUp());
    showAndWait(form);
    shot(form, "1-main-window");

    QTemporaryDir out;
    const QString workbook = out.filePath(QStringLiteral("计算机设备.xlsx"));
    ui::setFileHandler([&](const ui::FileRequest&) { return workbook; });
    QStringList opened;
    ui::setOpenHandler([&](const QString& path) {
        opened << path;
        return true;
    });

    int computers = 0;
    for (const admin::DemoAsset& a : demo.assets) {
        computers += a.zclb == QStringLiteral("计算机设备") && !a.ybf ? 1 : 0;
    }
    int picked = 0;
    ModalScript modals;
    modals.then<query::TzhcxDlg>([&](query::TzhcxDlg& d) {
        showAndWait(d);
        d.ComboBox1->setFocus();
        d.ComboBox1->setText(QStringLiteral("计算机设备"));
        d.ComboBox1Exit();
        d.Edit1->setText(QStringLiteral("固态"));
        shot(d, "2-comprehensive-query");
        d.Edit1->clear();
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
        d.hide();
        return d.result();
    });
    modals.then<query::TcxjgDlg1>([&](query::TcxjgDlg1& w) {
        showAndWait(w);
        EXPECT_EQ(w.model().rowCount(), computers);
        EXPECT_EQ(w.Label1->text(), QStringLiteral("共%1条").arg(computers));
        shot(w, "3-results");
        QHeaderView* header = w.DBGrid1->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          titleCentre(header, kPriceColumn));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          titleCentre(header, kPriceColumn));
        EXPECT_EQ(w.titleAt(kPriceColumn), QStringLiteral("购买价格 ↓"));
        shot(w, "4-sorted-by-price-descending");

        PromptScript prompts;
        prompts.expect(QStringLiteral("系统信息"), QDir::toNativeSeparators(workbook));
        QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
        EXPECT_EQ(opened, QStringList{workbook});
        QByteArray xml;
        QString error;
        EXPECT_TRUE(
            readZipEntry(workbook, QStringLiteral("xl/worksheets/sheet1.xml"), &xml, &error))
            << error.toStdString();
        QXmlStreamReader r(xml);
        int rows = 0;
        QStringList firstCells;
        while (!r.atEnd()) {
            r.readNext();
            if (r.isStartElement() && r.name() == QLatin1String("row")) ++rows;
            if (r.isStartElement() && r.name() == QLatin1String("t") && firstCells.size() < 40) {
                firstCells << r.readElementText();
            }
        }
        EXPECT_EQ(rows, computers + 1);
        EXPECT_TRUE(firstCells.contains(QStringLiteral("购买价格 ↓")));
        EXPECT_EQ(firstCells.first(), QStringLiteral("序号"));

        // Pick the third row with the mouse; the figures follow the click first.
        const QModelIndex third = w.model().index(2, 0);
        const QPoint at = w.DBGrid1->visualRect(third).center();
        QTest::mouseClick(w.DBGrid1->viewport(), Qt::LeftButton, {}, at);
        EXPECT_TRUE(w.Label2->text().startsWith(QStringLiteral("序号：")));
        shot(w, "5-row-chosen");
        picked = int(w.table().integer(2, w.table().fieldIndex(QStringLiteral("ID1"))));
        QTest::mouseDClick(w.DBGrid1->viewport(), Qt::LeftButton, {}, at);
        w.hide();
        return w.result();
    });
    query::QueryState queryState;
    const int shown = query::runComprehensiveQuery(&form, *formState, queryState);
    EXPECT_EQ(shown, picked);
    ASSERT_NE(shown, 0);
    // What the main window does with a pick: the card shows the asset as a load of its own.
    form.showSerialQuietly(shown);
    EXPECT_EQ(form.shownSerial(), picked);
    EXPECT_TRUE(form.GroupBox1->title().startsWith(QStringLiteral("固定资产第%1号").arg(picked)));
    shot(form, "6-picked-asset-on-the-card");
    EXPECT_EQ(queryState.orderText, QStringLiteral(" order by gmjg desc"));
    EXPECT_EQ(queryState.rememberedRow, 3);
}

}  // namespace
}  // namespace fx::test
