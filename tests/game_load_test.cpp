#include <gtest/gtest.h>

#include <cmath>

#include "design.h"
#include "form1.h"
#include "headlessruntime.h"

namespace zintu {
namespace {

using testing::HeadlessRuntime;

constexpr PadIndex allPads[] = {0, 1, 2, 3};

class GameLoad : public ::testing::Test {
protected:
    void reload() {
        runtime.unloadForm();
        runtime.showForm();
    }

    HeadlessRuntime runtime;
    Form1 form{runtime};
};

TEST_F(GameLoad, firstLoadDrawsPatternOfPadNumbersAndLeavesElementZeroUnused) {
    runtime.start(form);
    const GameState& state = form.state();
    EXPECT_EQ(state.pattern[0], 0);
    for (int i = 1; i <= GameState::patternLength; ++i) {
        EXPECT_GE(state.pattern[i], 1) << "element " << i;
        EXPECT_LE(state.pattern[i], 4) << "element " << i;
    }
}

TEST_F(GameLoad, firstLoadShowsLevelOneAndStartsPlaybackWithPadsDisabled) {
    runtime.start(form);
    EXPECT_EQ(runtime.scoreCaption(), "Level: 1");
    EXPECT_EQ(form.state().level, 1);
    EXPECT_EQ(form.state().position, 1);
    EXPECT_TRUE(runtime.lightUpEnabled());
    EXPECT_TRUE(runtime.visible());
    for (const PadIndex pad : allPads) {
        EXPECT_FALSE(runtime.pad(pad).enabled) << "pad " << pad;
    }
}

TEST_F(GameLoad, everyLoadBuildsThePadGridOfThePadTable) {
    runtime.start(form);
    for (int load = 1; load <= 2; ++load) {
        for (const PadIndex pad : allPads) {
            const auto& state = runtime.pad(pad);
            const design::TwipRect place = design::padRect(pad);
            EXPECT_TRUE(state.visible) << "load " << load << ", pad " << pad;
            EXPECT_EQ(state.colour, design::restingColour(pad)) << "load " << load;
            EXPECT_EQ(state.left, place.left) << "load " << load << ", pad " << pad;
            EXPECT_EQ(state.top, place.top) << "load " << load << ", pad " << pad;
        }
        reload();
    }
}

TEST_F(GameLoad, reloadRaisesLevelAndKeepsPatternAlthoughSourceWasReseeded) {
    runtime.start(form);
    const GameState first = form.state();
    reload();
    EXPECT_EQ(runtime.reseeds(), 2);
    EXPECT_EQ(runtime.draws(), GameState::patternLength);
    EXPECT_EQ(runtime.scoreCaption(), "Level: 2");
    EXPECT_EQ(form.state().pattern, first.pattern);
    EXPECT_EQ(form.state().position, 1);
    EXPECT_TRUE(runtime.lightUpEnabled());
}

TEST_F(GameLoad, loadThatReachesLevelHundredShowsMasterAndEndsWithoutBuildingPads) {
    runtime.start(form);
    while (form.state().level < 99) {
        reload();
    }
    ASSERT_TRUE(runtime.messages().empty());
    reload();
    EXPECT_EQ(runtime.scoreCaption(), "Level: 100");
    ASSERT_EQ(runtime.messages().size(), 1u);
    EXPECT_EQ(runtime.messages()[0], "Level 100! Master!");
    EXPECT_TRUE(runtime.ended());
    EXPECT_FALSE(runtime.visible());
    EXPECT_EQ(runtime.lightUpStartsThisLoad(), 0);
    for (const PadIndex pad : {1, 2, 3}) {
        EXPECT_FALSE(runtime.pad(static_cast<PadIndex>(pad)).exists) << "pad " << pad;
    }
}

class PatternDraw : public ::testing::TestWithParam<std::pair<double, int>> {};

TEST_P(PatternDraw, drawMapsToPadNumberByQuarters) {
    // Not a structured binding: clang 14, the web build's compiler, cannot capture one.
    const double draw = GetParam().first;
    const int padNumber = GetParam().second;
    HeadlessRuntime runtime;
    runtime.setUnitDraws([draw] { return draw; });
    Form1 form(runtime);
    runtime.start(form);
    for (int i = 1; i <= GameState::patternLength; ++i) {
        ASSERT_EQ(form.state().pattern[i], padNumber) << "element " << i;
    }
}

// The largest double below 1 rounds to 1.0f when narrowed naively, which made pad number 5.
INSTANTIATE_TEST_SUITE_P(Boundaries, PatternDraw,
                         ::testing::Values(std::pair{0.0, 1}, std::pair{0.2499999, 1},
                                           std::pair{0.25, 2}, std::pair{0.5, 3},
                                           std::pair{0.75, 4},
                                           std::pair{std::nextafter(1.0, 0.0), 4}));

}  // namespace
}  // namespace zintu
