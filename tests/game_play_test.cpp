#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "design.h"
#include "form1.h"
#include "headlessruntime.h"
#include "messages.h"

namespace zintu {
namespace {

using testing::HeadlessRuntime;

// Draws that make colorset produce these pad numbers first, then pad 1 for the rest.
std::function<double()> drawsFor(std::vector<int> padNumbers) {
    return [padNumbers, next = std::size_t{0}]() mutable {
        const int padNumber = next < padNumbers.size() ? padNumbers[next] : 1;
        ++next;
        return (padNumber - 1 + 0.5) / 4.0;
    };
}

class GamePlay : public ::testing::Test {
protected:
    void startWithPattern(std::vector<int> padNumbers) {
        runtime.setUnitDraws(drawsFor(std::move(padNumbers)));
        runtime.start(form);
    }

    // Moves to a level by window reloads alone, as level-ups do, without playing.
    void reloadTo(int level) {
        while (form.state().level < level) {
            runtime.unloadForm();
            runtime.showForm();
        }
    }

    std::optional<PadIndex> litPad() const {
        std::optional<PadIndex> lit;
        for (PadIndex pad = 0; pad < design::padCount; ++pad) {
            if (runtime.pad(pad).colour == design::litColour) {
                EXPECT_FALSE(lit) << "two pads lit at " << runtime.now() << " ms";
                lit = pad;
            }
        }
        return lit;
    }

    // The lit pad after each tick until the timer stops.
    std::vector<std::optional<PadIndex>> watchPlayback() {
        std::vector<std::optional<PadIndex>> seen;
        while (runtime.lightUpEnabled()) {
            runtime.advanceOneTick();
            seen.push_back(litPad());
        }
        return seen;
    }

    void finishPlayback() {
        while (runtime.lightUpEnabled()) {
            runtime.advanceOneTick();
        }
    }

    PadIndex expectedPad(int element) const { return form.state().padAt(element); }

    PadIndex wrongPad(int element) const {
        return static_cast<PadIndex>((expectedPad(element) + 1) % design::padCount);
    }

    bool allPadsEnabled() const {
        for (PadIndex pad = 0; pad < design::padCount; ++pad) {
            if (!runtime.pad(pad).enabled) {
                return false;
            }
        }
        return true;
    }

    HeadlessRuntime runtime;
    Form1 form{runtime};
};

using Lit = std::vector<std::optional<PadIndex>>;

TEST_F(GamePlay, levelOneLightsFirstElementThenSaysGoAndHandsOverThePads) {
    startWithPattern({3});
    runtime.advance(299);
    EXPECT_EQ(litPad(), std::nullopt);
    runtime.advance(1);
    EXPECT_EQ(litPad(), PadIndex{2});
    EXPECT_TRUE(runtime.messages().empty());
    runtime.advance(300);
    EXPECT_EQ(litPad(), std::nullopt);
    EXPECT_EQ(runtime.messages(), std::vector<std::string>{"GO!"});
    EXPECT_FALSE(runtime.lightUpEnabled());
    EXPECT_TRUE(allPadsEnabled());
    EXPECT_EQ(form.state().position, 1);
}

TEST_F(GamePlay, levelThreePlaysRepeatedPadWithARestBetween) {
    startWithPattern({2, 2, 4});
    reloadTo(3);
    const Lit expected{1, std::nullopt, 1, std::nullopt, 3, std::nullopt};
    EXPECT_EQ(watchPlayback(), expected);
    EXPECT_EQ(runtime.now(), 3 * 600);
    EXPECT_EQ(runtime.messages(), std::vector<std::string>{"GO!"});
}

TEST_F(GamePlay, goComesAtLevelTimesSixHundredMillisecondsAtEveryLevel) {
    runtime.start(form);
    for (const int level : {1, 2, 20, 99}) {
        reloadTo(level);
        const long long started = runtime.now();
        finishPlayback();
        EXPECT_EQ(runtime.now() - started, level * 600LL) << "level " << level;
    }
}

TEST_F(GamePlay, ticksFallingDueWhileGoIsOpenAreDroppedNotDeliveredLater) {
    startWithPattern({1, 2});
    reloadTo(2);
    runtime.setWhileMessageOpen([this](const std::string&) {
        runtime.advance(5 * design::lightUpIntervalMs);
        EXPECT_EQ(litPad(), std::nullopt);
    });
    finishPlayback();
    EXPECT_EQ(runtime.messages().size(), 1u);
    EXPECT_EQ(litPad(), std::nullopt);
    EXPECT_EQ(form.state().position, 1);
    EXPECT_TRUE(allPadsEnabled());
}

TEST_F(GamePlay, heldPadStaysWhiteUntilReleased) {
    startWithPattern({1});
    finishPlayback();
    runtime.mouseDown(3);
    EXPECT_EQ(litPad(), PadIndex{3});
    runtime.mouseUp(3);
    EXPECT_EQ(runtime.pad(3).colour, design::restingColour(3));
    EXPECT_EQ(runtime.messages().size(), 1u) << "a press without a click is not judged";
}

TEST_F(GamePlay, wrongClickChangesNothingAndTheSameElementIsJudgedAgain) {
    startWithPattern({1, 2, 3});
    reloadTo(3);
    finishPlayback();
    runtime.clickPad(expectedPad(1));
    runtime.clickPad(expectedPad(2));
    ASSERT_EQ(form.state().position, 3);
    const GameState before = form.state();

    runtime.clickPad(wrongPad(3));
    EXPECT_EQ(runtime.messages().back(), "You got to level 3. You should practice more.");
    EXPECT_EQ(form.state().position, before.position);
    EXPECT_EQ(form.state().level, before.level);
    EXPECT_EQ(form.state().pattern, before.pattern);
    EXPECT_TRUE(allPadsEnabled());

    runtime.clickPad(expectedPad(3));
    EXPECT_EQ(runtime.messages().back(), "Ready for level 4?");
    EXPECT_EQ(runtime.scoreCaption(), "Level: 4");
}

TEST_F(GamePlay, completedRoundReloadsTheWindowOneLevelHigherAndReplaysFromTheStart) {
    startWithPattern({4, 1});
    finishPlayback();
    runtime.clickPad(3);
    EXPECT_EQ(runtime.messages().back(), "Ready for level 2?");
    EXPECT_EQ(runtime.loads(), 2);
    EXPECT_EQ(runtime.scoreCaption(), "Level: 2");
    EXPECT_EQ(form.state().position, 1);
    EXPECT_TRUE(runtime.lightUpEnabled());
    EXPECT_EQ(watchPlayback(), (Lit{3, std::nullopt, 0, std::nullopt}));
}

struct Rating {
    int level;
    std::string message;
};

class WrongClickRating : public GamePlay, public ::testing::WithParamInterface<Rating> {};

TEST_P(WrongClickRating, dependsOnTheLevelReached) {
    runtime.start(form);
    reloadTo(GetParam().level);
    finishPlayback();
    runtime.clickPad(wrongPad(1));
    EXPECT_EQ(runtime.messages().back(), GetParam().message);
    EXPECT_EQ(runtime.messages().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, WrongClickRating,
    ::testing::Values(Rating{4, "You got to level 4. You should practice more."},
                      Rating{5, "You reached level 5. That's good, but you should try again."},
                      Rating{9, "You reached level 9. That's good, but you should try again."},
                      Rating{10, "You achieved level 10! That's really good!"},
                      Rating{19, "You achieved level 19! That's really good!"},
                      Rating{20, "Wow! Level 20 is really hard to get to!"},
                      Rating{99, "Wow! Level 99 is really hard to get to!"}));

// A player who watches every playback, clicks it back, and slips once at some levels.
TEST_F(GamePlay, wholeGamePlaysFromLevelOneToMaster) {
    runtime.start(form);
    const auto pattern = form.state().pattern;
    std::size_t seen = 0;
    const auto nextMessage = [&] {
        EXPECT_LT(seen, runtime.messages().size());
        return seen < runtime.messages().size() ? runtime.messages()[seen++] : std::string();
    };

    for (int level = 1; level <= 99; ++level) {
        ASSERT_EQ(runtime.scoreCaption(), messages::levelCaption(level));
        ASSERT_TRUE(runtime.visible());
        const Lit lit = watchPlayback();
        ASSERT_EQ(lit.size(), static_cast<std::size_t>(2 * level));
        for (int element = 1; element <= level; ++element) {
            ASSERT_EQ(lit[static_cast<std::size_t>(2 * element - 2)], expectedPad(element));
        }
        ASSERT_EQ(nextMessage(), "GO!");

        for (int element = 1; element <= level; ++element) {
            if (element == level && level % 7 == 0) {
                runtime.clickPad(wrongPad(element));
                ASSERT_EQ(nextMessage(), messages::rating(level));
            }
            runtime.clickPad(expectedPad(element));
        }
        ASSERT_EQ(nextMessage(), "Ready for level" + formatNumber(level + 1) + "?");
        ASSERT_EQ(form.state().pattern, pattern) << "level " << level;
    }
    EXPECT_EQ(nextMessage(), "Level 100! Master!");
    EXPECT_EQ(seen, runtime.messages().size());
    EXPECT_TRUE(runtime.ended());
    EXPECT_FALSE(runtime.visible());
}

}  // namespace
}  // namespace zintu
