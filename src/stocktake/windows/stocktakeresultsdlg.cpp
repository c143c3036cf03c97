#include "stocktakeresultsdlg.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "appstate.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "modal.h"
#include "prompt.h"
#include "reportpreview.h"
#include "schema.h"
#include "stocktakelists.h"
#include "stocktakereport.h"

namespace fx::stocktake {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

StocktakeResultsDlg::StocktakeResultsDlg(AppState& app, query::QueryState& state, int stocktakeId,
                                         QWidget* parent)
    : QDialog(parent), app_(app), state_(state), stocktake_(byId(*app.current, stocktakeId)) {
    setObjectName(QStringLiteral("StocktakeResultsDlg"));
    setWindowTitle(QStringLiteral("盘点结果 - ") + stocktake_.name);
    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    SummaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const char* names[] = {"FoundButton", "MissingButton", "MisplacedButton", "SurplusButton"};
    auto* lists = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        ListButtons[std::size_t(i)] = button(this, names[i], QString());
        ListButtons[std::size_t(i)]->setMinimumHeight(36);
        lists->addWidget(ListButtons[std::size_t(i)], i / 2, i % 2);
        connect(ListButtons[std::size_t(i)], &QPushButton::clicked, this,
                [this, i] { showListWindow(ResultList(i)); });
    }
    ExportButton = button(this, "ExportButton", QStringLiteral("导出Excel"));
    PrintButton = button(this, "PrintButton", QStringLiteral("打印盘点报告"));
    CloseButton = button(this, "CloseButton", QStringLiteral("关闭"));
    connect(ExportButton, &QPushButton::clicked, this, [this] { ExportButtonClick(); });
    connect(PrintButton, &QPushButton::clicked, this, [this] { PrintButtonClick(); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* commands = new QHBoxLayout;
    commands->addWidget(ExportButton);
    commands->addWidget(PrintButton);
    commands->addStretch();
    commands->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SummaryLabel);
    layout->addWidget(new QLabel(QStringLiteral("单击一个清单，在查询结果窗口中查看、排序、导出"
                                                "和打印；调拨和跟进备注也在那里。"),
                                 this));
    layout->addLayout(lists);
    layout->addLayout(commands);
    reload();
}

void StocktakeResultsDlg::reload() {
    // The counts and the value of the missing assets only: the lists themselves are read by the
    // results window, the export and the report when asked for.
    try {
        stocktake_ = byId(*app_.current, stocktake_.id);
        counts_ = counts(*app_.current, stocktake_.id);
        const ValueTotals missing = missingTotals(*app_.current, stocktake_.id, Clock::today());
        summary_ = summaryLines(stocktake_, counts_, missing.original, missing.net);
    } catch (const db::DbError& e) {
        ui::stop(this, e.message());
        return;
    }
    SummaryLabel->setText(summary_.join(QLatin1Char('\n')));
    const int rows[] = {counts_.found - counts_.misplaced, counts_.expected - counts_.found,
                        counts_.misplaced, counts_.surplus};
    const char* titles[] = {"已盘点", "盘亏", "位置不符", "盘盈"};
    for (int i = 0; i < 4; ++i)
        ListButtons[std::size_t(i)]->setText(
            QStringLiteral("%1（%2）…").arg(QString::fromUtf8(titles[i])).arg(rows[i]));
}

std::optional<std::array<ListTable, 4>> StocktakeResultsDlg::readLists() {
    try {
        const Results r = stocktake::results(*app_.current, stocktake_.id, Clock::today());
        summary_ = summaryLines(stocktake_, counts(*app_.current, stocktake_.id), r);
        return listTables(r);
    } catch (const db::DbError& e) {
        ui::stop(this, e.message());
    }
    return std::nullopt;
}

void StocktakeResultsDlg::showListWindow(ResultList list) {
    // The results window takes its place and size from its parent: the main window's, as for
    // every list, not this small window's.
    QWidget* parent = parentWidget() ? parentWidget() : this;
    const int picked = showStocktakeList(parent, app_, state_, stocktake_, list);
    if (picked > 0) {
        picked_ = picked;
        accept();
        return;
    }
    // The list's commands, or another workstation, may have changed the results.
    reload();
}

void StocktakeResultsDlg::ExportButtonClick() {
    ui::FileRequest request;
    request.save = true;
    request.caption = QStringLiteral("导出盘点结果");
    request.directory = QDir::home().filePath(stocktake_.name + QStringLiteral(".xlsx"));
    request.filter = QStringLiteral("Excel 工作簿 (*.xlsx)");
    QString path = ui::chooseFile(this, request);
    if (path.isEmpty()) return;
    if (!path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        path += QStringLiteral(".xlsx");
    const auto tables = readLists();
    if (!tables) return;
    try {
        writeResultsXlsx(path, summary_, *tables);
    } catch (const db::DbError& e) {
        ui::stop(this, e.message());
        return;
    }
    ui::inform(this, QStringLiteral("盘点结果已导出到“%1”。").arg(QDir::toNativeSeparators(path)));
    ui::openDocument(path);
}

void StocktakeResultsDlg::PrintButtonClick() {
    QString organisation;
    try {
        organisation = schema::organisationName(*app_.current);
    } catch (const db::DbError& e) {
        ui::stop(this, e.message());
        return;
    }
    const auto tables = readLists();
    if (!tables) return;
    QStringList heading = summary_;
    heading << QStringLiteral("打印日期：") + Clock::today().toString(QStringLiteral("yyyy-MM-dd"));
    report::previewReport(stocktakeReport(organisation, heading), stocktakeReportRows(*tables),
                          report::RunOptions{Clock::now()}, this);
}

}  // namespace fx::stocktake
