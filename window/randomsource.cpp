#include "randomsource.h"

#include <chrono>

namespace zintu {

float toSingleBelowOne(double unit) {
    constexpr float largestBelowOne = 0x1.fffffep-1f;
    const auto single = static_cast<float>(unit);
    return single < 1.0f ? single : largestBelowOne;
}

ClockRandomSource::ClockRandomSource() {
    reseedFromClock();
}

void ClockRandomSource::reseed(std::uint64_t seed) {
    engine_.seed(seed);
}

void ClockRandomSource::reseedFromClock() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch();
    reseed(static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

double ClockRandomSource::nextUnit() {
    constexpr double twoToMinus53 = 0x1.0p-53;
    return static_cast<double>(engine_() >> 11) * twoToMinus53;
}

}  // namespace zintu
