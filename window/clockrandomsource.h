#pragma once

#include <cstdint>
#include <random>

#include "randomsource.h"

namespace zintu {

// The program's source: a generator reseeded from the nanosecond clock.
class ClockRandomSource : public RandomSource {
public:
    ClockRandomSource();

    void reseed(std::uint64_t seed);
    void reseedFromClock() override;
    // 53 random bits.
    double nextUnit() override;

private:
    std::mt19937_64 engine_;
};

}  // namespace zintu
