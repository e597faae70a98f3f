// The drawing tests need a QApplication before any QCustomPlot; no window is ever shown.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // unless the caller chose a platform
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
