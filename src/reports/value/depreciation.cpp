#include "depreciation.h"

#include <cmath>

namespace fx::reports {

qint64 toCents(double yuan) {
    // Prices are stored as doubles; 0.29 * 100 is 28.999..., so round to the nearest cent
    // rather than cutting.
    return qint64(std::llround(yuan * 100.0));
}

ValueFigures windowFigures(double price, int months, int lifeMonths, int ratePercent,
                           bool scrapped) {
    ValueFigures f;
    const qint64 priceCents = toCents(price);
    f.original = priceCents;
    if (!scrapped && lifeMonths > 0 && months < lifeMonths) {
        // (100-cz)*ynum first, in integers; the division by 100*yue turns percent-yuan into
        // cents. Integer division truncates toward zero, as the window does.
        const qint64 lostShare = qint64(100 - ratePercent) * months;
        f.depreciation = lostShare * priceCents / (qint64(100) * lifeMonths);
        f.net = f.original - f.depreciation;
    } else {
        f.net = qint64(ratePercent) * priceCents / 100;
        f.depreciation = f.original - f.net;
    }
    return f;
}

QString centsText(qint64 cents) {
    const qint64 magnitude = cents < 0 ? -cents : cents;
    QString text = QString::asprintf("%lld.%02lld", static_cast<long long>(magnitude / 100),
                                     static_cast<long long>(magnitude % 100));
    if (cents < 0) text.prepend(QLatin1Char('-'));
    return text;
}

QString originalValueLine(const ValueFigures& f) {
    return QStringLiteral("原值：") + centsText(f.original) + QStringLiteral("元");
}

QString depreciationLine(const ValueFigures& f) {
    return QStringLiteral("折旧：") + centsText(f.depreciation) + QStringLiteral("元");
}

QString netValueLine(const ValueFigures& f) {
    return QStringLiteral("净值：") + centsText(f.net) + QStringLiteral("元");
}

}  // namespace fx::reports
