#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "boxanswerer.h"
#include "design.h"
#include "form1.h"
#include "host.h"
#include "messages.h"
#include "recordinggame.h"
#include "windowdriver.h"

// What every toolkit's real window must do under the host, checked through the window system:
// real input, what the screen shows, and the boxes as they open.
namespace zintu {
namespace {

using testing::BoxAnswerer;
using testing::Button;
using testing::RecordingGame;
using testing::SeenBox;
using testing::WindowDriver;
using Events = std::vector<std::string>;
using Texts = std::vector<std::string>;

constexpr int playbackTimeoutMs = 5000;
constexpr int settleMs = 50;

void click(WindowDriver& driver, PadIndex pad, Button button = Button::left) {
    driver.press(pad, button);
    driver.release(pad, button);
}

Colour shownOn(WindowDriver& driver, PadIndex pad) {
    const design::PixelRect place = design::toPixels(design::padRect(pad));
    return driver.shownAt(place.x + place.width / 2, place.y + place.height / 2);
}

bool anyPadLit(WindowDriver& driver) {
    for (PadIndex pad = 0; pad < design::padCount; ++pad) {
        if (shownOn(driver, pad) == design::litColour) {
            return true;
        }
    }
    return false;
}

// The real game on the real window.
class WindowGame : public ::testing::Test {
protected:
    void start(int holdMs = 0) {
        answerer = std::make_unique<BoxAnswerer>(*driver, holdMs);
        host.start(recorder);
        ASSERT_TRUE(driver->settle());
    }

    // Until this many boxes are answered and closed.
    bool waitForAnswers(int count) {
        return driver->runUntil(
            [&] { return answerer->answered() >= count && !host.messageOpen(); },
            playbackTimeoutMs);
    }

    // "GO!" answered: the pads are the player's.
    bool waitForPlayersTurn() { return waitForAnswers(1); }

    PadIndex expectedPad() const {
        const GameState& state = form.state();
        return state.padAt(state.position);
    }

    void runFor(int ms) {
        driver->runUntil([] { return false; }, ms);
    }

    std::unique_ptr<WindowDriver> driver = testing::makeWindowDriver();
    Host host{driver->toolkit()};
    Form1 form{host};
    RecordingGame recorder{host, &form};
    std::unique_ptr<BoxAnswerer> answerer;
};

TEST_F(WindowGame, roundPlayedWithTheMouseReloadsOneLevelHigherInTheSameWindow) {
    start();
    ASSERT_TRUE(waitForPlayersTurn());
    const auto pattern = form.state().pattern;
    const std::uintptr_t window = driver->windowIdentity();

    click(*driver, expectedPad());

    ASSERT_TRUE(waitForAnswers(2));
    EXPECT_EQ(answerer->texts(), (Texts{"GO!", "Ready for level 2?"}));
    EXPECT_EQ(driver->windowIdentity(), window);
    EXPECT_TRUE(driver->windowShown());
    EXPECT_EQ(driver->labelText(), "Level: 2");
    EXPECT_EQ(form.state().pattern, pattern);
    for (PadIndex pad = 0; pad < design::padCount; ++pad) {
        EXPECT_EQ(shownOn(*driver, pad), design::restingColour(pad)) << "pad " << pad;
    }
    // The new form's timer beats: level 2's playback starts.
    const int ticks = recorder.count("tick");
    EXPECT_TRUE(driver->runUntil([&] { return recorder.count("tick") > ticks; }, 1000));
    // The old form is destroyed once the click that unloaded it has returned.
    EXPECT_TRUE(driver->runUntil([&] { return driver->formsInWindow() == 1; }, 1000));
    EXPECT_FALSE(host.ended());
}

TEST_F(WindowGame, wrongClickShowsTheRatingAndTheSameElementIsJudgedAgain) {
    start();
    ASSERT_TRUE(waitForPlayersTurn());
    const auto wrong = static_cast<PadIndex>((expectedPad() + 1) % design::padCount);

    click(*driver, wrong);

    ASSERT_TRUE(waitForAnswers(2));
    EXPECT_EQ(answerer->texts().back(), "You got to level 1. You should practice more.");
    EXPECT_FALSE(anyPadLit(*driver));
    EXPECT_EQ(form.state().position, 1);

    click(*driver, expectedPad());

    ASSERT_TRUE(waitForAnswers(3));
    EXPECT_EQ(answerer->texts().back(), "Ready for level 2?");
}

TEST_F(WindowGame, boxIsCaptionedZintuWithOneOkButtonAndModalToTheGameWindow) {
    start();
    ASSERT_TRUE(waitForPlayersTurn());
    ASSERT_EQ(answerer->boxes().size(), 1u);
    const SeenBox& go = answerer->boxes()[0];
    EXPECT_EQ(go.caption, "Zintu");
    EXPECT_EQ(go.text, "GO!");
    EXPECT_EQ(go.buttons, Texts{"OK"});
    EXPECT_TRUE(go.ownedByGameWindow);
    EXPECT_TRUE(go.modal);
}

// A toolkit may go on dispatching the timer in a box's own loop, and a restarted timer fires
// there on every toolkit: only the host's gate keeps those ticks from the game.
TEST_F(WindowGame, noTickIsHandledWhileGoIsOpenEvenWhenTheTimerIsRestarted) {
    constexpr int heldIntervals = 4;
    bool litWhileOpen = false;
    start(heldIntervals * design::lightUpIntervalMs);
    answerer->setOnOpen([this](const SeenBox&) {
        host.setLightUpEnabled(false);
        host.setLightUpEnabled(true);
    });
    // Wine shows the box a moment before the last pad's paint reaches the screen; a tick let
    // through would light a pad for a whole interval.
    driver->startPolling([&] {
        litWhileOpen |=
            answerer->openFor() > std::chrono::milliseconds(settleMs) && anyPadLit(*driver);
    });

    ASSERT_TRUE(waitForPlayersTurn());
    runFor(2 * design::lightUpIntervalMs);

    EXPECT_EQ(recorder.count("tick"), 2);
    EXPECT_EQ(answerer->texts(), Texts{"GO!"});
    EXPECT_FALSE(litWhileOpen);
}

TEST_F(WindowGame, closingDuringPlaybackEndsTheProgram) {
    start();
    ASSERT_TRUE(driver->runUntil([this] { return anyPadLit(*driver); }, playbackTimeoutMs));
    const int ticks = recorder.count("tick");

    driver->requestClose();

    EXPECT_TRUE(host.ended());
    EXPECT_EQ(host.exitStatus(), 0);
    EXPECT_FALSE(driver->windowShown());
    runFor(3 * design::lightUpIntervalMs);
    EXPECT_EQ(recorder.count("tick"), ticks);
}

TEST_F(WindowGame, closingIsRefusedWhileABoxIsOpenAndEndsTheProgramOtherwise) {
    bool endedWhileOpen = true;
    start();
    answerer->setOnOpen([&](const SeenBox&) {
        driver->requestClose();
        endedWhileOpen = host.ended();
    });
    ASSERT_TRUE(waitForPlayersTurn());
    EXPECT_FALSE(endedWhileOpen);
    EXPECT_TRUE(driver->windowShown());

    driver->requestClose();

    EXPECT_TRUE(host.ended());
    EXPECT_FALSE(driver->windowShown());
}

TEST_F(WindowGame, pressActionIsDroppedWhileABoxIsOpen) {
    start(100);
    answerer->setOnOpen([this](const SeenBox&) {
        host.setPadEnabled(0, true);
        driver->pressAction(0);
    });
    ASSERT_TRUE(waitForPlayersTurn());
    runFor(settleMs);
    EXPECT_EQ(recorder.count("down 0") + recorder.count("click 0"), 0);
}

// The load that reaches level 100 shows its message with no game window to sit over, then ends.
TEST(WindowEnd, levelHundredBoxStandsAloneAndTheWindowNeverShowsAgain) {
    const auto driver = testing::makeWindowDriver();
    Host host(driver->toolkit());
    RecordingGame recorder(host);
    recorder.setOnLoad([&](int load) {
        if (load == 2) {
            host.msgBox("Level 100! Master!");
            host.end();
        }
    });
    bool windowShownUnderBox = true;
    BoxAnswerer answerer(*driver);
    answerer.setOnOpen([&](const SeenBox&) { windowShownUnderBox = driver->windowShown(); });
    host.start(recorder);
    ASSERT_TRUE(driver->settle());

    host.unloadForm();
    host.showForm();

    ASSERT_EQ(answerer.texts(), Texts{"Level 100! Master!"});
    EXPECT_FALSE(answerer.boxes()[0].ownedByGameWindow);
    EXPECT_FALSE(windowShownUnderBox);
    EXPECT_TRUE(host.ended());
    driver->runUntil([] { return false; }, settleMs);
    EXPECT_FALSE(driver->windowShown());
}

// Lights a pad it never loaded when pad 0, the one pad a form has before any load, is clicked.
class IllegalClick : public FormEvents {
public:
    explicit IllegalClick(Runtime& runtime) : runtime_(runtime) {}

    void Form_Load() override {}
    void LightUp_Timer() override {}
    void Press_MouseDown(PadIndex) override {}
    void Press_MouseUp(PadIndex) override {}
    void Press_Click(PadIndex) override { runtime_.setBackColor(3, design::litColour); }

private:
    Runtime& runtime_;
};

TEST(WindowEnd, illegalCallInAHandlerShowsTheErrorBoxAloneAndEndsWithTheFailureStatus) {
    const auto driver = testing::makeWindowDriver();
    Host host(driver->toolkit());
    IllegalClick game(host);
    BoxAnswerer answerer(*driver);
    host.start(game);
    ASSERT_TRUE(driver->settle());

    click(*driver, 0);

    ASSERT_TRUE(driver->runUntil([&] { return host.ended(); }, playbackTimeoutMs));
    ASSERT_EQ(answerer.boxes().size(), 1u);
    const std::string& text = answerer.boxes()[0].text;
    EXPECT_EQ(text.rfind(design::internalErrorMessage, 0), 0u) << text;
    EXPECT_NE(text.find("setBackColor on pad 3"), std::string::npos) << text;
    EXPECT_FALSE(answerer.boxes()[0].ownedByGameWindow);
    EXPECT_EQ(host.exitStatus(), Host::failureStatus);
    EXPECT_FALSE(driver->windowShown());
}

// Builds the grid at every load. The first time a pad raises `from`, it unloads the form and
// loads it again from inside that pad's own handler, as a level-up does, then opens `box` if it
// has one, as the level that ends the game does.
class ReloadFromAPad : public FormEvents {
public:
    enum class From { mouseDown, click };

    ReloadFromAPad(Runtime& runtime, From from, std::string box = {})
        : runtime_(runtime), from_(from), box_(std::move(box)) {}

    void Form_Load() override { loadcolors(runtime_); }
    void LightUp_Timer() override {}
    void Press_MouseDown(PadIndex) override { reloadFrom(From::mouseDown); }
    void Press_MouseUp(PadIndex) override {}
    void Press_Click(PadIndex) override { reloadFrom(From::click); }

private:
    void reloadFrom(From from) {
        if (from != from_ || reloaded_) {
            return;
        }
        reloaded_ = true;
        runtime_.unloadForm();
        runtime_.showForm();
        if (!box_.empty()) {
            runtime_.msgBox(box_);
        }
    }

    Runtime& runtime_;
    From from_;
    std::string box_;
    bool reloaded_ = false;
};

// A box's own loop runs while the handler that opened it is still on the stack, and with it the
// unloaded form's pad that raised the event.
TEST(WindowReload, formUnloadedInItsPadsHandlerOutlivesABoxOpenedThereAndGoesOnceItReturns) {
    const auto driver = testing::makeWindowDriver();
    Host host(driver->toolkit());
    ReloadFromAPad game(host, ReloadFromAPad::From::click, "Level 100! Master!");
    BoxAnswerer answerer(*driver);
    std::pair<int, int> formsAndPadsUnderTheBox;
    answerer.setOnOpen([&](const SeenBox&) {
        formsAndPadsUnderTheBox = {driver->formsInWindow(), driver->padsInWindow()};
    });
    host.start(game);
    ASSERT_TRUE(driver->settle());

    click(*driver, 0);

    ASSERT_TRUE(driver->runUntil([&] { return answerer.answered() == 1 && !host.messageOpen(); },
                                 playbackTimeoutMs));
    EXPECT_EQ(formsAndPadsUnderTheBox, std::make_pair(2, 2 * design::padCount));
    EXPECT_TRUE(driver->runUntil(
        [&] { return driver->formsInWindow() == 1 && driver->padsInWindow() == design::padCount; },
        playbackTimeoutMs));
}

// The pad holding a press goes with its form; the release then finds no pad, nor the window.
// The pointer must not stay pressed on the pad that is gone.
TEST(WindowReload, padThatGoesMidPressLeavesTheNextPressTakenWhereverTheFirstWasReleased) {
    const auto driver = testing::makeWindowDriver();
    Host host(driver->toolkit());
    ReloadFromAPad reloading(host, ReloadFromAPad::From::mouseDown);
    RecordingGame recorder(host, &reloading);
    host.start(recorder);
    ASSERT_TRUE(driver->settle());

    driver->press(1, Button::left);
    ASSERT_TRUE(driver->runUntil([&] { return driver->formsInWindow() == 1; }, playbackTimeoutMs));
    driver->releaseOutsideTheWindow(Button::left);
    click(*driver, 2);

    const Events expected{"load", "down 1", "load", "down 2", "up 2", "click 2"};
    driver->runUntil([&] { return recorder.events() == expected; }, playbackTimeoutMs);
    EXPECT_EQ(recorder.events(), expected);
}

// Pads on a form whose grid is built and enabled, with nothing else running.
class WindowPads : public ::testing::Test {
protected:
    void SetUp() override {
        host.start(recorder);
        ASSERT_TRUE(driver->settle());
    }

    bool eventsBecome(const Events& expected) {
        return driver->runUntil([&] { return recorder.events() == expected; }, 1000);
    }

    std::unique_ptr<WindowDriver> driver = testing::makeWindowDriver();
    Host host{driver->toolkit()};
    RecordingGame recorder{host};
};

TEST_F(WindowPads, everyButtonPressesAndReleasesButOnlyTheLeftClicks) {
    click(*driver, 3, Button::right);
    click(*driver, 3, Button::middle);
    click(*driver, 3);
    EXPECT_TRUE(
        eventsBecome({"load", "down 3", "up 3", "down 3", "up 3", "down 3", "up 3", "click 3"}));
}

TEST_F(WindowPads, quickSecondClickIsAnotherClickNotADoubleClick) {
    driver->doubleClick(1);
    EXPECT_TRUE(eventsBecome({"load", "down 1", "up 1", "click 1", "down 1", "up 1", "click 1"}));
}

TEST_F(WindowPads, releaseOutsideThePadGoesToItAndRestoresButRaisesNoClick) {
    driver->press(2, Button::left);
    driver->releaseOffThePads(Button::left);
    EXPECT_TRUE(eventsBecome({"load", "down 2", "up 2"}));
}

TEST_F(WindowPads, disabledPadRaisesNothingAndKeepsItsColour) {
    host.setPadEnabled(0, false);
    click(*driver, 0);
    driver->runUntil([] { return false; }, settleMs);
    EXPECT_EQ(recorder.events(), Events{"load"});
    EXPECT_EQ(shownOn(*driver, 0), design::restingColour(0));
}

TEST_F(WindowPads, pressActionIsALeftClickAndDoesNothingOnADisabledPad) {
    host.setPadEnabled(2, false);
    driver->pressAction(2);
    driver->pressAction(1);
    const Events expected{"load", "down 1", "up 1", "click 1"};
    EXPECT_TRUE(eventsBecome(expected));
    driver->runUntil([] { return false; }, settleMs);
    EXPECT_EQ(recorder.events(), expected);
}

TEST_F(WindowPads, fastPlayerLosesNoClickAtTwentyClicksASecondForTenSeconds) {
    constexpr int clicks = 200;
    constexpr int halfClickMs = 25;
    // Pairs of the same pad in a row, which a toolkit could read as double-clicks.
    constexpr PadIndex order[] = {0, 0, 1, 2, 2, 3, 1, 1};
    Events expected{"load"};
    for (int i = 0; i < clicks; ++i) {
        const PadIndex pad = order[i % std::size(order)];
        driver->press(pad, Button::left);
        driver->runUntil([] { return false; }, halfClickMs);
        driver->release(pad, Button::left);
        driver->runUntil([] { return false; }, halfClickMs);
        for (const char* event : {"down ", "up ", "click "}) {
            expected.push_back(event + std::to_string(pad));
        }
    }
    EXPECT_TRUE(eventsBecome(expected));
}

// The window as designed, at rest: its playback stopped, so that no pad is lit while it is read.
class WindowDesign : public WindowGame {
protected:
    void SetUp() override {
        start();
        host.setLightUpEnabled(false);
        driver->runUntil([this] { return !anyPadLit(*driver); }, playbackTimeoutMs);
    }
};

TEST_F(WindowDesign, windowHasTheDesignedCaptionAndClientSizeAndCannotBeResizedOrMaximised) {
    EXPECT_EQ(driver->windowCaption(), design::formCaption);
    EXPECT_EQ(driver->clientSize(), std::make_pair(design::toPixels(design::clientWidth),
                                                   design::toPixels(design::clientHeight)));
    EXPECT_TRUE(driver->fixedSize());
}

// Each pad's outermost pixels show its colour, and the orange starts right of the grid: pads
// that overlapped, or left a gap, would show another colour at one of them.
TEST_F(WindowDesign, padsTileTheirSquareEdgeToEdgeWithTheOrangeBeside) {
    int gridRight = 0;
    for (PadIndex pad = 0; pad < design::padCount; ++pad) {
        const design::PixelRect place = design::toPixels(design::padRect(pad));
        const int right = place.x + place.width - 1;
        const int bottom = place.y + place.height - 1;
        for (const auto& [x, y] : {std::pair{place.x, place.y}, std::pair{right, place.y},
                                   std::pair{place.x, bottom}, std::pair{right, bottom}}) {
            EXPECT_EQ(driver->shownAt(x, y), design::restingColour(pad))
                << "pad " << pad << " at " << x << "," << y;
        }
        gridRight = std::max(gridRight, right + 1);
    }
    const int gridBottom = design::toPixels(2 * design::padSize) - 1;
    EXPECT_EQ(driver->shownAt(gridRight, 0), design::formBackColor);
    EXPECT_EQ(driver->shownAt(gridRight, gridBottom), design::formBackColor);
}

// The widest captions once overflowed the label and were cut.
TEST_F(WindowDesign, everyLevelCaptionFromOneToNinetyNineShowsWholeInTheLabel) {
    for (int level = 1; level <= 99; ++level) {
        host.setScoreCaption(messages::levelCaption(level));
        ASSERT_EQ(driver->labelText(), messages::levelCaption(level));
        EXPECT_TRUE(driver->labelShowsWhole()) << "level " << level;
    }
}

// Screen readers name the pads by colour, press them, and follow playback by their pressed
// state.
TEST_F(WindowDesign, eachPadIsAButtonNamedByColourWithAPressActionAndPressedWhileLit) {
    for (PadIndex pad = 0; pad < design::padCount; ++pad) {
        const std::string_view name = design::padTable[static_cast<std::size_t>(pad)].name;
        const testing::SeenAccessible resting = driver->accessibleOf(pad);
        EXPECT_EQ(resting.role, "button") << name;
        EXPECT_EQ(resting.name, name);
        EXPECT_EQ(resting.actions, Texts{"Press"}) << name;
        EXPECT_FALSE(resting.pressed) << name;
        host.setBackColor(pad, design::litColour);
        EXPECT_TRUE(driver->accessibleOf(pad).pressed) << name;
        host.setBackColor(pad, design::restingColour(pad));
        EXPECT_FALSE(driver->accessibleOf(pad).pressed) << name;
    }
}

}  // namespace
}  // namespace zintu
