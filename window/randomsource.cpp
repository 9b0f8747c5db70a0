#include "randomsource.h"

namespace zintu {

float toSingleBelowOne(double unit) {
    constexpr float largestBelowOne = 0x1.fffffep-1f;
    const auto single = static_cast<float>(unit);
    return single < 1.0f ? single : largestBelowOne;
}

}  // namespace zintu
