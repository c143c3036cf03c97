// Test program of the command-line companion. The registry stand-in is pointed at a folder of
// its own before anything uses QSettings, so no test reads or writes the developer's values,
// and the program clock is fixed so that the demonstration data is the same on every run.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "clock.h"
#include "testsupport.h"

int main(int argc, char** argv) {
    QTemporaryDir config;
    if (!config.isValid()) return 3;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope,
                       config.path() + QStringLiteral("/system"));
    QCoreApplication app(argc, argv);
    fx::Clock::set(QDateTime(fx::admin::test::kToday, QTime(10, 30)));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
