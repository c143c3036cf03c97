#pragma once

#include <QDialog>
#include <QPrinter>
#include <memory>

#include "displaylist.h"
#include "layout.h"

class QLabel;
class QScrollArea;
class QTimer;
class QToolButton;

namespace fx::report {

class DataSource;
struct Report;
class PageView;

// The preview window: shows a laid-out report one page at a time and offers zoom to fit,
// 100 % and page width; first, previous, next and last page; printer setup; print; save as
// .QRP or PDF; open a saved .QRP; close. The buttons carry object names (zoomFitButton,
// zoom100Button, zoomWidthButton, firstPageButton, previousPageButton, nextPageButton,
// lastPageButton, printerSetupButton, printButton, saveButton, openButton, closeButton) and
// each forwards to the public function of the same purpose.
class ReportPreview : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "printing.html")
public:
    enum class Zoom { Fit, Actual, PageWidth };

    explicit ReportPreview(QWidget* parent = nullptr);
    ~ReportPreview() override;

    // Shows a finished document from its first page.
    void setDocument(Document document);
    // Shows a report while it is still being laid out: the first page as soon as it is ready,
    // the rest laid out while the window is idle.
    void setReportLayout(std::unique_ptr<ReportLayout> layout);
    // Lays out whatever remains (print, save and the last page need every page).
    void finishLayout();
    bool layoutFinished() const { return !layout_; }

    // The document shown (only the pages laid out so far while the layout runs).
    const Document& document() const;
    int pageCount() const { return document().pageCount(); }
    // The page shown, from 0.
    int currentPage() const { return current_; }
    void showPage(int index);
    Zoom zoom() const { return zoom_; }
    // Screen pixels per millimetre at the current zoom.
    qreal pixelsPerMm() const;
    // The text beside the page buttons ("第 1 页，共 3 页").
    QString pageText() const;

    // The printer that printing uses; printer setup changes it.
    QPrinter& printer() { return printer_; }

    // Saves the document: a path ending in ".pdf" gets a PDF, any other a saved report (".QRP"
    // is added when the name has no extension). False with a message in `error`.
    bool saveTo(const QString& path, QString* error = nullptr);
    // Opens a saved report in place of the current one; false with a message in `error`.
    bool openFrom(const QString& path, QString* error = nullptr);

public slots:
    void zoomToFit();
    void zoomActual();
    void zoomPageWidth();
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    // Lets the user choose the printer and its settings for the next print.
    void printerSetup();
    // Prints every page (or the range chosen in printer setup) with a progress window.
    bool print();
    // Asks for a file name and saves; a failure is shown to the user.
    void save();
    // Asks for a saved report and shows it; a failure is shown to the user.
    void open();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* addButton(const QString& objectName, const QString& text, const QString& tip);
    void layoutSomePages();
    void updateView();
    qreal fitScale(bool widthOnly) const;

    Document doc_;
    std::unique_ptr<ReportLayout> layout_;
    QTimer* layoutTimer_ = nullptr;
    int current_ = 0;
    Zoom zoom_ = Zoom::PageWidth;
    QPrinter printer_{QPrinter::HighResolution};
    QString lastFolder_;

    QScrollArea* scroll_ = nullptr;
    PageView* view_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QToolButton* firstButton_ = nullptr;
    QToolButton* previousButton_ = nullptr;
    QToolButton* nextButton_ = nullptr;
    QToolButton* lastButton_ = nullptr;
    QToolButton* printButton_ = nullptr;
    QToolButton* saveButton_ = nullptr;
};

// Lays out `report` over `data` and shows it in a modal preview window; returns when the
// window is closed.
void previewReport(const Report& report, const DataSource& data, const RunOptions& options,
                   QWidget* parent);

// Lays out `report` and prints it straight to the default printer with a progress window.
bool printReport(const Report& report, const DataSource& data, const RunOptions& options,
                 QWidget* parent);

}  // namespace fx::report
