#pragma once

#include <functional>
#include <string>
#include <vector>

// How the level label's font is chosen and sized, whichever toolkit draws it.
namespace zintu::scorelabel {

// The first of the designed family and its fallback that is among `installed` and writes Latin
// text, so that the label never turns into symbols; empty where neither is. Installed families
// may carry a suffix ("Blankenburg_UNZ1A").
std::string chooseFamily(const std::vector<std::string>& installed,
                         const std::function<bool(const std::string&)>& writesLatin);

// The level whose caption, "Level: " and two digits, is the widest the label shows, from the
// advance of each digit as the label's font measures it: one measurement per digit instead of
// one per level keeps start-up quick.
int widestLevel(const std::function<double(char digit)>& advance);

// The designed point size, made smaller in quarter points only while `fits` says the widest
// caption would not show whole.
double fittedPointSize(const std::function<bool(double pointSize)>& fits);

}  // namespace zintu::scorelabel
