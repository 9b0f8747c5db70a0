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

TEST(BeatSchedule, restartCountsFromTheNewStart) {
    BeatSchedule beat = startedAt(0);
    beat.advance(interval);
    beat.start(1234, interval);
    EXPECT_EQ(beat.due(), 1234 + interval);
}

}  // namespace
}  // namespace zintu
