#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <utility>

#include "design.h"
#include "form1.h"
#include "formwindow.h"
#include "gamewindow.h"
#include "messageanswerer.h"
#include "messagebox.h"
#include "pad.h"
#include "qtruntime.h"
#include "recordinggame.h"

namespace zintu {
namespace {

using testing::MessageAnswerer;
using testing::RecordingGame;
using Events = std::vector<std::string>;

constexpr int playbackTimeoutMs = 5000;

// In the coordinates of the top-level window, which is where the window system delivers input.
QPoint centreOf(const Pad* pad) {
    return pad->mapTo(pad->window(), pad->rect().center());
}

QWindow* screenWindowOf(const QWidget* widget) {
    return widget->window()->windowHandle();
}

// Real mouse events through the window system, so that Qt does its own grabbing and its own
// double-click detection.
void clickAt(const FormWindow* form, QPoint point, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(screenWindowOf(form), button, {}, point);
}

void clickPad(const FormWindow* form, PadIndex pad) {
    clickAt(form, centreOf(form->pad(pad)));
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

QAccessibleInterface* accessibleOf(const Pad* pad) {
    return QAccessible::queryAccessibleInterface(const_cast<Pad*>(pad));
}

void pressThroughAccessibility(const Pad* pad) {
    accessibleOf(pad)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// Counts the times a widget is hidden or shown.
class VisibilityWatch : public QObject {
public:
    explicit VisibilityWatch(QWidget* widget) { widget->installEventFilter(this); }
    int changes = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        changes += event->type() == QEvent::Hide || event->type() == QEvent::Show;
        return false;
    }
};

class RealGame : public ::testing::Test {
protected:
    void start(int holdMs = 0) {
        answerer = std::make_unique<MessageAnswerer>(holdMs);
        runtime.start(recorder);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(runtime.window()));
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

TEST_F(RealGame, playsOneRoundWithTheMouseAndReloadsOneLevelHigherInTheSameWindow) {
    start();
    ASSERT_TRUE(waitForPlayersTurn());
    EXPECT_EQ(answerer->texts(), QStringList{"GO!"});
    const auto pattern = form.state().pattern;
    const QPointer<GameWindow> top = runtime.window();
    const QPointer<FormWindow> first = window();
    const VisibilityWatch watch(top);

    clickPad(window(), expectedPad());

    EXPECT_EQ(answerer->texts(), (QStringList{"GO!", "Ready for level 2?"}));
    ASSERT_NE(window(), first.data());
    EXPECT_EQ(runtime.window(), top.data());
    EXPECT_EQ(watch.changes, 0) << "the window left the screen during the level-up";
    EXPECT_EQ(window()->parentWidget(), top.data());
    EXPECT_TRUE(window()->isVisible());
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
    MessageBox* seen = nullptr;
    QString caption;
    QStringList buttons;
    bool overWindow = false;
    QPoint boxCentre;
    start();
    answerer->setOnOpen([&](MessageBox* box) {
        seen = box;
        caption = box->windowTitle();
        for (const QAbstractButton* button : box->findChildren<QAbstractButton*>()) {
            buttons.append(button->text());
        }
        boxCentre = box->geometry().center();
        // Transient for the game window: compositors that place boxes by their parent need it.
        overWindow =
            box->windowHandle()->transientParent() == runtime.window()->windowHandle() &&
            box->parentWidget() == runtime.window() &&
            box->windowModality() == Qt::ApplicationModal &&
            !(box->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    });
    ASSERT_TRUE(waitForPlayersTurn());
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(caption, "Zintu");
    EXPECT_EQ(buttons, QStringList{"OK"});
    EXPECT_TRUE(overWindow);
    const QPoint offCentre = boxCentre - runtime.window()->geometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2) << offCentre.x() << "," << offCentre.y();
}

// Qt does not re-enter a timer's own slot, but a restarted timer fires inside the box's nested
// event loop: only the runtime's own gate keeps that tick from the game.
TEST_F(RealGame, noTickIsHandledWhileGoIsOpenEvenWhenTheTimerIsRestarted) {
    constexpr int heldIntervals = 4;
    bool litWhileOpen = false;
    start(heldIntervals * design::lightUpIntervalMs);
    answerer->setOnOpen([this, restarted = false](MessageBox*) mutable {
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

    EXPECT_TRUE(runtime.window()->close());

    EXPECT_TRUE(runtime.ended());
    EXPECT_FALSE(runtime.window()->isVisible());
    QTest::qWait(3 * design::lightUpIntervalMs);
    EXPECT_EQ(recorder.count("tick"), ticks);
}

TEST_F(RealGame, pressActionIsDroppedWhileABoxIsOpen) {
    start(100);
    answerer->setOnOpen([this](MessageBox*) {
        window()->pad(0)->setEnabled(true);
        pressThroughAccessibility(window()->pad(0));
    });
    ASSERT_TRUE(waitForPlayersTurn());
    QTest::qWait(10);
    EXPECT_EQ(recorder.count("down 0") + recorder.count("click 0"), 0);
}

TEST_F(RealGame, closingWhileAMessageIsOpenIsRefused) {
    bool closed = true;
    start();
    answerer->setOnOpen([&](MessageBox*) { closed = runtime.window()->close(); });
    ASSERT_TRUE(waitForPlayersTurn());
    EXPECT_FALSE(closed);
    EXPECT_FALSE(runtime.ended());
    EXPECT_TRUE(runtime.window()->isVisible());
}

class PadInput : public ::testing::Test {
protected:
    void SetUp() override {
        runtime.start(recorder);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(runtime.window()));
    }

    FormWindow* window() const { return runtime.form(); }

    QtRuntime runtime;
    RecordingGame recorder{runtime};
};

TEST_F(PadInput, quickSecondClickIsAnotherPressAndClickNotADoubleClick) {
    const QPoint yellow = centreOf(window()->pad(1));
    QTest::mouseDClick(screenWindowOf(window()), Qt::LeftButton, {}, yellow);
    const Events expected{"load", "down 1", "up 1", "click 1", "down 1", "up 1", "click 1"};
    EXPECT_EQ(recorder.events(), expected);
}

TEST_F(PadInput, releasingOutsideThePadRestoresButRaisesNoClick) {
    QTest::mousePress(screenWindowOf(window()), Qt::LeftButton, {}, centreOf(window()->pad(2)));
    QTest::mouseRelease(screenWindowOf(window()), Qt::LeftButton, {}, QPoint(250, 120));
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

TEST_F(PadInput, pressActionIsALeftClickAndDoesNothingOnADisabledPad) {
    runtime.setPadEnabled(2, false);
    pressThroughAccessibility(window()->pad(2));
    pressThroughAccessibility(window()->pad(1));
    const Events expected{"load", "down 1", "up 1", "click 1"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.events() == expected; }));
    QTest::qWait(10);
    EXPECT_EQ(recorder.events(), expected);
}

// Screen readers follow playback by the pads' checked state.
TEST_F(PadInput, litPadIsCheckedForAssistiveTechnology) {
    Pad* green = window()->pad(2);
    runtime.setBackColor(2, design::litColour);
    EXPECT_TRUE(accessibleOf(green)->state().checked);
    EXPECT_FALSE(accessibleOf(window()->pad(1))->state().checked);
    runtime.setBackColor(2, design::restingColour(2));
    EXPECT_FALSE(accessibleOf(green)->state().checked);
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
        QTest::mousePress(screenWindowOf(window()), Qt::LeftButton, {}, centre);
        QTest::qWait(clickIntervalMs / 2);
        QTest::mouseRelease(screenWindowOf(window()), Qt::LeftButton, {}, centre);
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
    answerer.setOnOpen([&](MessageBox* box) {
        overAWindow = box->parentWidget() != nullptr || runtime.window()->isVisible();
    });
    runtime.start(recorder);

    runtime.unloadForm();
    runtime.showForm();

    EXPECT_EQ(answerer.texts(), QStringList{"Level 100! Master!"});
    EXPECT_FALSE(overAWindow);
    EXPECT_TRUE(runtime.ended());
    EXPECT_FALSE(runtime.window()->isVisible());
}

}  // namespace
}  // namespace zintu
