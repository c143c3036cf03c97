#include "stocktakeresultsdlg.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

#include "appstate.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "misplacedtransfer.h"
#include "modal.h"
#include "prompt.h"
#include "reportpreview.h"
#include "schema.h"
#include "stocktakereport.h"

namespace fx::stocktake {

namespace {

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

}  // namespace

StocktakeResultsDlg::StocktakeResultsDlg(AppState& app, int stocktakeId, QWidget* parent)
    : QDialog(parent), app_(app), stocktake_(byId(*app.current, stocktakeId)) {
    setObjectName(QStringLiteral("StocktakeResultsDlg"));
    setWindowTitle(QStringLiteral("盘点结果 - ") + stocktake_.name);
    resize(900, 600);
    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    ListTabs = new QTabWidget(this);
    ListTabs->setObjectName(QStringLiteral("ListTabs"));
    const char* names[] = {"FoundGrid", "MissingGrid", "MisplacedGrid", "SurplusGrid"};
    for (int i = 0; i < 4; ++i) {
        auto* g = new QTableWidget(this);
        g->setObjectName(QLatin1String(names[i]));
        g->setEditTriggers(QAbstractItemView::NoEditTriggers);
        g->setSelectionBehavior(QAbstractItemView::SelectRows);
        g->setSelectionMode(QAbstractItemView::ExtendedSelection);
        g->verticalHeader()->setVisible(false);
        Grids[std::size_t(i)] = g;
        ListTabs->addTab(g, QString());
    }
    ExportButton = button(this, "ExportButton", QStringLiteral("导出Excel"));
    PrintButton = button(this, "PrintButton", QStringLiteral("打印盘点报告"));
    MoveButton = button(this, "MoveButton", QStringLiteral("调拨到盘点位置"));
    FollowUpEdit = new QLineEdit(this);
    FollowUpEdit->setObjectName(QStringLiteral("FollowUpEdit"));
    FollowUpEdit->setPlaceholderText(QStringLiteral("盘亏资产的跟进备注"));
    FollowUpEdit->setMaxLength(100);
    FollowUpButton = button(this, "FollowUpButton", QStringLiteral("记下跟进备注"));
    CardButton = button(this, "CardButton", QStringLiteral("在卡片上显示（报废）"));
    CloseButton = button(this, "CloseButton", QStringLiteral("关闭"));

    auto* commands = new QHBoxLayout;
    for (QPushButton* b : {ExportButton, PrintButton, MoveButton}) commands->addWidget(b);
    commands->addWidget(FollowUpEdit);
    commands->addWidget(FollowUpButton);
    commands->addWidget(CardButton);
    commands->addStretch();
    commands->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SummaryLabel);
    layout->addWidget(ListTabs);
    layout->addLayout(commands);

    connect(ExportButton, &QPushButton::clicked, this, [this] { ExportButtonClick(); });
    connect(PrintButton, &QPushButton::clicked, this, [this] { PrintButtonClick(); });
    connect(MoveButton, &QPushButton::clicked, this, [this] { MoveButtonClick(); });
    connect(FollowUpButton, &QPushButton::clicked, this, [this] { FollowUpButtonClick(); });
    connect(CardButton, &QPushButton::clicked, this, [this] { CardButtonClick(); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    // The commands that work on one list are offered on that list only.
    connect(ListTabs, &QTabWidget::currentChanged, this, [this](int i) {
        MoveButton->setVisible(i == Misplaced);
        for (QWidget* w : std::initializer_list<QWidget*>{FollowUpEdit, FollowUpButton, CardButton})
            w->setVisible(i == Missing);
    });
    MoveButton->setEnabled(app_.rights.db);
    reload();
    ListTabs->setCurrentIndex(Missing);
}

void StocktakeResultsDlg::fill(List list, const ListTable& table) {
    QTableWidget* g = Grids[std::size_t(list)];
    g->setSortingEnabled(false);
    g->clearContents();
    g->setColumnCount(int(table.columns.size()));
    g->setHorizontalHeaderLabels(table.columns);
    g->setRowCount(int(table.rows.size()));
    for (int r = 0; r < int(table.rows.size()); ++r) {
        const QStringList& cells = table.rows[std::size_t(r)];
        for (int c = 0; c < int(cells.size()); ++c) {
            auto* item = new QTableWidgetItem(cells.at(c));
            if (c == 0) item->setData(Qt::UserRole, r);  // the line, whatever the sort
            g->setItem(r, c, item);
        }
    }
    g->setSortingEnabled(true);
    g->resizeColumnsToContents();
    ListTabs->setTabText(int(list),
                         QStringLiteral("%1（%2）").arg(table.title).arg(table.rows.size()));
}

void StocktakeResultsDlg::reload() {
    try {
        stocktake_ = byId(*app_.current, stocktake_.id);
        results_ = stocktake::results(*app_.current, stocktake_.id, Clock::today());
        summary_ = summaryLines(stocktake_, counts(*app_.current, stocktake_.id), results_);
    } catch (const db::DbError& e) {
        ui::stop(this, e.message());
        return;
    }
    tables_ = listTables(results_);
    SummaryLabel->setText(summary_.join(QStringLiteral("    ")));
    for (int i = 0; i < 4; ++i) fill(List(i), tables_[std::size_t(i)]);
}

std::vector<const AssetLine*> StocktakeResultsDlg::selectedAssets(List list) const {
    const std::vector<AssetLine>& lines = list == Missing     ? results_.missing
                                          : list == Misplaced ? results_.misplaced
                                                              : results_.found;
    std::set<int> indexes;
    QTableWidget* g = Grids[std::size_t(list)];
    for (const QModelIndex& i : g->selectionModel()->selectedRows(0))
        indexes.insert(g->item(i.row(), 0)->data(Qt::UserRole).toInt());
    std::vector<const AssetLine*> out;
    for (int i : indexes)
        if (i >= 0 && i < int(lines.size())) out.push_back(&lines[std::size_t(i)]);
    return out;
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
    try {
        writeResultsXlsx(path, summary_, tables_);
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
    QStringList heading = summary_;
    heading << QStringLiteral("打印日期：") + Clock::today().toString(QStringLiteral("yyyy-MM-dd"));
    report::previewReport(stocktakeReport(organisation, heading), stocktakeReportRows(tables_),
                          report::RunOptions{Clock::now()}, this);
}

void StocktakeResultsDlg::MoveButtonClick() {
    const auto selected = selectedAssets(Misplaced);
    if (selected.empty()) {
        ui::warn(this, QStringLiteral("请在“位置不符”列表中选择要调拨的资产。"));
        return;
    }
    if (!ui::confirm(
            this,
            QStringLiteral("将选中的%1件资产调拨到盘点时发现它们的位置？").arg(selected.size())))
        return;
    const bool slip =
        ui::prompt(this, {QStringLiteral("提示"), QStringLiteral("是否预览并打印调拨单？"),
                          ui::Icon::Question, QMessageBox::Yes | QMessageBox::No,
                          QMessageBox::Yes}) == QMessageBox::Yes;
    std::vector<AssetLine> assets;
    for (const AssetLine* a : selected) assets.push_back(*a);
    const MoveOutcome o = moveToFoundPlaces(app_, assets, slip, this);
    QString text = QStringLiteral("已调拨%1件资产。").arg(o.moved);
    if (o.heldByPeople > 0)
        text += QStringLiteral("\n%1件按使用者存放的资产未调拨，请在卡片上调拨给新的使用者。")
                    .arg(o.heldByPeople);
    if (!o.error.isEmpty()) {
        ui::stop(this, o.error + QStringLiteral("\n调拨已停止。") + text);
    } else {
        ui::inform(this, text);
    }
}

void StocktakeResultsDlg::FollowUpButtonClick() {
    const auto selected = selectedAssets(Missing);
    if (selected.empty()) {
        ui::warn(this, QStringLiteral("请在“盘亏”列表中选择资产。"));
        return;
    }
    std::vector<int> serials;
    for (const AssetLine* a : selected) serials.push_back(a->serial);
    try {
        setFollowUp(*app_.current, stocktake_.id, serials, FollowUpEdit->text());
    } catch (const db::DbError& e) {
        ui::stop(this, e.message());
        return;
    }
    FollowUpEdit->clear();
    reload();
}

void StocktakeResultsDlg::CardButtonClick() {
    const auto selected = selectedAssets(Missing);
    if (selected.empty() || selected.front()->deleted) {
        ui::warn(this, QStringLiteral("请在“盘亏”列表中选择一件仍在账上的资产。"));
        return;
    }
    picked_ = selected.front()->serial;
    accept();
}

}  // namespace fx::stocktake
