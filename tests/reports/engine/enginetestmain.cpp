#include <gtest/gtest.h>

#include <QGuiApplication>

// The engine measures and paints text, which needs a GUI application; the offscreen platform
// keeps the tests headless.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
