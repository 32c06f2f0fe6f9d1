// The picture bound the shortcuts are held to, on made-up frames with made-up edge maps: one level
// anywhere; beyond that only edge pixels, at most one per edgePixelsPerMovedPixel edge pixels of the
// objects under test; reuse changes nothing. (PictureBoundFaultsGLTest plants faults in drawn frames.)
#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/PictureBound.h"

namespace kubora::test {
namespace {

constexpr int width = 100;
constexpr int height = 100;

// The edge map of a square (object 1) over the left `edge` columns, a floor (object 2) beside it.
EdgeMap squareEdges(int edge = 50)
{
    std::vector<std::uint8_t> keys(width * height * 4, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            keys[(y * width + x) * 4 + 1] = x < edge ? 1 : 2;
        }
    }
    return libkub::edgeMapFromKeys(width, height, keys);
}

// A grey floor with a lit square covering the left half, and its edge map.
ExactFrame squareScene(int edge = 50)
{
    ExactFrame exact;
    exact.frame.width = width;
    exact.frame.height = height;
    exact.frame.rgb.assign(width * height * 3, 40);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < edge; ++x) {
            for (int c = 0; c < 3; ++c) {
                exact.frame.rgb[(y * width + x) * 3 + c] = 200;
            }
        }
    }
    exact.edges = squareEdges(edge);
    return exact;
}

void setPixel(Frame& frame, int x, int y, std::uint8_t value)
{
    for (int c = 0; c < 3; ++c) {
        frame.rgb[(y * width + x) * 3 + c] = value;
    }
}

TEST(PictureBound, TheEdgeMapMarksBothSidesOfABorderAndTheObjectsOnThem)
{
    const EdgeMap edges = squareEdges();
    EXPECT_EQ(edges.objects[10 * width + 3], 1);
    EXPECT_EQ(edges.objects[10 * width + 80], 2);
    for (int x = 0; x < width; ++x) {
        EXPECT_EQ(edges.edgeAt(10 * width + x), x == 49 || x == 50) << x;
    }
    EXPECT_TRUE(edges.touches(10 * width + 50, 1));
    EXPECT_FALSE(edges.touches(10 * width + 51, 1));
}

TEST(PictureBound, TheSameFrameIsWithinBothBounds)
{
    const ExactFrame exact = squareScene();
    EXPECT_TRUE(compareWithExact(exact, exact.frame, PictureBound::identical).within);
    EXPECT_TRUE(compareWithExact(exact, exact.frame, PictureBound::shortcuts).within);
}

TEST(PictureBound, OneLevelAnywhereIsWithinTheShortcutsBoundOnly)
{
    const ExactFrame exact = squareScene();
    Frame frame = exact.frame;
    for (std::uint8_t& channel : frame.rgb) {
        ++channel;
    }
    EXPECT_TRUE(compareWithExact(exact, frame, PictureBound::shortcuts).within);
    const PictureComparison identical = compareWithExact(exact, frame, PictureBound::identical);
    EXPECT_FALSE(identical.within);
    EXPECT_EQ(identical.differing, static_cast<std::size_t>(width * height));
}

TEST(PictureBound, AnEdgeMovedByAPixelAlongAShareOfItsLengthIsWithinAndNoMore)
{
    // 200 edge pixels (the two columns beside the border): one may move.
    const ExactFrame exact = squareScene();
    Frame frame = exact.frame;
    setPixel(frame, 50, 0, 200);
    PictureComparison comparison = compareWithExact(exact, frame, PictureBound::shortcuts);
    EXPECT_TRUE(comparison.within) << comparison;
    EXPECT_EQ(comparison.edgePixels, 200u);
    EXPECT_EQ(comparison.allowedBeyondOne, 1u);
    EXPECT_EQ(comparison.beyondOne, 1u);
    EXPECT_EQ(comparison.offEdges, 0u);

    setPixel(frame, 50, 1, 200);
    comparison = compareWithExact(exact, frame, PictureBound::shortcuts);
    EXPECT_FALSE(comparison.within) << comparison;
    EXPECT_EQ(comparison.offEdges, 0u);
}

TEST(PictureBound, TheShareIsOfTheEdgesOfTheObjectsUnderTest)
{
    // A small third object (4 x 4) in the floor: its edge pixels are the 6 x 6 around it but the 2 x 2
    // inside; the square's border does not count towards its share.
    std::vector<std::uint8_t> keys(width * height * 4, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool small = x >= 80 && x < 84 && y >= 80 && y < 84;
            keys[(y * width + x) * 4 + 1] = small ? 3 : (x < 50 ? 1 : 2);
        }
    }
    ExactFrame exact = squareScene();
    exact.edges = libkub::edgeMapFromKeys(width, height, keys);
    Frame frame = exact.frame;
    setPixel(frame, 50, 0, 200);
    const PictureComparison all = compareWithExact(exact, frame, PictureBound::shortcuts);
    EXPECT_EQ(all.edgePixels, 232u);
    EXPECT_TRUE(all.within) << all;
    const PictureComparison small = compareWithExact(exact, frame, PictureBound::shortcuts, {3});
    EXPECT_EQ(small.edgePixels, 32u);
    EXPECT_EQ(small.allowedBeyondOne, 0u);
    EXPECT_FALSE(small.within) << small;
}

// The planted faults of a flat face: each fails however few pixels it takes.
TEST(PictureBound, AnyPixelBeyondOneLevelInsideAFaceFails)
{
    const ExactFrame exact = squareScene();
    struct Fault {
        const char* name;
        void (*plant)(Frame&);
        std::size_t offEdges;
    };
    const Fault faults[] = {
        {"a lone pixel 30 levels off", [](Frame& f) { setPixel(f, 20, 30, 170); }, 1},
        {"a lone pixel 110 levels off", [](Frame& f) { f.rgb[(7 * width + 30) * 3 + 1] = 90; }, 1},
        {"a 1-pixel checkerboard over the face",
         [](Frame& f) {
             for (int y = 10; y < 40; ++y) {
                 for (int x = 10; x < 40; ++x) {
                     if ((x + y) % 2 == 0) {
                         setPixel(f, x, y, 196);
                     }
                 }
             }
         },
         450},
        {"a uniform shift of 2 levels",
         [](Frame& f) {
             for (std::uint8_t& channel : f.rgb) {
                 channel = static_cast<std::uint8_t>(channel + 2);
             }
         },
         static_cast<std::size_t>(width * height - 200)},
        {"2 x 2 pixels that lost a light",
         [](Frame& f) {
             for (int y = 20; y < 22; ++y) {
                 for (int x = 20; x < 22; ++x) {
                     setPixel(f, x, y, 150);
                 }
             }
         },
         4},
    };
    for (const Fault& fault : faults) {
        Frame frame = exact.frame;
        fault.plant(frame);
        const PictureComparison comparison = compareWithExact(exact, frame, PictureBound::shortcuts);
        EXPECT_FALSE(comparison.within) << fault.name << ": " << comparison;
        EXPECT_EQ(comparison.offEdges, fault.offEdges) << fault.name;
    }
}

TEST(PictureBound, TheShortcutsBoundNeedsAnEdgeMapAndFramesOfOneSize)
{
    ExactFrame exact = squareScene();
    exact.edges = {};
    PictureComparison comparison = compareWithExact(exact, exact.frame, PictureBound::shortcuts);
    EXPECT_FALSE(comparison.within);
    EXPECT_NE(comparison.problem.find("no edge map"), std::string::npos) << comparison;
    EXPECT_TRUE(compareWithExact(exact, exact.frame, PictureBound::identical).within);

    Frame smaller = exact.frame;
    smaller.width = 50;
    comparison = compareWithExact(squareScene(), smaller, PictureBound::shortcuts);
    EXPECT_FALSE(comparison.within);
    EXPECT_EQ(comparison.problem, "the frame is 50 x 100, the exact frame 100 x 100");
}

TEST(PictureBound, TheResultSaysWhatDiffersAndWhere)
{
    const ExactFrame exact = squareScene();
    Frame frame = exact.frame;
    frame.rgb[(7 * width + 30) * 3 + 1] = 90;
    std::ostringstream text;
    text << compareWithExact(exact, frame, PictureBound::shortcuts);
    EXPECT_EQ(text.str(),
              "1 of 10000 pixels differ; 1 by more than one level, 1 allowed (of 200 edge pixels "
              "of the objects under test), 1 of them off the edges (the first at 30,7); worst 110 "
              "levels at 30,7 (exact 200 200 200, frame 200 90 200)");
}

} // namespace
} // namespace kubora::test
