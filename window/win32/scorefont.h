#pragma once

#include <windows.h>

#include <string>

namespace zintu {

// The family the level label is written in: "Rothenburg Decorative" where installed, else the
// Blankenburg face embedded in the program, loaded for this process alone and installed
// nowhere; a family that writes Latin text, so never one of the symbol character set.
const std::wstring& scoreFontFamily();

// The label's font at a resolution: the designed size, made smaller only where the widest level
// caption would not fit whole in a label of this size. The caller deletes it.
HFONT createScoreFont(int dpi, SIZE label);

}  // namespace zintu
