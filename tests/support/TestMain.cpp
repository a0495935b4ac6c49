#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Every test program runs with a GUI application on the offscreen platform,
// so widget tests and main-thread posting work without a display.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
