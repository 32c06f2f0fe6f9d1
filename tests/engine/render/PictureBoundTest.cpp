// The picture bound the shortcuts are held to: one level anywhere, beyond that only lines one pixel wide,
// at most 0.1 % of the covered pixels; a lost light or a hollow part fails; reuse changes nothing.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/PictureBound.h"

namespace kubora::test {
namespace {

constexpr int width = 100;
constexpr int height = 100;

// A grey background with a lit square covering the left half; everything covered.
Frame squareScene(int edge = 50)
{
    Frame frame;
    frame.width = width;
    frame.height = height;
    frame.rgb.assign(width * height * 3, 40);
    frame.depth.assign(width * height, 0.5f);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < edge; ++x) {
            for (int c = 0; c < 3; ++c) {
                frame.rgb[(y * width + x) * 3 + c] = 200;
            }
        }
    }
    return frame;
}

TEST(PictureBound, TheSameFrameIsWithinBothBounds)
{
    const Frame exact = squareScene();
    EXPECT_TRUE(compareWithExact(exact, exact, PictureBound::identical).within);
    EXPECT_TRUE(compareWithExact(exact, exact, PictureBound::shortcuts).within);
}

TEST(PictureBound, OneLevelAnywhereIsWithinTheShortcutsBoundOnly)
{
    const Frame exact = squareScene();
    Frame frame = exact;
    for (std::uint8_t& channel : frame.rgb) {
        ++channel;
    }
    EXPECT_TRUE(compareWithExact(exact, frame, PictureBound::shortcuts).within);
    const PictureComparison identical = compareWithExact(exact, frame, PictureBound::identical);
    EXPECT_FALSE(identical.within);
    EXPECT_EQ(identical.differing, static_cast<std::size_t>(width * height));
}

TEST(PictureBound, AnEdgeMovedByAPixelAlongAFewRowsIsWithin)
{
    const Frame exact = squareScene();
    Frame frame = exact;
    // Ten pixels of the edge fall to the next column: 10 of 10,000 covered pixels, 0.1 %.
    for (int y = 0; y < 10; ++y) {
        for (int c = 0; c < 3; ++c) {
            frame.rgb[(y * width + 50) * 3 + c] = 200;
        }
    }
    const PictureComparison comparison = compareWithExact(exact, frame, PictureBound::shortcuts);
    EXPECT_TRUE(comparison.within) << comparison;
    EXPECT_EQ(comparison.movedEdges, 10u);
    EXPECT_EQ(comparison.allowedBeyondOne, 10u);
}

TEST(PictureBound, MoreMovedEdgePixelsThanATenthOfAPercentFail)
{
    const Frame exact = squareScene();
    const Frame frame = squareScene(51); // a whole column: 100 pixels
    const PictureComparison comparison = compareWithExact(exact, frame, PictureBound::shortcuts);
    EXPECT_FALSE(comparison.within);
    EXPECT_EQ(comparison.movedEdges, 100u);
    EXPECT_EQ(comparison.unexplained, 0u);
}

TEST(PictureBound, APatchThatLostItsLightFailsEvenWhenSmall)
{
    const Frame exact = squareScene();
    Frame frame = exact;
    // Three by three pixels inside the square, six levels darker: no such colour a pixel away.
    for (int y = 20; y < 23; ++y) {
        for (int x = 20; x < 23; ++x) {
            for (int c = 0; c < 3; ++c) {
                frame.rgb[(y * width + x) * 3 + c] = 194;
            }
        }
    }
    const PictureComparison comparison = compareWithExact(exact, frame, PictureBound::shortcuts);
    EXPECT_FALSE(comparison.within);
    EXPECT_EQ(comparison.unexplained, 9u);
    EXPECT_EQ(comparison.unexplainedX, 20);
    EXPECT_EQ(comparison.unexplainedY, 20);
    EXPECT_EQ(comparison.worst, 6);
}

TEST(PictureBound, OnlyCoveredPixelsCountTowardsTheShare)
{
    Frame exact = squareScene();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            exact.depth[y * width + x] = x < 50 ? 0.5f : 1.0f; // only the square is a surface
        }
    }
    Frame frame = exact;
    for (int y = 0; y < 6; ++y) {
        for (int c = 0; c < 3; ++c) {
            frame.rgb[(y * width + 50) * 3 + c] = 200;
        }
    }
    const PictureComparison comparison = compareWithExact(exact, frame, PictureBound::shortcuts);
    EXPECT_EQ(comparison.covered, 5000u);
    EXPECT_EQ(comparison.allowedBeyondOne, 5u);
    EXPECT_FALSE(comparison.within) << comparison;
}

TEST(PictureBound, TwoByTwoWrongPixelsFailAndAScatteringCountsAgainstTheShare)
{
    const Frame exact = squareScene();
    Frame frame = exact;
    for (const int at : {40 * width + 10, 40 * width + 11, 41 * width + 10, 41 * width + 11}) {
        frame.rgb[at * 3] = 120;
    }
    PictureComparison comparison = compareWithExact(exact, frame, PictureBound::shortcuts);
    EXPECT_FALSE(comparison.within);
    EXPECT_EQ(comparison.unexplained, 4u);

    frame = exact;
    for (int i = 0; i < 11; ++i) {
        frame.rgb[((5 + 2 * i) * width + 10) * 3] = 120; // every other row: no two touch
    }
    comparison = compareWithExact(exact, frame, PictureBound::shortcuts);
    EXPECT_EQ(comparison.movedEdges, 11u);
    EXPECT_FALSE(comparison.within) << "11 of 10,000 covered pixels";
}

TEST(PictureBound, TheResultSaysWhatDiffersAndWhere)
{
    const Frame exact = squareScene();
    Frame frame = exact;
    frame.rgb[(7 * width + 30) * 3 + 1] = 90;
    std::ostringstream text;
    text << compareWithExact(exact, frame, PictureBound::shortcuts);
    EXPECT_EQ(text.str(), "1 of 10000 pixels differ (10000 covered); 1 by more than one level, 10 allowed, "
                          "of which 1 moved edge pixels and 0 not; worst 110 levels "
                          "at 30,7 (exact 200 200 200, frame 200 90 200)");
}

} // namespace
} // namespace kubora::test
