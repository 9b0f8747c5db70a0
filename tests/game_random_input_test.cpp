#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

#include "design.h"
#include "form1.h"
#include "headlessruntime.h"
#include "messages.h"

namespace zintu {
namespace {

using testing::HeadlessRuntime;

constexpr int gamesPlayed = 3000;
constexpr int eventsPerGame = 1000;

// ZINTU_RANDOM_SEED replays a run; otherwise each run takes a new seed and prints it.
std::uint64_t chosenSeed() {
    if (const char* given = std::getenv("ZINTU_RANDOM_SEED")) {
        return std::strtoull(given, nullptr, 10);
    }
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

// One game driven by random input, checking the game's invariants after every event.
class RandomGame {
public:
    explicit RandomGame(std::mt19937_64& random) : random_(random), runtime_(random()) {
        runtime_.setWhileMessageOpen([this](const std::string&) { whileMessageOpen(); });
    }

    int level() const { return form_.state().level; }

    void play() {
        runtime_.start(form_);
        pattern_ = form_.state().pattern;
        checkInvariants("start");
        for (int event = 0; event < eventsPerGame && !runtime_.ended(); ++event) {
            const std::string what = randomEvent();
            checkInvariants(what);
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }

private:
    int roll(int sides) { return std::uniform_int_distribution<int>(0, sides - 1)(random_); }
    PadIndex randomPad() { return static_cast<PadIndex>(roll(design::padCount)); }

    std::string randomEvent() {
        switch (roll(12)) {
            case 0:
            case 1:
            case 2:
                runtime_.advance(roll(2 * design::lightUpIntervalMs));
                return "time";
            case 3:
                return judgedClick(randomPad());
            case 4:
            case 5:
            case 6:
                return judgedClick(expectedPad());
            case 7:
                runtime_.mouseDown(randomPad());
                return "press without release";
            case 8:
                runtime_.mouseUp(randomPad());
                return "release outside the pad";
            case 9: {
                const PadIndex pad = expectedPad();
                return judgedClick(pad) + ", then " + judgedClick(pad) + " at once";
            }
            case 10:
                runtime_.advance(design::lightUpIntervalMs * 2 * form_.state().level);
                return "playback";
            default:
                return roll(40) == 0 ? close() : "nothing";
        }
    }

    // A left click, checked against what the game must answer to it.
    std::string judgedClick(PadIndex pad) {
        const bool delivered =
            !runtime_.ended() && !runtime_.messageOpen() && runtime_.pad(pad).enabled;
        const GameState before = form_.state();
        const std::size_t messagesBefore = runtime_.messages().size();
        const bool correct = pad == expectedPad();
        runtime_.clickPad(pad);
        const std::size_t shown = runtime_.messages().size() - messagesBefore;
        if (!delivered) {
            EXPECT_EQ(shown, 0u) << "a click that no pad took showed a message";
        } else if (!correct) {
            EXPECT_EQ(shown, 1u) << "a wrong click must show exactly one rating";
            EXPECT_EQ(runtime_.messages().at(messagesBefore), messages::rating(before.level));
            EXPECT_EQ(form_.state().position, before.position);
            EXPECT_EQ(form_.state().level, before.level);
        } else if (before.position == before.level) {
            EXPECT_EQ(runtime_.messages().at(messagesBefore),
                      messages::readyForLevel(before.level + 1));
        }
        return "click on pad " + std::to_string(pad);
    }

    std::string close() {
        const bool refused = runtime_.messageOpen();
        const bool ended = runtime_.close();
        EXPECT_NE(ended, refused) << "a close must end the game unless a message is open";
        return "close";
    }

    // A player clicking, waiting and closing while a box is open: none of it may reach the game.
    void whileMessageOpen() {
        const GameState before = form_.state();
        const std::size_t messages = runtime_.messages().size();
        switch (roll(4)) {
            case 0:
                runtime_.clickPad(randomPad());
                break;
            case 1:
                runtime_.advance(roll(4 * design::lightUpIntervalMs));
                break;
            case 2:
                EXPECT_FALSE(runtime_.close()) << "a close over an open message must be refused";
                break;
            default:
                break;
        }
        EXPECT_EQ(runtime_.messages().size(), messages) << "an event reached the game under a box";
        EXPECT_EQ(form_.state().position, before.position);
    }

    PadIndex expectedPad() const {
        const GameState& state = form_.state();
        const int element = std::max(state.position, 1);
        return state.padAt(element);
    }

    void checkInvariants(const std::string& after) {
        SCOPED_TRACE("after " + after);
        const GameState& state = form_.state();
        ASSERT_EQ(state.pattern, pattern_) << "the pattern changed";
        ASSERT_GE(state.level, 1);
        ASSERT_LE(state.level, GameState::masterLevel);
        if (runtime_.ended()) {
            return;
        }
        ASSERT_GE(state.position, 1);
        ASSERT_LE(state.position, state.level);
        int enabledPads = 0;
        int litPads = 0;
        for (PadIndex pad = 0; pad < design::padCount; ++pad) {
            enabledPads += runtime_.pad(pad).enabled ? 1 : 0;
            litPads += runtime_.pad(pad).colour == design::litColour ? 1 : 0;
        }
        ASSERT_FALSE(runtime_.lightUpEnabled() && enabledPads > 0)
            << "timer and pads enabled together";
        if (runtime_.lightUpEnabled()) {
            ASSERT_LE(litPads, 1) << "more than one pad lit during playback";
        }
    }

    std::mt19937_64& random_;
    HeadlessRuntime runtime_;
    Form1 form_{runtime_};
    decltype(GameState::pattern) pattern_{};
};

TEST(RandomInput, thousandsOfGamesKeepEveryInvariant) {
    const std::uint64_t seed = chosenSeed();
    std::cout << "random input seed " << seed << " (replay with ZINTU_RANDOM_SEED=" << seed
              << ")\n";
    RecordProperty("seed", std::to_string(seed));
    std::mt19937_64 random(seed);
    int highestLevel = 0;
    for (int game = 0; game < gamesPlayed; ++game) {
        SCOPED_TRACE("game " + std::to_string(game) + " of seed " + std::to_string(seed));
        RandomGame played(random);
        played.play();
        if (HasFailure()) {
            return;
        }
        highestLevel = std::max(highestLevel, played.level());
    }
    std::cout << gamesPlayed << " games, the best reached level " << highestLevel << "\n";
}

}  // namespace
}  // namespace zintu
