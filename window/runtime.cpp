#include "runtime.h"

#include <charconv>
#include <limits>

namespace zintu {

// std::to_chars rather than std::to_string, which would bring a whole printf into zintu.exe.
std::string formatNumber(int value) {
    char digits[std::numeric_limits<int>::digits10 + 2];
    const auto written = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    const std::string number(digits, written);
    return value < 0 ? number : " " + number;
}

}  // namespace zintu
