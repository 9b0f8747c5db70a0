#pragma once

namespace zintu {

// Makes assistive technology see the game as a player would: the game window as a frame named
// by its caption, and every pad as a button named by its colour, with one action, "Press", that
// does what a left click does, and checked while it is lit. Once per program, however often it
// is called.
void installAccessibility();

}  // namespace zintu
