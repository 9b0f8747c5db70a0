#pragma once

#include <cstdint>
#include <random>

namespace zintu {

// Narrows a draw from [0, 1) to single precision without reaching 1: the doubles just below 1
// would round to exactly 1.0f, and colorset would then make pad number 5.
float toSingleBelowOne(double unit);

class RandomSource {
public:
    RandomSource();

    void reseed(std::uint64_t seed);
    void reseedFromClock();
    // Uniform in [0, 1), 53 random bits.
    double nextUnit();

private:
    std::mt19937_64 engine_;
};

}  // namespace zintu
