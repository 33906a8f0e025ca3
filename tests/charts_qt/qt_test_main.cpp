// The tests draw text and read the application palette, which need a QGuiApplication; it runs
// on Qt's offscreen platform so that the tests need no display.

#include <gtest/gtest.h>

#include <cstdlib>

#include <QGuiApplication>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
