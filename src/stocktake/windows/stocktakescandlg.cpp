#include "stocktakescandlg.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "appstate.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "modal.h"
#include "rowset.h"
#include "scanfile.h"

namespace fx::stocktake {

namespace {

// How often the counts follow the other workstations' scans.
constexpr int kRefreshMs = 3000;

QStringList places(db::Connection& c) {
    db::RowSet r(c, QStringLiteral("select wz from wzb order by wz"));
    r.open();
    QStringList out;
    for (; !r.eof(); r.next()) out << r.text(QStringLiteral("wz"));
    return out;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setFocusPolicy(Qt::NoFocus);  // the scan field keeps the keyboard
    return b;
}

}  // namespace

StocktakeScanDlg::StocktakeScanDlg(AppState& app, int stocktakeId, QWidget* parent)
    : QDialog(parent),
      app_(app),
      stocktake_(byId(*app.current, stocktakeId)),
      counts_(stocktakeId) {
    setObjectName(QStringLiteral("StocktakeScanDlg"));
    setWindowTitle(QStringLiteral("盘点扫描 - ") + stocktake_.name);
    resize(620, 520);

    auto* title = new QLabel(
        QStringLiteral("盘点：%1    范围：%2").arg(stocktake_.name, scopeText(stocktake_)), this);
    title->setObjectName(QStringLiteral("TitleLabel"));
    PlaceBox = new QComboBox(this);
    PlaceBox->setObjectName(QStringLiteral("PlaceBox"));
    PlaceBox->addItem(QString());
    PlaceBox->addItems(places(*app.current));
    PlaceBox->setFocusPolicy(Qt::ClickFocus);
    ScanEdit = new QLineEdit(this);
    ScanEdit->setObjectName(QStringLiteral("ScanEdit"));
    ScanEdit->setPlaceholderText(QStringLiteral("扫描标签或输入资产编号后按回车"));
    QFont big = ScanEdit->font();
    big.setPointSize(big.pointSize() + 6);
    ScanEdit->setFont(big);
    ResultLabel = new QLabel(this);
    ResultLabel->setObjectName(QStringLiteral("ResultLabel"));
    ResultLabel->setFont(big);
    ResultLabel->setAutoFillBackground(true);
    ResultLabel->setMinimumHeight(48);
    ResultLabel->setWordWrap(true);
    CountsLabel = new QLabel(this);
    CountsLabel->setObjectName(QStringLiteral("CountsLabel"));
    ScansList = new QListWidget(this);
    ScansList->setObjectName(QStringLiteral("ScansList"));
    ScansList->setFocusPolicy(Qt::NoFocus);
    SurplusNote = new QLineEdit(this);
    SurplusNote->setObjectName(QStringLiteral("SurplusNote"));
    SurplusNote->setPlaceholderText(QStringLiteral("账外资产的说明（名称、型号、颜色…）"));
    SurplusNote->setEnabled(false);
    SurplusButton = button(this, "SurplusButton", QStringLiteral("记下说明"));
    SurplusButton->setEnabled(false);
    UndoButton = button(this, "UndoButton", QStringLiteral("撤销上次扫描"));
    UndoButton->setEnabled(false);
    RefreshButton = button(this, "RefreshButton", QStringLiteral("刷新"));
    LoadButton = button(this, "LoadButton", QStringLiteral("导入扫描文件…"));
    CloseButton = button(this, "CloseButton", QStringLiteral("关闭"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("盘点位置："), this), 0, 0);
    grid->addWidget(PlaceBox, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("扫描："), this), 1, 0);
    grid->addWidget(ScanEdit, 1, 1);
    auto* note = new QHBoxLayout;
    note->addWidget(SurplusNote);
    note->addWidget(SurplusButton);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {UndoButton, RefreshButton, LoadButton}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(grid);
    layout->addWidget(ResultLabel);
    layout->addWidget(CountsLabel);
    layout->addLayout(note);
    layout->addWidget(new QLabel(QStringLiteral("最近的扫描："), this));
    layout->addWidget(ScansList);
    layout->addLayout(buttons);

    connect(ScanEdit, &QLineEdit::returnPressed, this, [this] {
        const QString code = ScanEdit->text();
        ScanEdit->clear();
        scan(code);
    });
    connect(SurplusNote, &QLineEdit::returnPressed, this, [this] { SurplusButtonClick(); });
    connect(SurplusButton, &QPushButton::clicked, this, [this] { SurplusButtonClick(); });
    connect(UndoButton, &QPushButton::clicked, this, [this] { UndoButtonClick(); });
    connect(RefreshButton, &QPushButton::clicked, this, [this] { refreshCounts(); });
    connect(LoadButton, &QPushButton::clicked, this, [this] { LoadButtonClick(); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(PlaceBox, &QComboBox::activated, this, [this] { keepFocus(); });
    // Whatever was clicked, the next scan goes to the scan field; only the surplus note may
    // take the keyboard while the user writes it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now != ScanEdit && now != SurplusNote && now != PlaceBox && isAncestorOf(now))
            keepFocus();
    });
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setInterval(kRefreshMs);
    connect(refreshTimer_, &QTimer::timeout, this, [this] { refreshCounts(); });
    refreshTimer_->start();

    if (!stocktake_.isOpen()) {
        ScanEdit->setEnabled(false);
        LoadButton->setEnabled(false);
        showResult(endedMessage(stocktake_.name), Qt::gray);
    }
    refreshCounts();
    ScanEdit->setFocus();
}

QColor StocktakeScanDlg::colourOf(ScanResult r) {
    switch (r) {
        case ScanResult::Found:
            return QColor(0, 160, 60);
        case ScanResult::Misplaced:
            return QColor(230, 140, 0);
        case ScanResult::Duplicate:
            return QColor(40, 110, 220);
        case ScanResult::OutOfScope:
            return QColor(150, 60, 180);
        case ScanResult::Surplus:
            return QColor(220, 30, 30);
        case ScanResult::Deleted:
            return QColor(110, 110, 110);
    }
    return Qt::black;
}

void StocktakeScanDlg::keepFocus() {
    if (ScanEdit->isEnabled()) ScanEdit->setFocus();
}

void StocktakeScanDlg::showResult(const QString& text, const QColor& colour) {
    ResultLabel->setText(text);
    QPalette pal = ResultLabel->palette();
    pal.setColor(QPalette::Window, colour);
    pal.setColor(QPalette::WindowText, Qt::white);
    ResultLabel->setPalette(pal);
}

void StocktakeScanDlg::scan(const QString& code) {
    if (code.trimmed().isEmpty()) return;
    if (const auto place = placeOfLabel(code)) {
        const int i = PlaceBox->findText(*place);
        if (i < 0) {
            showResult(QStringLiteral("没有位置“%1”，盘点位置未改变。").arg(*place), Qt::darkRed);
            QApplication::beep();
            return;
        }
        PlaceBox->setCurrentIndex(i);
        showResult(QStringLiteral("盘点位置：") + *place, Qt::darkCyan);
        return;
    }
    ScanOutcome o;
    try {
        o = recordScan(*app_.current, stocktake_.id, code, PlaceBox->currentText(), app_.userName,
                       Clock::now());
    } catch (const db::DbError& e) {
        showResult(e.message(), Qt::darkRed);
        QApplication::beep();
        return;
    }
    myScans_.push_back(o.scanId);
    UndoButton->setEnabled(true);
    QString text = resultText(o.result) + QStringLiteral("  ") + o.number;
    if (!o.name.isEmpty()) text += QStringLiteral("  ") + o.name;
    if (o.result == ScanResult::Misplaced)
        text += QStringLiteral("\n账面位置：%1，盘点位置：%2").arg(o.expectedPlace, o.foundPlace);
    if (o.result == ScanResult::OutOfScope)
        text += QStringLiteral("\n账面位置：") + o.expectedPlace;
    showResult(text, colourOf(o.result));
    // One beep for a find, two for anything that needs a look.
    QApplication::beep();
    if (o.result != ScanResult::Found) QTimer::singleShot(180, this, [] { QApplication::beep(); });

    auto* item = new QListWidgetItem(QStringLiteral("%1  %2  %3")
                                         .arg(Clock::now().toString(QStringLiteral("hh:mm:ss")),
                                              resultText(o.result), o.number));
    item->setForeground(colourOf(o.result));
    item->setData(Qt::UserRole, o.scanId);
    ScansList->insertItem(0, item);
    lastSurplus_ = o.result == ScanResult::Surplus ? o.scanId : 0;
    SurplusNote->setEnabled(lastSurplus_ != 0);
    SurplusButton->setEnabled(lastSurplus_ != 0);
    SurplusNote->clear();
    updateCounts();
}

void StocktakeScanDlg::UndoButtonClick() {
    if (myScans_.empty()) return;
    const qint64 id = myScans_.back();
    try {
        undoScan(*app_.current, stocktake_.id, id);
    } catch (const db::DbError& e) {
        showResult(e.message(), Qt::darkRed);
        return;
    }
    myScans_.pop_back();
    for (int i = 0; i < ScansList->count(); ++i) {
        if (ScansList->item(i)->data(Qt::UserRole).toLongLong() == id) {
            delete ScansList->takeItem(i);
            break;
        }
    }
    if (id == lastSurplus_) {
        lastSurplus_ = 0;
        SurplusNote->setEnabled(false);
        SurplusButton->setEnabled(false);
    }
    UndoButton->setEnabled(!myScans_.empty());
    showResult(QStringLiteral("已撤销上次扫描。"), Qt::darkGray);
    refreshCounts();
    keepFocus();
}

void StocktakeScanDlg::SurplusButtonClick() {
    if (lastSurplus_ == 0) return;
    try {
        describeSurplus(*app_.current, lastSurplus_, SurplusNote->text());
    } catch (const db::DbError& e) {
        showResult(e.message(), Qt::darkRed);
        return;
    }
    showResult(QStringLiteral("已记下账外资产的说明。"), Qt::darkCyan);
    SurplusNote->setEnabled(false);
    SurplusButton->setEnabled(false);
    lastSurplus_ = 0;
    keepFocus();
}

void StocktakeScanDlg::refreshCounts() {
    try {
        CountsLabel->setText(countsText(counts_.refresh(*app_.current)));
    } catch (const db::DbError& e) {
        // A share gone for a moment: the next refresh tries again.
        CountsLabel->setText(QStringLiteral("盘点数字暂时读不到：") + e.message());
    }
}

void StocktakeScanDlg::updateCounts() {
    try {
        CountsLabel->setText(countsText(counts_.update(*app_.current)));
    } catch (const db::DbError& e) {
        CountsLabel->setText(QStringLiteral("盘点数字暂时读不到：") + e.message());
    }
}

void StocktakeScanDlg::LoadButtonClick() {
    ui::FileRequest request;
    request.caption = QStringLiteral("导入扫描文件");
    request.filter = QStringLiteral("扫描文件 (*.txt *.csv);;所有文件 (*)");
    const QString path = ui::chooseFile(this, request);
    if (path.isEmpty()) return;
    try {
        const FileLoad l = loadScanFile(*app_.current, stocktake_.id, path, PlaceBox->currentText(),
                                        app_.userName, Clock::now());
        showResult(fileLoadText(l), Qt::darkCyan);
    } catch (const db::DbError& e) {
        showResult(e.message(), Qt::darkRed);
    }
    refreshCounts();
    keepFocus();
}

}  // namespace fx::stocktake
