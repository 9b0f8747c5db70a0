#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

namespace {

// A game that ends calls QApplication::exit, which makes every later event loop, a message
// box's among them, return at once. Running the application's own loop once clears that, so
// each test starts with an application that has not been told to quit.
class ClearEndedApplication : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    // The window tests need no display; an explicit platform from the caller still wins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ClearEndedApplication);
    return RUN_ALL_TESTS();
}
