#include <gtest/gtest.h>

#include "beatschedule.h"

namespace zintu {
namespace {

constexpr long long interval = 300;

BeatSchedule startedAt(long long now) {
    BeatSchedule beat;
    beat.start(now, interval);
    return beat;
}

TEST(BeatSchedule, ticksLateByAFewUnitsStayOnTheGridCountedFromTheStart) {
    BeatSchedule beat = startedAt(1000);
    for (long long tick = 1; tick <= 100; ++tick) {
        ASSERT_EQ(beat.due(), 1000 + tick * interval);
        beat.advance(beat.due() + 7);
    }
}

TEST(BeatSchedule, tickWhoseTimeHasPassedIsSkippedNotDeliveredInABurst) {
    BeatSchedule beat = startedAt(0);
    beat.advance(3 * interval + 10);
    EXPECT_EQ(beat.due(), 4 * interval);
    beat.advance(4 * interval);
    EXPECT_EQ(beat.due(), 5 * interval);
}

// A timer switched off far into one round and on again for the next keeps nothing of the old
// grid: neither its start nor how many ticks it had counted.
TEST(BeatSchedule, restartAfterManyTicksPutsTheFirstTickOneIntervalOnAndKeepsTheNewGrid) {
    BeatSchedule beat = startedAt(0);
    for (int tick = 0; tick < 12; ++tick) {
        beat.advance(beat.due());
    }
    beat.start(4321, interval);
    EXPECT_EQ(beat.due(), 4321 + interval);
    beat.advance(beat.due() + 7);
    EXPECT_EQ(beat.due(), 4321 + 2 * interval);
}

}  // namespace
}  // namespace zintu
