#include "tcxjgdlg1.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <algorithm>

#include "appstate.h"
#include "builtinlayout.h"
#include "clicklabel.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "depreciation.h"
#include "modal.h"
#include "prompt.h"
#include "resultheader.h"
#include "resulthooks.h"
#include "resultkind.h"
#include "xlsxexport.h"

namespace fx::query {

namespace {

const QString kArrowUp = QStringLiteral(" ↑");
const QString kArrowDown = QStringLiteral(" ↓");

// The window's size when it has no main window to take it from.
constexpr int kDefaultWidth = 760;
constexpr int kDefaultHeight = 560;

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void setLabelColour(QLabel* label, const QColor& colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

// Row intervals [top, bottom] of a selection, sorted and merged.
std::vector<std::pair<int, int>> selectedIntervals(const QItemSelection& selection) {
    std::vector<std::pair<int, int>> spans;
    spans.reserve(std::size_t(selection.size()));
    for (const QItemSelectionRange& r : selection) spans.emplace_back(r.top(), r.bottom());
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto& s : spans) {
        if (!merged.empty() && s.first <= merged.back().second + 1) {
            merged.back().second = std::max(merged.back().second, s.second);
        } else {
            merged.push_back(s);
        }
    }
    return merged;
}

}  // namespace

QString TcxjgDlg1::selectionHint() {
    return QStringLiteral("先选择多条再批量调拨（Ctrl+左键单击、Shift+长按↑↓键、快捷菜单）");
}

TcxjgDlg1::TcxjgDlg1(AppState& app, QueryState& state, QWidget* parent)
    : QDialog(parent), app_(app), state_(state) {
    setObjectName(QStringLiteral("TcxjgDlg1"));
    setWindowTitle(QStringLiteral("查询结果"));
    buildControls();
    open();
}

TcxjgDlg1::~TcxjgDlg1() = default;

void TcxjgDlg1::buildControls() {
    model_ = new ResultModel(this);
    model_->setColumns(builtInColumns());

    DBGrid1 = named(new QTableView(this), "DBGrid1");
    header_ = new ResultHeader(DBGrid1);
    DBGrid1->setHorizontalHeader(header_);
    DBGrid1->setModel(model_);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DBGrid1->setSortingEnabled(false);
    DBGrid1->setWordWrap(false);
    DBGrid1->verticalHeader()->setDefaultSectionSize(20);
    DBGrid1->verticalHeader()->setFixedWidth(12);
    DBGrid1->installEventFilter(this);

    auto button = [this](const char* name, const QString& caption) {
        auto* b = named(new QPushButton(caption, this), name);
        b->setAutoDefault(false);
        return b;
    };
    BitBtn1 = button("BitBtn1", QStringLiteral("退出"));
    BitBtn2 = button("BitBtn2", QStringLiteral("打印…"));
    BitBtn3 = button("BitBtn3", QStringLiteral("导出"));
    BitBtn4 = button("BitBtn4", QStringLiteral("批量调拨"));
    BitBtn4->setVisible(false);
    BitBtn4->setEnabled(false);
    BitBtn5 = button("BitBtn5", QString());
    BitBtn5->setVisible(false);
    // Printing lives with the reports; without their handler there is nothing to open.
    BitBtn2->setEnabled(bool(printHandler()));

    Label2 = named(new QLabel(this), "Label2");
    Label3 = named(new QLabel(this), "Label3");
    Label5 = named(new QLabel(this), "Label5");
    Label6 = named(new QLabel(this), "Label6");

    Label8 = named(new QLabel(selectionHint(), this), "Label8");
    Label8->setWordWrap(true);
    Label8->setVisible(false);
    setLabelColour(Label8, Qt::gray);

    Label4 = named(new ui::ClickLabel(QStringLiteral("恢复默认排列"), this), "Label4");
    QFont link = Label4->font();
    link.setUnderline(true);
    Label4->setFont(link);
    setLabelColour(Label4, Qt::blue);

    Label1 = named(new QLabel(QStringLiteral("共几条"), this), "Label1");
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);

    Label7 = named(
        new QLabel(QStringLiteral("提示：先双击某一条记录再对它单独操作；单击或拖动列表头排序。"
                                  "可用↑、↓、Enter键。"),
                   this),
        "Label7");
    Label7->setWordWrap(true);

    PopupMenu1 = named(new QMenu(this), "PopupMenu1");
    N1 = PopupMenu1->addAction(QStringLiteral("选择全部"));
    N1->setObjectName(QStringLiteral("N1"));
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N2"));
    N3 = PopupMenu1->addAction(QStringLiteral("选择全部按位置存放的资产"));
    N3->setObjectName(QStringLiteral("N3"));
    N4 = PopupMenu1->addAction(QStringLiteral("选择全部按使用者存放的资产"));
    N4->setObjectName(QStringLiteral("N4"));

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { BitBtn5Click(); });
    connect(Label4, &ui::ClickLabel::clicked, this, [this] { Label4Click(); });
    connect(N1, &QAction::triggered, this, [this] { N1Click(); });
    connect(N3, &QAction::triggered, this, [this] { N3Click(); });
    connect(N4, &QAction::triggered, this, [this] { N4Click(); });
    connect(DBGrid1, &QTableView::doubleClicked, this, [this] { DBGrid1DblClick(); });
    connect(DBGrid1, &QTableView::clicked, this, [this] { DBGrid1CellClick(); });
    connect(header_, &QHeaderView::sectionClicked, this,
            [this](int logical) { DBGrid1TitleClick(header_->visualIndex(logical)); });
    connect(header_, &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) { DBGrid1ColumnMoved(from, to); });
    // The click that ends a drag has been handled (or was never reported) once the button is up.
    connect(header_, &ResultHeader::released, this,
            [this] { state_.sort.ignoreNextTitleClick = false; });
    connect(DBGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (popupAttached_) PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at));
    });
}

void TcxjgDlg1::layoutControls() {
    const int w = width();
    const int h = height();
    DBGrid1->setGeometry(0, 16, std::max(0, w - 122), std::max(0, h - 45));
    BitBtn1->setGeometry(w - 99, 16, 82, 28);
    BitBtn2->setGeometry(w - 99, 52, 82, 28);
    BitBtn3->setGeometry(w - 99, 88, 82, 28);
    Label2->setGeometry(w - 112, 132, 110, 18);
    Label3->setGeometry(w - 112, 152, 110, 18);
    Label5->setGeometry(w - 112, 172, 110, 18);
    Label6->setGeometry(w - 112, 192, 110, 18);
    BitBtn4->setGeometry(w - 106, 220, 92, 28);
    BitBtn5->setGeometry(w - 112, 220, 104, 28);  // in BitBtn4's place, which only kind 0 has
    Label8->setGeometry(w - 115, 254, 112, 90);
    Label4->setGeometry(w - 103, 352, 100, 18);
    Label1->setGeometry(w - 94, 378, 92, 18);
    Label7->setGeometry(w - 115, 404, 112, 120);
}

db::Connection* TcxjgDlg1::requireConnection() const {
    if (traitsOf(state_.kind).historyDatabase) {
        // The program runs on when the history database could not be opened at start-up.
        if (!app_.history) throw db::DbError(QStringLiteral("历史数据库没有打开。"));
        return app_.history.get();
    }
    if (!app_.current) throw db::DbError(QStringLiteral("数据库没有打开。"));
    return app_.current.get();
}

void TcxjgDlg1::open() {
    // 1. The main window's place and size.
    if (QWidget* main = parentWidget() ? parentWidget()->window() : nullptr) {
        setGeometry(main->geometry());
    } else {
        resize(kDefaultWidth, kDefaultHeight);
    }
    layoutControls();

    // 3. An asset query offers batch transfers to a user with the transfer right.
    if (state_.kind == ResultKind::AssetQuery && app_.rights.db) {
        BitBtn4->setVisible(bool(batchTransferHandler()));
        BitBtn4->setEnabled(false);
        Label8->setVisible(true);
        DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
        popupAttached_ = true;
    }
    if (state_.kind == ResultKind::TransferHistory || state_.kind == ResultKind::LendingHistory) {
        Label7->setVisible(false);
    }

    // 2 and 4. The statement, on the kind's connection.
    bool rowsShown = false;
    try {
        db::Connection* c = requireConnection();
        ResultTable rows;
        rows.load(*c, openingStatement(state_));
        model_->setTable(std::move(rows));
        rowsShown = true;
    } catch (const db::DbError& e) {
        ui::stop(this, e.message());
    }

    // 5. The user's layout, else the installed default. The layout is read even when the
    // statement failed, so that closing the empty window keeps the user's arrangement.
    const QString userFile = userLayoutPath(state_.kind, app_.dataDir, app_.userName);
    if (!loadLayout(userFile, nullptr)) {
        QString error;
        // An installation made before the change history lacks its default layout file; the
        // program's own copy of it stands in.
        ColumnList carried;
        if (!loadLayout(defaultLayoutPath(state_.kind, app_.startDir), &error)) {
            if (!builtInDefaultLayout(state_.kind, &carried)) {
                ui::stop(this, error);
                return;
            }
            applyColumns(carried);
        }
    }
    // 6. The saved title is that of the first column.
    state_.sort.savedTitle = titleAt(0);
    // 7. The record count.
    if (!rowsShown) return;
    state_.recordCount = model_->rowCount();
    Label1->setText(QStringLiteral("共") + QString::number(state_.recordCount) +
                    QStringLiteral("条"));
}

bool TcxjgDlg1::loadLayout(const QString& path, QString* error) {
    ColumnList columns;
    if (!readLayoutFile(path, &columns, error)) return false;
    applyColumns(columns);
    return true;
}

void TcxjgDlg1::applyColumns(const ColumnList& columns) {
    model_->setColumns(columns);
    // The header shows the list in its own order: undo any earlier moves.
    for (int logical = 0; logical < header_->count(); ++logical) {
        const int visual = header_->visualIndex(logical);
        if (visual != logical) {
            const QSignalBlocker block(header_);
            header_->moveSection(visual, logical);
        }
    }
    for (int i = 0; i < int(columns.size()); ++i) {
        header_->resizeSection(i, columns[std::size_t(i)].width);
        header_->setSectionHidden(i, !columns[std::size_t(i)].visible);
    }
}

ColumnList TcxjgDlg1::columnList() const {
    ColumnList out;
    const ColumnList& logical = model_->columns();
    for (int visual = 0; visual < header_->count(); ++visual) {
        const int i = header_->logicalIndex(visual);
        LayoutColumn c = logical[std::size_t(i)];
        c.visible = !header_->isSectionHidden(i);
        if (c.visible) c.width = header_->sectionSize(i);
        out.push_back(c);
    }
    return out;
}

QString TcxjgDlg1::titleAt(int column) const {
    return model_->title(header_->logicalIndex(column));
}

void TcxjgDlg1::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TcxjgDlg1::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layoutControls();
}

void TcxjgDlg1::FormShow() {
    if (state_.recordCount <= 0 || windowTitle() != redoCaption()) return;
    const int rows = model_->rowCount();
    if (rows == 0) return;
    const int row = std::clamp(state_.rememberedRow - 1, 0, rows - 1);
    const QModelIndex at = model_->index(row, header_->logicalIndex(0));
    DBGrid1->selectionModel()->setCurrentIndex(
        at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    DBGrid1->scrollTo(at);
    DBGrid1CellClick();
    DBGrid1->setFocus();
}

// ---- rows and selection ------------------------------------------------------------------------

std::vector<int> TcxjgDlg1::selectedRows() const {
    std::vector<int> rows;
    for (const auto& [top, bottom] : selectedIntervals(DBGrid1->selectionModel()->selection())) {
        for (int r = top; r <= bottom; ++r) rows.push_back(r);
    }
    return rows;
}

int TcxjgDlg1::firstSelectedRow() const {
    int first = -1;
    for (const QItemSelectionRange& r : DBGrid1->selectionModel()->selection()) {
        if (first < 0 || r.top() < first) first = r.top();
    }
    return first;
}

int TcxjgDlg1::selectedCount() const {
    int count = 0;
    for (const auto& [top, bottom] : selectedIntervals(DBGrid1->selectionModel()->selection())) {
        count += bottom - top + 1;
    }
    return count;
}

int TcxjgDlg1::currentRow() const {
    const QModelIndex i = DBGrid1->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void TcxjgDlg1::moveTo(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    const QModelIndex current = DBGrid1->currentIndex();
    const int column = current.isValid() ? current.column() : header_->logicalIndex(0);
    DBGrid1->selectionModel()->setCurrentIndex(model_->index(row, column),
                                               QItemSelectionModel::NoUpdate);
}

void TcxjgDlg1::selectRows(const std::vector<int>& rows) {
    QItemSelection selection;
    const int last = model_->columnCount() - 1;
    for (int r : rows) {
        if (r < 0 || r >= model_->rowCount() || last < 0) continue;
        selection.select(model_->index(r, 0), model_->index(r, last));
    }
    DBGrid1->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.empty()) moveTo(rows.back());
    DBGrid1CellClick();
}

void TcxjgDlg1::reloadRows() {
    const int serialField = table().fieldIndex(QStringLiteral("ID1"));
    QSet<qint64> selected;
    if (serialField >= 0)
        for (int r : selectedRows()) selected.insert(table().integer(r, serialField));

    ResultTable rows;
    rows.load(*requireConnection(), openingStatement(state_));
    model_->setTable(std::move(rows));
    state_.recordCount = model_->rowCount();

    std::vector<int> again;
    const int field = table().fieldIndex(QStringLiteral("ID1"));
    for (int r = 0; field >= 0 && r < model_->rowCount(); ++r)
        if (selected.contains(table().integer(r, field))) again.push_back(r);
    selectRows(again);
}

// ---- picking and leaving -----------------------------------------------------------------------

void TcxjgDlg1::DBGrid1DblClick() {
    const KindTraits& traits = traitsOf(state_.kind);
    if (!traits.pickable) return;
    const int row = firstSelectedRow();
    if (row < 0) return;
    moveTo(row);
    const ResultTable& rows = table();
    const int field = rows.fieldIndex(
        state_.kind == ResultKind::LendingList ? QStringLiteral("id") : QStringLiteral("ID1"));
    if (field >= 0) state_.pickedSerial = int(rows.integer(row, field));
    if (state_.kind == ResultKind::AssetQuery) state_.rememberedRow = row + 1;
    accept();
}

void TcxjgDlg1::BitBtn1Click() {
    if (traitsOf(state_.kind).exitMovesToSelected) {
        const int row = firstSelectedRow();
        if (row >= 0) {
            moveTo(row);
            if (state_.kind == ResultKind::AssetQuery) state_.rememberedRow = row + 1;
        } else if (state_.kind == ResultKind::AssetQuery && windowTitle() != redoCaption()) {
            state_.rememberedRow = 1;
        }
    }
    accept();
}

void TcxjgDlg1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        BitBtn1Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TcxjgDlg1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid1) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                DBGrid1DblClick();
                return true;
            }
        } else if (event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            switch (key->key()) {
                case Qt::Key_Up:
                case Qt::Key_Down:
                case Qt::Key_PageUp:
                case Qt::Key_PageDown:
                    if (!key->isAutoRepeat()) DBGrid1CellClick();
                    break;
                default:
                    break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TcxjgDlg1::done(int result) {
    closeWindow();
    QDialog::done(result);
}

void TcxjgDlg1::closeWindow() {
    if (closed_) return;
    closed_ = true;
    SortState& sort = state_.sort;
    // 1. The arrow goes; the first column becomes the sorted one.
    if (sort.sortedColumn >= 0 && sort.sortedColumn < header_->count()) {
        model_->setTitle(header_->logicalIndex(sort.sortedColumn), sort.savedTitle);
    }
    sort.savedTitle = titleAt(0);
    sort.sortedColumn = 0;
    // 2. The arrangement, without arrows, replaces the user's layout file.
    QString error;
    if (!writeLayoutFile(userLayoutPath(state_.kind, app_.dataDir, app_.userName), columnList(),
                         &error)) {
        ui::stop(this, error);
    }
}

// ---- sorting
// -------------------------------------------------------------------------------------

void TcxjgDlg1::DBGrid1TitleClick(int column) {
    if (!traitsOf(state_.kind).sortable) return;
    SortState& sort = state_.sort;
    if (sort.ignoreNextTitleClick) {
        sort.ignoreNextTitleClick = false;
        return;
    }
    if (column < 0 || column >= header_->count()) return;
    const bool sameColumn = column == sort.sortedColumn;
    const bool ascending = sameColumn ? sort.ascendingNext : true;
    const QString cleanTitle = sameColumn ? sort.savedTitle : titleAt(column);
    const QString field = model_->columns()[std::size_t(header_->logicalIndex(column))].field;
    const QString orderBy = titleOrderBy(field, ascending);

    // The new order is run before anything changes: when the database refuses it (a computed
    // column it cannot sort by), the window keeps its rows, titles and order.
    ResultTable rows;
    try {
        rows.load(*requireConnection(), state_.queryText + orderBy);
    } catch (const db::DbError& e) {
        ui::stop(this, e.message());
        return;
    }

    if (sort.sortedColumn >= 0 && sort.sortedColumn < header_->count()) {
        model_->setTitle(header_->logicalIndex(sort.sortedColumn), sort.savedTitle);
    }
    sort.savedTitle = cleanTitle;
    sort.sortedColumn = column;
    if (state_.kind == ResultKind::AssetQuery) state_.orderText = orderBy;
    model_->setTitle(header_->logicalIndex(column),
                     cleanTitle + (ascending ? kArrowUp : kArrowDown));
    sort.ascendingNext = !ascending;

    DBGrid1->setUpdatesEnabled(false);
    model_->setTable(std::move(rows));
    DBGrid1->setUpdatesEnabled(true);
    state_.recordCount = model_->rowCount();
    blankFigures();
    DBGrid1->selectionModel()->clearSelection();
    if (model_->rowCount() > 0) {
        const QModelIndex first = model_->index(0, header_->logicalIndex(0));
        DBGrid1->selectionModel()->setCurrentIndex(
            first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        DBGrid1->scrollToTop();
    }
    DBGrid1CellClick();
}

void TcxjgDlg1::DBGrid1ColumnMoved(int from, int to) {
    int& s = state_.sort.sortedColumn;
    if (from == s) {
        s = to;
    } else if (to == s) {
        s += from < to ? -1 : 1;
    } else if (from < s && s < to) {
        --s;
    } else if (to < s && s < from) {
        ++s;
    }
    state_.sort.ignoreNextTitleClick = true;
}

// ---- figures and selection ---------------------------------------------------------------------

void TcxjgDlg1::blankFigures() {
    Label2->clear();
    Label3->clear();
    Label5->clear();
    Label6->clear();
}

void TcxjgDlg1::DBGrid1CellClick() {
    if (state_.kind != ResultKind::AssetQuery) return;
    if (reports::depreciationHidden(app_.settings.zjxs)) return;
    const ResultTable& rows = table();
    const int row = firstSelectedRow();
    if (row >= 0) {
        auto value = [&](const char* name) -> qint64 {
            const int f = rows.fieldIndex(QString::fromLatin1(name));
            return f >= 0 ? rows.integer(row, f) : 0;
        };
        const int priceField = rows.fieldIndex(QStringLiteral("gmjg"));
        const double price = priceField >= 0 ? rows.number(row, priceField) : 0.0;
        const reports::ValueFigures f = reports::windowFigures(
            price, int(value("ynum")), int(value("yue")), int(value("cz")), value("ybf") != 0);
        Label2->setText(QStringLiteral("序号：") + QString::number(value("ID1")));
        Label3->setText(reports::originalValueLine(f));
        Label5->setText(reports::depreciationLine(f));
        Label6->setText(reports::netValueLine(f));
    }
    showSelectionCount(selectedCount());
}

void TcxjgDlg1::showSelectionCount(int count) {
    if (count > 1) {
        BitBtn4->setEnabled(true);
        Label8->setText(QStringLiteral("   已选择") + QString::number(count) +
                        QStringLiteral("条"));
        setLabelColour(Label8, Qt::red);
    } else {
        BitBtn4->setEnabled(false);
        Label8->setText(selectionHint());
        setLabelColour(Label8, Qt::gray);
    }
}

void TcxjgDlg1::N1Click() {
    const int rows = std::min(state_.recordCount, model_->rowCount());
    if (rows > 0) {
        DBGrid1->selectionModel()->select(
            QItemSelection(model_->index(0, 0), model_->index(rows - 1, model_->columnCount() - 1)),
            QItemSelectionModel::ClearAndSelect);
    } else {
        DBGrid1->selectionModel()->clearSelection();
    }
    afterSelectionCommand();
}

void TcxjgDlg1::N3Click() {
    selectWhere(1);
}

void TcxjgDlg1::N4Click() {
    selectWhere(0);
}

void TcxjgDlg1::selectWhere(int worp) {
    const ResultTable& t = table();
    const int field = t.fieldIndex(QStringLiteral("worp"));
    const int rows = std::min(state_.recordCount, model_->rowCount());
    const int last = model_->columnCount() - 1;
    QItemSelection selection;
    int runStart = -1;
    for (int r = 0; r <= rows; ++r) {
        const bool match = r < rows && field >= 0 && (t.yesNo(r, field) ? 1 : 0) == worp;
        if (match && runStart < 0) runStart = r;
        if (!match && runStart >= 0) {
            selection.append(
                QItemSelectionRange(model_->index(runStart, 0), model_->index(r - 1, last)));
            runStart = -1;
        }
    }
    DBGrid1->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    afterSelectionCommand();
}

void TcxjgDlg1::afterSelectionCommand() {
    const int count = selectedCount();
    if (count < 2) {
        BitBtn4->setEnabled(false);
        return;
    }
    showSelectionCount(count);
    BitBtn4->setFocus();
}

// ---- restoring the default layout
// ----------------------------------------------------------------

void TcxjgDlg1::Label4Click() {
    QString error;
    ColumnList columns;
    if (!readLayoutFile(defaultLayoutPath(state_.kind, app_.startDir), &columns, &error)) {
        // Nothing changes, the sort state included, so that the arrow stays where it is.
        ui::stop(this, error);
        return;
    }
    state_.sort.sortedColumn = 0;
    applyColumns(columns);
    state_.sort.savedTitle = QString::fromUtf8(traitsOf(state_.kind).firstTitle);
}

// ---- export, print, batch transfer
// ---------------------------------------------------------------

void TcxjgDlg1::BitBtn3Click() {
    ui::FileRequest request;
    request.save = true;
    request.caption = QStringLiteral("导出为 Microsoft Excel 工作表文件");
    request.directory = QDir::homePath() + QStringLiteral("/查询结果") +
                        Clock::today().toString(QStringLiteral("yyyyMMdd")) +
                        QStringLiteral(".xlsx");
    request.filter = QStringLiteral("Microsoft Excel 工作表 (*.xlsx)");
    QString path = ui::chooseFile(this, request);
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".xlsx");
        // The save dialog asked about the name as typed, not about this one.
        if (QFileInfo::exists(path) &&
            !ui::confirm(this, QStringLiteral("该文件已经存在，覆盖掉它吗？\n") + path,
                         QStringLiteral("提示")))
            return;
    }

    // Shown columns in display order, titles as shown (with an arrow, if any).
    std::vector<int> logical;
    SheetSource sheet;
    for (int visual = 0; visual < header_->count(); ++visual) {
        const int i = header_->logicalIndex(visual);
        if (header_->isSectionHidden(i)) continue;
        logical.push_back(i);
        sheet.titles << model_->title(i);
    }
    sheet.rowCount = model_->rowCount();
    sheet.cell = [this, &logical](int row, int column) {
        return model_->cellText(row, logical[std::size_t(column)]);
    };
    QString error;
    const bool written = writeWorkbook(path, sheet, &error);
    // The grid follows the walk through the rows and ends on the last one.
    moveTo(model_->rowCount() - 1);
    if (!written) {
        ui::stop(this,
                 QStringLiteral("不能保存为 Microsoft Excel 工作表文件！\n") +
                     QDir::toNativeSeparators(path) + QStringLiteral("\n") + error,
                 QStringLiteral("系统信息"));
        return;
    }
    ui::inform(this,
               QStringLiteral("查询结果已导出为 Microsoft Excel 工作表文件：\n") +
                   QDir::toNativeSeparators(path),
               QStringLiteral("系统信息"));
    ui::openDocument(path);
}

void TcxjgDlg1::BitBtn2Click() {
    if (const PrintHandler& print = printHandler()) print(*this);
}

void TcxjgDlg1::BitBtn4Click() {
    if (const BatchTransferHandler& transfer = batchTransferHandler()) transfer(*this);
}

void TcxjgDlg1::setListCommand(const QString& caption, ListCommand command) {
    listCommand_ = std::move(command);
    BitBtn5->setText(caption);
    BitBtn5->setVisible(bool(listCommand_));
}

void TcxjgDlg1::BitBtn5Click() {
    if (listCommand_) listCommand_(*this);
}

}  // namespace fx::query
