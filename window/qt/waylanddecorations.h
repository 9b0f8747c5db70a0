#pragma once

namespace zintu {

// Whether the Wayland compositor the game is shown on draws windows' decorations itself, as
// KDE's and the wlroots desktops do (server-side xdg-decoration); GNOME's and weston leave them
// to the program. Asked once, of the compositor the game finds at run time.
bool compositorDecoratesWindows();

}  // namespace zintu
