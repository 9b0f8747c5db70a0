#pragma once

#include <string>
#include <string_view>

namespace zintu {

// The game's texts are UTF-8; Windows takes UTF-16.
std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

}  // namespace zintu
