#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "design.h"
#include "scorelabel.h"

namespace zintu {
namespace {

using design::toPixels;

// 15 twips a pixel at the design's resolution: 7.5 twips is half a pixel, which goes up.
TEST(TwipsToPixels, roundToTheNearestPixelWithHalvesUpOnBothSidesOfZero) {
    EXPECT_EQ(toPixels(7), 0);
    EXPECT_EQ(toPixels(8), 1);
    EXPECT_EQ(toPixels(-7), 0);
    EXPECT_EQ(toPixels(-8), -1);
    EXPECT_EQ(toPixels(-22), -1);
    EXPECT_EQ(toPixels(-23), -2);
    // At 144 dots per inch 10 twips is exactly one pixel, and 5 a half.
    EXPECT_EQ(toPixels(5, 144), 1);
    EXPECT_EQ(toPixels(-5, 144), 0);
    EXPECT_EQ(toPixels(-6, 144), -1);
}

TEST(TwipsToPixels, holdForTheLargestCountsAtHighResolutions) {
    constexpr int largest = INT_MAX / 15 * 15;
    constexpr int fourTimesTheDesign = 4 * design::designDpi;
    EXPECT_EQ(toPixels(largest, fourTimesTheDesign), largest / 15 * 4);
    EXPECT_EQ(toPixels(-largest, fourTimesTheDesign), -largest / 15 * 4);
}

TEST(TwipsToPixels, rectanglesSharingAnEdgeShareItInPixelsWhereverTheyStand) {
    for (const int dpi : {96, 120, 144, 168}) {
        for (int left = -2000; left <= 2000; left += 7) {
            const design::PixelRect first = toPixels(design::TwipRect{left, 0, 1000, 1000}, dpi);
            const design::PixelRect second =
                toPixels(design::TwipRect{left + 1000, 0, 1000, 1000}, dpi);
            ASSERT_EQ(first.x + first.width, second.x) << left << " twips at " << dpi;
        }
    }
}

bool writesLatin(const std::string& family) {
    return family.find("Symbols") == std::string::npos;
}

// Installed names vary in case and may carry a suffix; a symbol font of the same name would
// turn the label into symbols.
TEST(ScoreLabelFamily, isTheDesignedOneWhereverListedThenTheFallbackAndOnlyWhereItWritesLatin) {
    using scorelabel::chooseFamily;
    EXPECT_EQ(
        chooseFamily({"Blankenburg_UNZ1A", "DejaVu Serif", "rothenburg decorative"}, writesLatin),
        "rothenburg decorative");
    EXPECT_EQ(chooseFamily({"Rothenburg Decorative_Symbols", "Blankenburg"}, writesLatin),
              "Blankenburg");
    EXPECT_EQ(chooseFamily({"Rothenburg Decorative Outline", "DejaVu Serif"}, writesLatin), "");
}

}  // namespace
}  // namespace zintu
