#include "reportpreview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "directprint.h"
#include "modal.h"
#include "prompt.h"
#include "qrpfile.h"
#include "render.h"
#include "units.h"

namespace fx::report {

namespace {

// Grey border around the paper in the preview, in screen pixels.
constexpr int kPaperMargin = 12;

}  // namespace

// Paints the current page of the preview on a grey desk.
class PageView : public QWidget {
public:
    explicit PageView(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("pageView"));
        setAutoFillBackground(false);
    }

    void show(const Page* page, qreal pixelsPerMm) {
        page_ = page;
        scale_ = pixelsPerMm;
        const QSizeF paper = page ? page->size * scale_ : QSizeF(0, 0);
        setFixedSize(int(paper.width()) + 2 * kPaperMargin, int(paper.height()) + 2 * kPaperMargin);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(128, 128, 128));
        if (!page_) return;
        const QRectF paper(kPaperMargin, kPaperMargin, page_->size.width() * scale_,
                           page_->size.height() * scale_);
        painter.fillRect(paper.translated(3, 3), QColor(64, 64, 64));
        painter.fillRect(paper, Qt::white);
        paintPage(painter, *page_, scale_, paper.topLeft());
    }

private:
    const Page* page_ = nullptr;
    qreal scale_ = 1;
};

ReportPreview::ReportPreview(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("打印预览"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(900, 700);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(2);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->addLayout(bar);

    auto add = [&](const QString& name, const QString& text, const QString& tip) {
        QToolButton* b = addButton(name, text, tip);
        bar->addWidget(b);
        return b;
    };
    connect(add(QStringLiteral("zoomFitButton"), QStringLiteral("整页"),
                QStringLiteral("缩放到整页可见")),
            &QToolButton::clicked, this, &ReportPreview::zoomToFit);
    connect(add(QStringLiteral("zoom100Button"), QStringLiteral("100%"),
                QStringLiteral("按实际大小显示")),
            &QToolButton::clicked, this, &ReportPreview::zoomActual);
    connect(add(QStringLiteral("zoomWidthButton"), QStringLiteral("页宽"),
                QStringLiteral("缩放到页面宽度")),
            &QToolButton::clicked, this, &ReportPreview::zoomPageWidth);
    bar->addSpacing(12);
    firstButton_ =
        add(QStringLiteral("firstPageButton"), QStringLiteral("首页"), QStringLiteral("第一页"));
    previousButton_ =
        add(QStringLiteral("previousPageButton"), QStringLiteral("上页"), QStringLiteral("上一页"));
    nextButton_ =
        add(QStringLiteral("nextPageButton"), QStringLiteral("下页"), QStringLiteral("下一页"));
    lastButton_ =
        add(QStringLiteral("lastPageButton"), QStringLiteral("末页"), QStringLiteral("最后一页"));
    connect(firstButton_, &QToolButton::clicked, this, &ReportPreview::firstPage);
    connect(previousButton_, &QToolButton::clicked, this, &ReportPreview::previousPage);
    connect(nextButton_, &QToolButton::clicked, this, &ReportPreview::nextPage);
    connect(lastButton_, &QToolButton::clicked, this, &ReportPreview::lastPage);
    bar->addSpacing(12);
    connect(add(QStringLiteral("printerSetupButton"), QStringLiteral("打印设置"),
                QStringLiteral("选择打印机并设置")),
            &QToolButton::clicked, this, &ReportPreview::printerSetup);
    printButton_ =
        add(QStringLiteral("printButton"), QStringLiteral("打印"), QStringLiteral("打印报表"));
    connect(printButton_, &QToolButton::clicked, this, [this] { print(); });
    saveButton_ = add(QStringLiteral("saveButton"), QStringLiteral("保存"),
                      QStringLiteral("保存报表文件(*.QRP)或 PDF 文件"));
    connect(saveButton_, &QToolButton::clicked, this, &ReportPreview::save);
    connect(add(QStringLiteral("openButton"), QStringLiteral("打开"),
                QStringLiteral("打开已保存的报表文件")),
            &QToolButton::clicked, this, &ReportPreview::open);
    bar->addSpacing(12);
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("pageLabel"));
    bar->addWidget(pageLabel_);
    bar->addStretch(1);
    connect(
        add(QStringLiteral("closeButton"), QStringLiteral("关闭"), QStringLiteral("关闭预览窗口")),
        &QToolButton::clicked, this, &QDialog::accept);

    scroll_ = new QScrollArea(this);
    scroll_->viewport()->installEventFilter(this);
    scroll_->setObjectName(QStringLiteral("pageScroll"));
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette desk = scroll_->palette();
    desk.setColor(QPalette::Window, QColor(128, 128, 128));
    scroll_->setPalette(desk);
    scroll_->setBackgroundRole(QPalette::Window);
    view_ = new PageView(scroll_);
    scroll_->setWidget(view_);
    column->addWidget(scroll_, 1);

    // The keys a reader pages with.
    const struct {
        QKeySequence key;
        void (ReportPreview::*slot)();
    } keys[] = {{QKeySequence(Qt::Key_PageDown), &ReportPreview::nextPage},
                {QKeySequence(Qt::Key_PageUp), &ReportPreview::previousPage},
                {QKeySequence(Qt::CTRL | Qt::Key_Home), &ReportPreview::firstPage},
                {QKeySequence(Qt::CTRL | Qt::Key_End), &ReportPreview::lastPage}};
    for (const auto& k : keys)
        connect(new QShortcut(k.key, this), &QShortcut::activated, this, k.slot);

    layoutTimer_ = new QTimer(this);
    layoutTimer_->setSingleShot(true);
    layoutTimer_->setInterval(0);
    connect(layoutTimer_, &QTimer::timeout, this, &ReportPreview::layoutSomePages);

    updateView();
}

ReportPreview::~ReportPreview() = default;

QToolButton* ReportPreview::addButton(const QString& objectName, const QString& text,
                                      const QString& tip) {
    auto* b = new QToolButton(this);
    b->setObjectName(objectName);
    b->setText(text);
    b->setToolTip(tip);
    b->setAutoRaise(true);
    return b;
}

void ReportPreview::setDocument(Document document) {
    layoutTimer_->stop();
    layout_.reset();
    doc_ = std::move(document);
    current_ = 0;
    if (!doc_.title.isEmpty()) setWindowTitle(QStringLiteral("打印预览 - ") + doc_.title);
    updateView();
}

void ReportPreview::setReportLayout(std::unique_ptr<ReportLayout> layout) {
    doc_ = Document();
    current_ = 0;
    layout_ = std::move(layout);
    if (layout_) {
        // The first page right away; the others while the window waits for the user.
        layout_->layoutNextPage();
        if (!layout_->document().title.isEmpty())
            setWindowTitle(QStringLiteral("打印预览 - ") + layout_->document().title);
        if (layout_->finished()) {
            doc_ = layout_->takeDocument();
            layout_.reset();
        } else {
            layoutTimer_->start();
        }
    }
    updateView();
}

void ReportPreview::layoutSomePages() {
    if (!layout_) return;
    QElapsedTimer slice;
    slice.start();
    // Short slices keep the window responsive while long reports are laid out.
    while (!layout_->finished() && slice.elapsed() < 40) layout_->layoutNextPage();
    if (layout_->finished()) {
        doc_ = layout_->takeDocument();
        layout_.reset();
    } else {
        layoutTimer_->start();
    }
    updateView();
}

void ReportPreview::finishLayout() {
    if (!layout_) return;
    layoutTimer_->stop();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    doc_ = layout_->takeDocument();
    layout_.reset();
    QApplication::restoreOverrideCursor();
    updateView();
}

const Document& ReportPreview::document() const {
    return layout_ ? layout_->document() : doc_;
}

QString ReportPreview::pageText() const {
    const int count = pageCount();
    if (count == 0) return QStringLiteral("没有可显示的页");
    if (layout_) return QStringLiteral("第 %1 页，已排 %2 页……").arg(current_ + 1).arg(count);
    return QStringLiteral("第 %1 页，共 %2 页").arg(current_ + 1).arg(count);
}

qreal ReportPreview::fitScale(bool widthOnly) const {
    const Document& doc = document();
    if (doc.pages.empty()) return logicalDpiX() / kMmPerInch;
    const QSizeF paper = doc.pages[size_t(current_)].size;
    const QSize area = scroll_->viewport()->size() - QSize(2 * kPaperMargin, 2 * kPaperMargin);
    // Leave room for the vertical scroll bar the page width zoom will need.
    const qreal width =
        area.width() - (widthOnly ? scroll_->verticalScrollBar()->sizeHint().width() : 0);
    const qreal byWidth = qMax<qreal>(width, 50) / paper.width();
    if (widthOnly) return byWidth;
    const qreal byHeight = qMax(area.height(), 50) / paper.height();
    return qMin(byWidth, byHeight);
}

qreal ReportPreview::pixelsPerMm() const {
    switch (zoom_) {
        case Zoom::Fit:
            return fitScale(false);
        case Zoom::PageWidth:
            return fitScale(true);
        case Zoom::Actual:
            break;
    }
    return logicalDpiX() / kMmPerInch;
}

void ReportPreview::updateView() {
    const Document& doc = document();
    const int count = doc.pageCount();
    if (current_ >= count) current_ = qMax(0, count - 1);
    view_->show(count > 0 ? &doc.pages[size_t(current_)] : nullptr, pixelsPerMm());
    pageLabel_->setText(pageText());
    firstButton_->setEnabled(current_ > 0);
    previousButton_->setEnabled(current_ > 0);
    const bool more = current_ + 1 < count || (layout_ && !layout_->finished());
    nextButton_->setEnabled(more);
    lastButton_->setEnabled(more);
    printButton_->setEnabled(count > 0);
    saveButton_->setEnabled(count > 0);
}

void ReportPreview::showPage(int index) {
    if (layout_) {
        while (index >= pageCount() && layout_ && !layout_->finished()) layout_->layoutNextPage();
        if (layout_ && layout_->finished()) finishLayout();
    }
    const int count = pageCount();
    if (count == 0) return;
    current_ = qBound(0, index, count - 1);
    updateView();
    scroll_->verticalScrollBar()->setValue(0);
}

void ReportPreview::zoomToFit() {
    zoom_ = Zoom::Fit;
    updateView();
}

void ReportPreview::zoomActual() {
    zoom_ = Zoom::Actual;
    updateView();
}

void ReportPreview::zoomPageWidth() {
    zoom_ = Zoom::PageWidth;
    updateView();
}

void ReportPreview::firstPage() {
    showPage(0);
}

void ReportPreview::previousPage() {
    showPage(current_ - 1);
}

void ReportPreview::nextPage() {
    showPage(current_ + 1);
}

void ReportPreview::lastPage() {
    finishLayout();
    showPage(pageCount() - 1);
}

void ReportPreview::printerSetup() {
    QPrintDialog dialog(&printer_, this);
    dialog.setWindowTitle(QStringLiteral("打印设置"));
    dialog.setMinMax(1, qMax(1, pageCount()));
    fx::ui::runModal(dialog);
}

bool ReportPreview::print() {
    finishLayout();
    if (doc_.pages.empty()) return false;
    return printWithProgress(doc_, printer_, this);
}

bool ReportPreview::saveTo(const QString& path, QString* error) {
    finishLayout();
    QString target = path;
    const QString suffix = QFileInfo(target).suffix();
    if (suffix.compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0)
        return writePdf(doc_, target, error);
    if (suffix.isEmpty()) target += QStringLiteral(".QRP");
    return writeQrpFile(doc_, target, error);
}

bool ReportPreview::openFrom(const QString& path, QString* error) {
    std::optional<Document> doc = readQrpFile(path, error);
    if (!doc) return false;
    setDocument(std::move(*doc));
    return true;
}

void ReportPreview::save() {
    if (pageCount() == 0) return;
    fx::ui::FileRequest request;
    request.save = true;
    request.caption = QStringLiteral("保存报表");
    const QString name = document().title.isEmpty() ? QStringLiteral("报表") : document().title;
    request.directory = (lastFolder_.isEmpty() ? QString() : lastFolder_ + QLatin1Char('/')) +
                        name + QStringLiteral(".QRP");
    request.filter = QStringLiteral("报表文件 (*.QRP);;PDF 文件 (*.pdf)");
    const QString path = fx::ui::chooseFile(this, request);
    if (path.isEmpty()) return;
    // A name typed without an extension is saved as .QRP; the save dialog asked only about the
    // name as typed.
    if (QFileInfo(path).suffix().isEmpty() && QFileInfo::exists(path + QStringLiteral(".QRP")) &&
        !fx::ui::confirm(
            this, QStringLiteral("该文件已经存在，覆盖掉它吗？\n") + path + QStringLiteral(".QRP"),
            QStringLiteral("提示")))
        return;
    lastFolder_ = QFileInfo(path).absolutePath();
    QString error;
    if (!saveTo(path, &error)) fx::ui::warn(this, error);
}

void ReportPreview::open() {
    fx::ui::FileRequest request;
    request.caption = QStringLiteral("打开报表文件");
    request.directory = lastFolder_;
    request.filter = QStringLiteral("报表文件 (*.QRP *.qrp)");
    const QString path = fx::ui::chooseFile(this, request);
    if (path.isEmpty()) return;
    lastFolder_ = QFileInfo(path).absolutePath();
    QString error;
    if (!openFrom(path, &error)) fx::ui::warn(this, error);
}

void ReportPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (zoom_ != Zoom::Actual) updateView();
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event) {
    // The page area gets its final size only after the window's own resize (when the layout
    // runs): the fitted zooms follow it, or a short report would open at a postage-stamp size.
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize && zoom_ != Zoom::Actual)
        updateView();
    return QDialog::eventFilter(watched, event);
}

void previewReport(const Report& report, const DataSource& data, const RunOptions& options,
                   QWidget* parent) {
    ReportPreview preview(parent);
    preview.setReportLayout(std::make_unique<ReportLayout>(report, data, options));
    fx::ui::runModal(preview);
}

bool printReport(const Report& report, const DataSource& data, const RunOptions& options,
                 QWidget* parent) {
    const Document document = layoutReport(report, data, options);
    if (document.pages.empty()) return false;
    return printDirect(document, parent);
}

}  // namespace fx::report
