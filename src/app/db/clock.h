#pragma once

#include <QDate>
#include <QDateTime>

namespace fx {

// The program clock. Everything that needs today's date or the time (depreciation, due dates,
// default file names, the SQL function NOW()) asks here, so tests can fix the date.
class Clock {
public:
    static QDateTime now();
    static QDate today() { return now().date(); }
    // Fixes the clock at the given moment; an invalid value returns to the system clock.
    static void set(const QDateTime& fixed);
    // True while a fixed moment is set.
    static bool isFixed();
};

}  // namespace fx
