#include "clock.h"

namespace fx {

namespace {
// The fixed moment, or an invalid value while the system clock is used. The program runs on
// one thread, so a plain variable is enough.
QDateTime& fixedMoment() {
    static QDateTime fixed;
    return fixed;
}
}  // namespace

QDateTime Clock::now() {
    const QDateTime& fixed = fixedMoment();
    return fixed.isValid() ? fixed : QDateTime::currentDateTime();
}

void Clock::set(const QDateTime& fixed) {
    fixedMoment() = fixed;
}

bool Clock::isFixed() {
    return fixedMoment().isValid();
}

}  // namespace fx
