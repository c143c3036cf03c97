// Test program of the import's round trip and command line: the registry stand-in is pointed at
// a folder of its own before anything uses QSettings, and the program clock is fixed so that
// the demonstration register is the same on every run.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "clock.h"

int main(int argc, char** argv) {
    QTemporaryDir config;
    if (!config.isValid()) return 3;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope,
                       config.path() + QStringLiteral("/system"));
    QCoreApplication app(argc, argv);
    fx::Clock::set(QDateTime(QDate(2024, 6, 15), QTime(10, 30)));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
