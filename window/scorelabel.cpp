#include "scorelabel.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "design.h"

namespace zintu::scorelabel {

namespace {

constexpr double pointSizeStep = 0.25;
constexpr double smallestPointSize = 6.0;

bool sameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool names(std::string_view installed, std::string_view wanted) {
    return sameLetters(installed, wanted) ||
           (installed.size() > wanted.size() && installed[wanted.size()] == '_' &&
            sameLetters(installed.substr(0, wanted.size()), wanted));
}

}  // namespace

std::string chooseFamily(const std::vector<std::string>& installed,
                         const std::function<bool(const std::string&)>& writesLatin) {
    for (const std::string_view wanted : {design::scoreFontFamily, design::scoreFallbackFamily}) {
        for (const std::string& family : installed) {
            if (names(family, wanted) && writesLatin(family)) {
                return family;
            }
        }
    }
    return {};
}

int widestLevel(const std::function<double(char digit)>& advance) {
    std::array<double, 10> digitAdvances{};
    for (std::size_t digit = 0; digit < digitAdvances.size(); ++digit) {
        digitAdvances[digit] = advance(static_cast<char>('0' + digit));
    }
    const auto widestFrom = [&digitAdvances](int first) {
        return static_cast<int>(
            std::max_element(digitAdvances.begin() + first, digitAdvances.end()) -
            digitAdvances.begin());
    };
    return 10 * widestFrom(1) + widestFrom(0);
}

double fittedPointSize(const std::function<bool(double pointSize)>& fits) {
    double pointSize = design::scoreFontPointSize;
    while (!fits(pointSize) && pointSize > smallestPointSize) {
        pointSize -= pointSizeStep;
    }
    return pointSize;
}

}  // namespace zintu::scorelabel
