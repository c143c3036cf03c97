// The query path from the main window to the card and back, with real windows: a query built in
// the comprehensive dialog, the results sorted by a click on a title, exported to .xlsx and read
// back, and an asset picked onto the card. Runs headless; under Xvfb (QT_QPA_PLATFORM=xcb) with
// FX_SCREENSHOT_DIR set it also saves a picture of every step there.
#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
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
    form.runCommand(form.N8);  // "查寻"
    ASSERT_NE(picked, 0);
    EXPECT_EQ(form.shownSerial(), picked);
    EXPECT_EQ(form.SpinEdit1->value(), picked);
    EXPECT_TRUE(form.GroupBox1->title().startsWith(QStringLiteral("固定资产第%1号").arg(picked)));
    shot(form, "6-picked-asset-on-the-card");
    EXPECT_EQ(form.queryState().orderText, QStringLiteral(" order by gmjg desc"));
    EXPECT_EQ(form.queryState().rememberedRow, 3);
}

TEST_F(EndToEndTest, QueryKeysOfTheMainWindow) {
    addStandardAssets();
    app->current->execute(QStringLiteral("update username set user='测试单位', password=1"));
    auto formState = install.bare();
    formState->userName = app->userName;
    formState->rights = app->rights;
    TMainForm form(*formState);
    ASSERT_TRUE(form.startUp());
    showAndWait(form);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    for (QAction* a : {form.N8, form.N9, form.N10})
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    for (QToolButton* b : {form.ToolButton1, form.ToolButton2, form.ToolButton3}) {
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    }

    int fifth = 0;
    ModalScript modals;
    modals.then<query::TcxjgDlg1>([&](query::TcxjgDlg1& w) {  // F5: every asset
        EXPECT_EQ(w.model().rowCount(), 12);
        w.selectRows({4});
        fifth = int(w.table().integer(4, w.table().fieldIndex(QStringLiteral("ID1"))));
        w.DBGrid1DblClick();
        return w.result();
    });
    modals.then<query::TcxjgDlg1>([&](query::TcxjgDlg1& w) {  // F3: the same list again
        EXPECT_EQ(w.windowTitle(), QStringLiteral("重新查询"));
        w.FormShow();
        EXPECT_EQ(w.currentRow(), 4);
        w.BitBtn1Click();
        return w.result();
    });
    modals.then<query::TzhcxDlg>([&](query::TzhcxDlg& d) {  // F2, cancelled: no list
        d.reject();
        return d.result();
    });
    QTest::keyClick(&form, Qt::Key_F5);
    EXPECT_EQ(form.shownSerial(), fifth);
    EXPECT_EQ(form.SpinEdit1->value(), fifth);
    form.showSerialQuietly(1);
    QTest::keyClick(&form, Qt::Key_F3);
    EXPECT_EQ(form.shownSerial(), fifth);  // the asset picked last shows again
    form.showSerialQuietly(1);
    QTest::keyClick(&form, Qt::Key_F2);
    EXPECT_EQ(form.shownSerial(), 1);
    EXPECT_TRUE(modals.done());

    // While a card is edited the query menu and its keys are closed.
    form.applyEditState();
    EXPECT_FALSE(form.QueryMenu->isEnabled());
    for (QToolButton* b : {form.ToolButton1, form.ToolButton2, form.ToolButton3}) {
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    }
    QTest::keyClick(&form, Qt::Key_F5);  // no window: a dialog would fail the script
    form.applyBrowseState();
}

}  // namespace
}  // namespace fx::test
