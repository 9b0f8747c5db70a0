#pragma once

namespace zintu {

// Narrows a draw from [0, 1) to single precision without reaching 1: the doubles just below 1
// would round to exactly 1.0f, and colorset would then make pad number 5.
float toSingleBelowOne(double unit);

// Where the game's random numbers come from.
class RandomSource {
public:
    virtual ~RandomSource() = default;

    virtual void reseedFromClock() = 0;
    // Uniform in [0, 1).
    virtual double nextUnit() = 0;
};

}  // namespace zintu
