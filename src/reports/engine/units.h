#pragma once

#include <QRectF>

namespace fx::report {

// The engine works in millimetres. Report forms are designed in screen pixels at 96 per inch
// and fonts in points; these convert to millimetres.
constexpr qreal kMmPerInch = 25.4;
constexpr qreal kDesignDpi = 96.0;

// Pixels at 96 per inch to millimetres (one pixel is 0.2646 mm).
constexpr qreal px(qreal pixels) {
    return pixels * kMmPerInch / kDesignDpi;
}

// Points (1/72 inch) to millimetres.
constexpr qreal pt(qreal points) {
    return points * kMmPerInch / 72.0;
}

// A rectangle given in design pixels, in millimetres.
inline QRectF rectPx(qreal x, qreal y, qreal w, qreal h) {
    return QRectF(px(x), px(y), px(w), px(h));
}

}  // namespace fx::report
