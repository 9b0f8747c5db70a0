#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <utility>

#include "design.h"
#include "form1.h"
#include "formwindow.h"
#include "messageanswerer.h"
#include "pad.h"
#include "qtruntime.h"
#include "recordinggame.h"

namespace zintu {
namespace {

using testing::MessageAnswerer;
using testing::RecordingGame;
using Events = std::vector<std::string>;

constexpr int playbackTimeoutMs = 5000;

QPoint centreOf(const Pad* pad) {
    return pad->geometry().center();
}

// Real mouse events through the window system, so that Qt does its own grabbing and its own
// double-click detection.
void clickAt(FormWindow* window, QPoint point, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(window->windowHandle(), button, {}, point);
}

void clickPad(FormWindow* window, PadIndex pad) {
    clickAt(window, centreOf(window->pad(pad)));
}

bool padsEnabled(const FormWindow* window) {
    for (PadIndex pad = 0; pad < design::padCount; ++pad) {
        if (!window->pad(pad)->isEnabled()) {
            return false;
        }
    }
    return true;
}

bool anyPadLit(const FormWindow* window) {
    for (PadIndex pad = 0; pad < design::padCount; ++pad) {
        if (window->pad(pad)->backColor() == design::litColour) {
            return true;
        }
    }
    return false;
}

class RealGame : public ::testing::Test {
protected:
    void start(int holdMs = 0) {
        answerer = std::make_unique<MessageAnswerer>(holdMs);
        runtime.start(recorder);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(runtime.form()));
    }

    FormWindow* window() const { return runtime.form(); }

    bool waitForPlayersTurn() {
        return QTest::qWaitFor([this] { return padsEnabled(window()); }, playbackTimeoutMs);
    }

    PadIndex expectedPad() const {
        const GameState& state = form.state();
        return state.padAt(state.position);
    }

    QtRuntime runtime;
    Form1 form{runtime};
    RecordingGame recorder{runtime, &form};
    std::unique_ptr<MessageAnswerer> answerer;
};

TEST_F(RealGame, playsOneRoundWithTheMouseAndReloadsOneLevelHigherInPlace) {
    start();
    ASSERT_TRUE(waitForPlayersTurn());
    EXPECT_EQ(answerer->texts(), QStringList{"GO!"});
    const auto pattern = form.state().pattern;
    // Where the player dragged it, not where a new window would be placed.
    window()->move(window()->pos() + QPoint(37, 23));
    const QPoint placed = window()->pos();
    const QPointer<FormWindow> first = window();

    clickPad(window(), expectedPad());

    EXPECT_EQ(answerer->texts(), (QStringList{"GO!", "Ready for level 2?"}));
    ASSERT_NE(window(), first.data());
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(window()->pos(), placed);
    EXPECT_EQ(window()->score()->text(), "Level: 2");
    EXPECT_TRUE(window()->lightUp()->isActive());
    EXPECT_EQ(form.state().pattern, pattern);
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.isNull(); }));
    EXPECT_FALSE(runtime.ended());
}

TEST_F(RealGame, wrongClickShowsTheRatingAndTheRoundGoesOn) {
    start();
    ASSERT_TRUE(waitForPlayersTurn());
    const auto wrong = static_cast<PadIndex>((expectedPad() + 1) % design::padCount);
    const QPointer<FormWindow> same = window();

    clickPad(window(), wrong);

    EXPECT_EQ(answerer->texts().last(), "You got to level 1. You should practice more.");
    EXPECT_EQ(window(), same.data());
    EXPECT_TRUE(padsEnabled(window()));
    EXPECT_FALSE(anyPadLit(window()));
    EXPECT_EQ(form.state().position, 1);
}

TEST_F(RealGame, messageBoxIsModalCaptionedZintuWithOneOkButtonOverTheWindow) {
    QMessageBox* seen = nullptr;
    QString caption;
    QStringList buttons;
    bool overWindow = false;
    QPoint boxCentre;
    start();
    answerer->setOnOpen([&](QMessageBox* box) {
        seen = box;
        caption = box->windowTitle();
        for (const QAbstractButton* button : box->buttons()) {
            buttons.append(button->text());
        }
        boxCentre = box->frameGeometry().center();
        overWindow = box->parentWidget() == window() &&
                     box->windowModality() == Qt::ApplicationModal &&
                     box->icon() == QMessageBox::NoIcon;
    });
    ASSERT_TRUE(waitForPlayersTurn());
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(caption, "Zintu");
    EXPECT_EQ(buttons, QStringList{"OK"});
    EXPECT_TRUE(overWindow);
    const QPoint offCentre = boxCentre - window()->frameGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2) << offCentre.x() << "," << offCentre.y();
}

// Qt does not re-enter a timer's own slot, but a restarted timer fires inside the box's nested
// event loop: only the runtime's own gate keeps that tick from the game.
TEST_F(RealGame, noTickIsHandledWhileGoIsOpenEvenWhenTheTimerIsRestarted) {
    constexpr int heldIntervals = 4;
    bool litWhileOpen = false;
    start(heldIntervals * design::lightUpIntervalMs);
    answerer->setOnOpen([this, restarted = false](QMessageBox*) mutable {
        if (!std::exchange(restarted, true)) {
            window()->lightUp()->start();
        }
    });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout,
                     [&] { litWhileOpen |= answerer->boxOpen() && anyPadLit(window()); });
    watch.start(10);

    ASSERT_TRUE(waitForPlayersTurn());

    EXPECT_EQ(recorder.count("tick"), 2);
    EXPECT_EQ(answerer->texts(), QStringList{"GO!"});
    EXPECT_FALSE(litWhileOpen);
    EXPECT_FALSE(window()->lightUp()->isActive());
}

TEST_F(RealGame, closingDuringPlaybackEndsTheProgram) {
    start();
    ASSERT_TRUE(QTest::qWaitFor([this] { return anyPadLit(window()); }, playbackTimeoutMs));
    const int ticks = recorder.count("tick");

    EXPECT_TRUE(window()->close());

    EXPECT_TRUE(runtime.ended());
    EXPECT_FALSE(window()->isVisible());
    QTest::qWait(3 * design::lightUpIntervalMs);
    EXPECT_EQ(recorder.count("tick"), ticks);
}

TEST_F(RealGame, closingWhileAMessageIsOpenIsRefused) {
    bool closed = true;
    start();
    answerer->setOnOpen([&](QMessageBox*) { closed = window()->close(); });
    ASSERT_TRUE(waitForPlayersTurn());
    EXPECT_FALSE(closed);
    EXPECT_FALSE(runtime.ended());
    EXPECT_TRUE(window()->isVisible());
}

class PadInput : public ::testing::Test {
protected:
    void SetUp() override {
        runtime.start(recorder);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(runtime.form()));
    }

    FormWindow* window() const { return runtime.form(); }

    QtRuntime runtime;
    RecordingGame recorder{runtime};
};

TEST_F(PadInput, quickSecondClickIsAnotherPressAndClickNotADoubleClick) {
    const QPoint yellow = centreOf(window()->pad(1));
    QTest::mouseDClick(window()->windowHandle(), Qt::LeftButton, {}, yellow);
    const Events expected{"load", "down 1", "up 1", "click 1", "down 1", "up 1", "click 1"};
    EXPECT_EQ(recorder.events(), expected);
}

TEST_F(PadInput, releasingOutsideThePadRestoresButRaisesNoClick) {
    QTest::mousePress(window()->windowHandle(), Qt::LeftButton, {}, centreOf(window()->pad(2)));
    QTest::mouseRelease(window()->windowHandle(), Qt::LeftButton, {}, QPoint(250, 120));
    EXPECT_EQ(recorder.events(), (Events{"load", "down 2", "up 2"}));
}

TEST_F(PadInput, otherButtonsPressAndReleaseButOnlyTheLeftClicks) {
    clickAt(window(), centreOf(window()->pad(3)), Qt::RightButton);
    clickAt(window(), centreOf(window()->pad(3)), Qt::MiddleButton);
    EXPECT_EQ(recorder.events(), (Events{"load", "down 3", "up 3", "down 3", "up 3"}));
}

TEST_F(PadInput, disabledPadRaisesNothing) {
    runtime.setPadEnabled(0, false);
    clickAt(window(), centreOf(window()->pad(0)));
    EXPECT_EQ(recorder.events(), Events{"load"});
}

TEST_F(PadInput, fastPlayerLosesNoClickAtTwentyClicksASecondForTenSeconds) {
    constexpr int clicks = 200;
    constexpr int clickIntervalMs = 50;
    // Pairs of the same pad in a row, which Qt would read as double-clicks.
    constexpr PadIndex order[] = {0, 0, 1, 2, 2, 3, 1, 1};
    Events expected{"load"};
    for (int i = 0; i < clicks; ++i) {
        const PadIndex pad = order[i % std::size(order)];
        const QPoint centre = centreOf(window()->pad(pad));
        QTest::mousePress(window()->windowHandle(), Qt::LeftButton, {}, centre);
        QTest::qWait(clickIntervalMs / 2);
        QTest::mouseRelease(window()->windowHandle(), Qt::LeftButton, {}, centre);
        QTest::qWait(clickIntervalMs / 2);
        for (const char* event : {"down ", "up ", "click "}) {
            expected.push_back(event + std::to_string(pad));
        }
    }
    EXPECT_EQ(recorder.events(), expected);
}

// The load that reaches level 100 shows its message with no game window to sit over, then ends.
TEST(RealRuntime, endAfterAMessageOnReloadNeverShowsTheWindowAgain) {
    QtRuntime runtime;
    RecordingGame recorder(runtime);
    recorder.setOnLoad([&](int load) {
        if (load == 2) {
            runtime.msgBox("Level 100! Master!");
            runtime.end();
        }
    });
    bool overAWindow = true;
    MessageAnswerer answerer;
    answerer.setOnOpen([&](QMessageBox* box) { overAWindow = box->parentWidget() != nullptr; });
    runtime.start(recorder);

    runtime.unloadForm();
    runtime.showForm();

    EXPECT_EQ(answerer.texts(), QStringList{"Level 100! Master!"});
    EXPECT_FALSE(overAWindow);
    EXPECT_TRUE(runtime.ended());
    EXPECT_TRUE(runtime.form() == nullptr || !runtime.form()->isVisible());
}

}  // namespace
}  // namespace zintu
