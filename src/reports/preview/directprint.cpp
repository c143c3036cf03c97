#include "directprint.h"

#include <QApplication>
#include <QPrinter>
#include <QProgressDialog>

#include "displaylist.h"
#include "prompt.h"
#include "render.h"

namespace fx::report {

bool printWithProgress(const Document& document, QPrinter& printer, QWidget* parent) {
    QProgressDialog progress(QStringLiteral("正在打印报表……"), QStringLiteral("取消"), 0,
                             qMax(1, document.pageCount()), parent);
    progress.setObjectName(QStringLiteral("printProgress"));
    progress.setWindowTitle(QStringLiteral("打印"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    QString error;
    const bool ok = printDocument(
        document, printer,
        [&](int page, int count) {
            progress.setMaximum(count);
            progress.setLabelText(
                QStringLiteral("正在打印第 %1 页，共 %2 页").arg(page).arg(count));
            progress.setValue(page);
            QApplication::processEvents();
            return !progress.wasCanceled();
        },
        &error);
    // Closing the progress window counts as cancelling it; ask before.
    const bool cancelled = progress.wasCanceled();
    progress.close();
    if (!ok && !cancelled) fx::ui::warn(parent, error);
    return ok;
}

bool printDirect(const Document& document, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    return printWithProgress(document, printer, parent);
}

}  // namespace fx::report
