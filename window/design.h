#pragma once

#include <array>
#include <string_view>

#include "runtime.h"

// The design of the one game window: the values every control returns to whenever the window is
// loaded. Positions and sizes are in twips, a twentieth of a point.
namespace zintu::design {

inline constexpr int twipsPerInch = 1440;
// The design's own resolution: 15 twips a pixel.
inline constexpr int designDpi = 96;

// Rounds to the nearest pixel, halves up, for negative positions too: the floor of the pixel
// count plus a half. Wide enough for any int count at any resolution.
constexpr int toPixels(int twips, int dpi = designDpi) {
    const long long doubledPlusOne = 2LL * twips * dpi + twipsPerInch;
    const long long divisor = 2LL * twipsPerInch;
    const long long towardZero = doubledPlusOne / divisor;
    return static_cast<int>(doubledPlusOne % divisor < 0 ? towardZero - 1 : towardZero);
}

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

struct TwipPoint {
    int x;
    int y;
};

struct PixelRect {
    int x;
    int y;
    int width;
    int height;
};

// Rounds the edges, not the size, so that rectangles sharing an edge in twips share it in pixels:
// neighbouring pads neither overlap nor leave a gap.
constexpr PixelRect toPixels(TwipRect rect, int dpi = designDpi) {
    const int x = toPixels(rect.left, dpi);
    const int y = toPixels(rect.top, dpi);
    return {x, y, toPixels(rect.left + rect.width, dpi) - x,
            toPixels(rect.top + rect.height, dpi) - y};
}

inline constexpr std::string_view formCaption = "Zintu!";
inline constexpr Colour formBackColor = rgb(255, 128, 0);
inline constexpr int clientWidth = 4815;
inline constexpr int clientHeight = 1995;

inline constexpr int lightUpIntervalMs = 300;

inline constexpr std::string_view scoreCaption = "Level: 0";
inline constexpr TwipRect scoreRect{2280, 480, 2535, 975};
inline constexpr std::string_view scoreFontFamily = "Rothenburg Decorative";
// Shown where the designed font is missing; the design's symbol character set is never used, so
// a missing font cannot turn the label into symbols.
inline constexpr std::string_view scoreFallbackFamily = "Blankenburg";
inline constexpr double scoreFontPointSize = 27.75;
inline constexpr int scoreFontWeight = 400;
// Black on the orange window reads best; the label has no background of its own.
inline constexpr Colour scoreTextColour = rgb(0, 0, 0);

inline constexpr std::string_view padText = " ";
inline constexpr int padSize = 1000;
inline constexpr Colour litColour = rgb(255, 255, 255);

inline constexpr int padCount = 4;

struct PadDesign {
    // What assistive technology calls the pad.
    std::string_view name;
    Colour colour;
    int left;
    int top;
};

// Red, yellow, green, blue clockwise from the top left. A pad's number in the pattern is its
// index + 1.
inline constexpr std::array<PadDesign, padCount> padTable{{
    {"Red pad", rgb(255, 0, 0), 0, 0},
    {"Yellow pad", rgb(255, 255, 0), 1000, 0},
    {"Green pad", rgb(0, 255, 0), 1000, 1000},
    {"Blue pad", rgb(0, 0, 255), 0, 1000},
}};

constexpr Colour restingColour(PadIndex pad) {
    return padTable[static_cast<std::size_t>(pad)].colour;
}

// A point of the window's own orange, clear of the pads and the label: where a click lands on the
// window itself.
inline constexpr TwipPoint offPadsPoint{3750, 1800};

constexpr TwipRect padRect(PadIndex pad) {
    const PadDesign& design = padTable[static_cast<std::size_t>(pad)];
    return {design.left, design.top, padSize, padSize};
}

// Caption of every message box: the application title, without the window's exclamation mark.
inline constexpr std::string_view messageCaption = "Zintu";

// What the player reads when the program stops on a fault of its own, rather than a crash.
inline constexpr std::string_view internalErrorMessage = "Zintu stopped after an internal error.";

}  // namespace zintu::design

namespace zintu {

// Turns the single designed pad into the two-by-two grid of the pad table.
void loadcolors(Runtime& runtime);

}  // namespace zintu
