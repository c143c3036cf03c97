#include "codescan.h"

#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>

#include "render.h"

namespace fx::report::test {

namespace {

// Runs a tool to its end; its standard output, or nothing when it could not run.
QByteArray run(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000)) return {};
    return tool.readAllStandardOutput();
}

}  // namespace

QStringList decodeImage(const QImage& image) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scan.png"));
    if (!image.save(path)) return {};
    QStringList codes =
        QString::fromUtf8(run(QStringLiteral("zbarimg"), {QStringLiteral("-q"), path}))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    std::sort(codes.begin(), codes.end());
    return codes;
}

QImage renderPdfPage(const QString& pdf, int page, int dpi) {
    QTemporaryDir dir;
    const QString base = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QString::number(page),
         QStringLiteral("-l"), QString::number(page), QStringLiteral("-gray"),
         QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, base});
    return QImage(base + QStringLiteral(".png"));
}

QSizeF pdfPageSize(const QString& pdf, int page) {
    const QString info = QString::fromUtf8(
        run(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QString::number(page),
                                        QStringLiteral("-l"), QString::number(page), pdf}));
    const QRegularExpression size(
        QStringLiteral("Page\\s+%1 size:\\s+([0-9.]+) x ([0-9.]+) pts").arg(page));
    const QRegularExpressionMatch m = size.match(info);
    if (!m.hasMatch()) return {};
    return QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
}

QImage paintToImage(const Page& page, qreal pixelsPerMm) {
    QImage image(qRound(page.size.width() * pixelsPerMm), qRound(page.size.height() * pixelsPerMm),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(painter, page, pixelsPerMm);
    return image;
}

QRect darkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

}  // namespace fx::report::test
