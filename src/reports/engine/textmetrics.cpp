#include "textmetrics.h"

#include <QFontMetricsF>
#include <QImage>
#include <QTextLayout>
#include <QTextOption>

#include "units.h"

namespace fx::report {

namespace {

// Layout resolution: ten device units per point. Fine enough that rounding of advances does
// not matter, fixed so that results do not depend on the screen.
constexpr qreal kMeasureDpi = 720.0;

const QImage& measureDevice() {
    static const QImage device = [] {
        QImage img(1, 1, QImage::Format_ARGB32);
        const int dpm = int(kMeasureDpi / 0.0254 + 0.5);
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        return img;
    }();
    return device;
}

constexpr qreal toMm(qreal units) {
    return units * kMmPerInch / kMeasureDpi;
}

QString trimRight(const QString& s) {
    int n = int(s.size());
    while (n > 0 && s.at(n - 1).isSpace()) --n;
    return s.left(n);
}

}  // namespace

struct TextMetrics::Cache {
    QHash<FontDesc, std::shared_ptr<QFontMetricsF>> metrics;
    QHash<FontDesc, QFont> fonts;
    QHash<FontDesc, QHash<QString, qreal>> widths;
};

TextMetrics::TextMetrics() : cache_(std::make_unique<Cache>()) {}
TextMetrics::~TextMetrics() = default;

const QFontMetricsF& TextMetrics::metrics(const FontDesc& font) {
    auto it = cache_->metrics.find(font);
    if (it == cache_->metrics.end()) {
        const QFont f = mappedFont(font);
        cache_->fonts.insert(font, f);
        it = cache_->metrics.insert(
            font, std::make_shared<QFontMetricsF>(f, &const_cast<QImage&>(measureDevice())));
    }
    return **it;
}

qreal TextMetrics::width(const FontDesc& font, const QString& text) {
    if (text.isEmpty()) return 0;
    QHash<QString, qreal>& widths = cache_->widths[font];
    const auto it = widths.constFind(text);
    if (it != widths.constEnd()) return it.value();
    const qreal w = toMm(metrics(font).horizontalAdvance(text));
    // Long lists repeat the same few values; a bounded cache keeps memory in check.
    if (widths.size() > 20000) widths.clear();
    widths.insert(text, w);
    return w;
}

qreal TextMetrics::lineHeight(const FontDesc& font) {
    return toMm(metrics(font).lineSpacing());
}

QStringList TextMetrics::wrap(const FontDesc& font, const QString& text, qreal widthMm) {
    QStringList lines;
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList paragraphs = normalized.split(QLatin1Char('\n'));
    metrics(font);  // makes sure the font is cached
    const QFont& f = cache_->fonts[font];
    const qreal limit = widthMm / kMmPerInch * kMeasureDpi;
    for (const QString& para : paragraphs) {
        if (para.isEmpty() || width(font, para) <= widthMm) {
            lines << trimRight(para);
            continue;
        }
        QTextLayout layout(para, f, &const_cast<QImage&>(measureDevice()));
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid()) break;
            line.setLineWidth(limit > 1 ? limit : 1);
        }
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            lines << trimRight(para.mid(line.textStart(), line.textLength()));
        }
    }
    return lines;
}

}  // namespace fx::report
