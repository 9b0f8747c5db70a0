#pragma once

#include <string>
#include <string_view>

// The messages the game logic shows the player, and the level caption it builds. The window's own
// texts (its caption, the boxes' caption, the pads' names) are design values, in design.h.
namespace zintu::messages {

inline constexpr std::string_view go = "GO!";
inline constexpr std::string_view master = "Level 100! Master!";

// "Level: 12"
std::string levelCaption(int level);
// "Ready for level 4?"
std::string readyForLevel(int nextLevel);
// The rating a wrong click earns at this level.
std::string rating(int level);

}  // namespace zintu::messages
