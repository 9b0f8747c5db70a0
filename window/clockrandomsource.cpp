#include "clockrandomsource.h"

#include <ctime>

namespace zintu {

ClockRandomSource::ClockRandomSource() {
    reseedFromClock();
}

void ClockRandomSource::reseed(std::uint64_t seed) {
    engine_.seed(seed);
}

// The C library's clock, not std::chrono's: on the web, libc++'s clock brings its error
// reporting with it, and that weighs more than the rest of the game's logic.
void ClockRandomSource::reseedFromClock() {
    constexpr std::uint64_t nanosecondsPerSecond = 1'000'000'000;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    reseed(static_cast<std::uint64_t>(now.tv_sec) * nanosecondsPerSecond +
           static_cast<std::uint64_t>(now.tv_nsec));
}

double ClockRandomSource::nextUnit() {
    constexpr double twoToMinus53 = 0x1.0p-53;
    return static_cast<double>(engine_() >> 11) * twoToMinus53;
}

}  // namespace zintu
