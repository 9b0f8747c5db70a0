#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[]) {
    // The window tests need no display; an explicit platform from the caller still wins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
