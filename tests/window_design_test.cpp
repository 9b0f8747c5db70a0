#include <gtest/gtest.h>

#include <QAccessible>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLibraryInfo>
#include <QTest>
#include <QTimer>
#include <QVersionNumber>
#include <QWindow>

#include "design.h"
#include "form1.h"
#include "formwindow.h"
#include "gamewindow.h"
#include "host.h"
#include "messagebox.h"
#include "messages.h"
#include "pad.h"
#include "qttoolkit.h"
#include "scorefont.h"

namespace zintu {
namespace {

const QColor orange(255, 128, 0);
// The first Qt seen to drop a blocked window's keys before offering them to the shortcuts.
const QVersionNumber qtDroppingBlockedWindowsShortcuts(6, 8);

class RealWindow : public ::testing::Test {
protected:
    void SetUp() override {
        runtime.start(form);
        window = toolkit.form();
        ASSERT_NE(window, nullptr);
    }

    QImage grabbed() const { return window->grab().toImage(); }

    QtToolkit toolkit;
    Host runtime{toolkit};
    Form1 form{runtime};
    FormWindow* window = nullptr;
};

TEST_F(RealWindow, opensTheFormInTheGameWindowWithAMinimiseButton) {
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->window(), toolkit.window());
    EXPECT_TRUE(toolkit.window()->windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(RealWindow, showsLevelOneInTheDesignedLabelPlace) {
    const QLabel* score = window->score();
    EXPECT_EQ(score->text(), "Level: 1");
    EXPECT_EQ(score->geometry(), QRect(152, 32, 169, 65));
}

// A slow start once kept the window off the screen until the first pad had gone dark again.
TEST_F(RealWindow, startsThePlaybackTimerOnceTheWindowIsOnTheScreenWithPadsDisabled) {
    EXPECT_FALSE(toolkit.window()->hasReachedScreen());
    EXPECT_FALSE(window->lightUp()->isActive());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(toolkit.window()));
    EXPECT_TRUE(window->lightUp()->isActive());
    for (PadIndex pad = 0; pad < design::padCount; ++pad) {
        EXPECT_FALSE(window->pad(pad)->isEnabled()) << "pad " << pad;
    }
}

TEST_F(RealWindow, backgroundIsOrangeAroundTheLabel) {
    const QImage image = grabbed();
    EXPECT_EQ(image.pixelColor(320, 0), orange);
    EXPECT_EQ(image.pixelColor(140, 110), orange);
    EXPECT_EQ(image.pixelColor(320, 132), orange);
}

TEST_F(RealWindow, labelTextIsDrawnInsideTheLabel) {
    const QImage image = grabbed();
    const QRect label = window->score()->geometry();
    int inkInside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = design::toPixels(2000); x < image.width(); ++x) {
            if (image.pixelColor(x, y) == orange) {
                continue;
            }
            ASSERT_TRUE(label.contains(x, y)) << "ink outside the label at " << x << "," << y;
            ++inkInside;
        }
    }
    EXPECT_GT(inkInside, 100);
}

TEST_F(RealWindow, labelFontWritesLatinTextNeverSymbols) {
    const QString family = QFontInfo(window->score()->font()).family();
    const auto systems = QFontDatabase::writingSystems(family);
    EXPECT_TRUE(systems.contains(QFontDatabase::Latin)) << family.toStdString();
    EXPECT_FALSE(systems.contains(QFontDatabase::Symbol)) << family.toStdString();
}

TEST_F(RealWindow, assistiveTechnologyHearsAFrameNamedByTheCaptionAndTheLevel) {
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(toolkit.window());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->role(), QAccessible::Window);
    EXPECT_EQ(frame->text(QAccessible::Name), "Zintu!");
    QAccessibleInterface* score = QAccessible::queryAccessibleInterface(window->score());
    ASSERT_NE(score, nullptr);
    EXPECT_EQ(score->text(QAccessible::Name), "Level: 1");
}

// A box settles its size only as it is shown, after Qt has placed it by its earlier size.
TEST_F(RealWindow, messageBoxOpensCentredOverTheGameWindowWithoutMinimiseOrMaximise) {
    MessageBox box(QString::fromUtf8(messages::go), toolkit.window());
    box.show();
    const QPoint offCentre = box.geometry().center() - toolkit.window()->geometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2) << offCentre.x() << "," << offCentre.y();
    EXPECT_FALSE(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

// A click on the game window gives it the keyboard, and a busy GNOME Shell never hands it back
// to the box: the box's keys must answer it from the game window.
TEST_F(RealWindow, messageBoxAnswersReturnSpaceAndEscapePressedOnTheGameWindow) {
    if (QLibraryInfo::version() >= qtDroppingBlockedWindowsShortcuts) {
        GTEST_SKIP() << "this Qt drops a blocked window's keys before its shortcuts; the desktops "
                        "it comes with keep the keyboard on a modal box";
    }
    QWindow* game = toolkit.window()->windowHandle();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape}) {
        MessageBox box(QString::fromUtf8(messages::go), toolkit.window());
        bool gameFocused = false;
        bool answered = false;
        QTimer::singleShot(0, &box, [&] {
            game->requestActivate();
            gameFocused = QTest::qWaitFor([&] { return QGuiApplication::focusWindow() == game; });
            QTest::keyClick(game, key);
            answered = !box.isVisible();
            box.reject();
        });
        box.exec();
        ASSERT_TRUE(gameFocused);
        EXPECT_TRUE(answered) << QKeySequence(key).toString().toStdString();
    }
}

TEST(ScoreFontFamily, fallsBackToSerifWhenNeitherIsInstalled) {
    EXPECT_EQ(scoreFontFamily({"DejaVu Sans", "Rothenburg Decorative Outline"}), "serif");
}

}  // namespace
}  // namespace zintu
