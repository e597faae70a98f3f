// The window tests need a QApplication; windows open on the offscreen platform, never on screen.
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
