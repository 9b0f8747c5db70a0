#include "runtime.h"

namespace zintu {

std::string formatNumber(int value) {
    const std::string digits = std::to_string(value);
    return value < 0 ? digits : " " + digits;
}

}  // namespace zintu
