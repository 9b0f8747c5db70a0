#include "runtime.h"

namespace zintu {

std::string formatNumber(int value) {
    std::string number = std::to_string(value);
    return value < 0 ? number : " " + number;
}

}  // namespace zintu
