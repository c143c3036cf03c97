#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

#include "fontdesc.h"

class QFontMetricsF;

namespace fx::report {

// Measures text in mm with the mapped fonts at a fixed resolution, so that a layout gives the
// same lines and widths whatever screen or printer is attached. Keeps what it has measured.
class TextMetrics {
public:
    TextMetrics();
    ~TextMetrics();
    TextMetrics(const TextMetrics&) = delete;
    TextMetrics& operator=(const TextMetrics&) = delete;

    // Advance width of a single line of text.
    qreal width(const FontDesc& font, const QString& text);
    // Distance from one line to the next.
    qreal lineHeight(const FontDesc& font);
    // The lines `text` takes within `width` mm: paragraphs break at "\n", lines at word
    // boundaries, and between Chinese characters, or anywhere when a word is too long.
    // Trailing blanks of a line are dropped; leading blanks (indentation) stay.
    QStringList wrap(const FontDesc& font, const QString& text, qreal width);

private:
    struct Cache;
    std::unique_ptr<Cache> cache_;
    const QFontMetricsF& metrics(const FontDesc& font);
};

}  // namespace fx::report
