#pragma once
// How far a frame drawn with the frame's shortcuts may stray from the frame drawn without them
// (SceneRenderer::exact), checked from the two pictures and the exact frame's depth buffer. One
// comparison for every picture test of the shortcuts.
//
// The bound. Compare the frame pixel by pixel with the exact frame; a pixel's difference is the
// largest difference of its three 8-bit channels.
// - Reuse of depth textures (PictureBound::identical): no pixel differs at all.
// - Every shortcut (PictureBound::shortcuts): any pixel may differ by one level. The pixels that differ
//   by more must be moved edge pixels: lines one pixel wide, so that no 2 x 2 square of pixels that all
//   differ by more than one level holds any of them. Each of the shortcuts moves an edge by less than a
//   pixel, if at all: where a back face and a front face share an edge (culling; the exact frame may
//   show there a back face whose colour shows nowhere else), where the instanced transform rounds an
//   edge onto the next pixel, and where the spot pass's pull swaps two touching surfaces (the frame may
//   show there a surface hidden everywhere around). There may be at most 0.1 % of the covered pixels
//   (rounded down) of them. Covered pixels are those where the exact frame's depth buffer holds less
//   than the far depth 1.0: where the scene drew a surface, not the sky or the background.
// So a die face that lost its spot light, a part drawn hollow or a missing shadow fails as soon as it
// is two pixels wide and two high, and a scattering of wrong pixels fails when there are more of them
// than the share.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace kubora::test {

// One frame read back: colour as RGB and depth, both top row first.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    std::vector<float> depth;
};

// The colour and depth of the frame just drawn: of the back buffer, or of colour attachment 0 while a
// framebuffer object is bound for reading.
Frame readFrame(int width, int height);

enum class PictureBound {
    identical, // no pixel differs
    shortcuts, // one level anywhere; beyond that only lines one pixel wide, at most 0.1 % of the covered
};

// What a comparison found.
struct PictureComparison {
    int width = 0;
    int height = 0;
    std::size_t covered = 0;          // pixels where the exact frame drew a surface
    std::size_t differing = 0;        // pixels that differ at all
    std::size_t beyondOne = 0;        // pixels that differ by more than one level
    std::size_t movedEdges = 0;       // of those, moved edge pixels
    std::size_t unexplained = 0;      // of those, not moved edge pixels
    std::size_t allowedBeyondOne = 0; // how many may differ by more than one level under the bound
    int worst = 0;                    // the largest channel difference
    int worstX = -1;                  // where it is (top row 0), -1 when no pixel differs
    int worstY = -1;
    std::uint8_t worstExact[3] = {0, 0, 0}; // its colour in the exact frame and in the frame
    std::uint8_t worstFrame[3] = {0, 0, 0};
    int unexplainedX = -1; // the first pixel (in reading order) that breaks the bound, -1 when none
    int unexplainedY = -1;
    bool within = true;
};

std::ostream& operator<<(std::ostream& out, const PictureComparison& comparison);

// Compares the frame with the exact frame under the bound.
PictureComparison compareWithExact(const Frame& exact, const Frame& frame, PictureBound bound);

// The comparison as a test assertion: on failure it prints the counts and the worst pixel, and writes
// the frame to the build folder under failureName (a .png name) and the exact frame beside it (with
// "-exact" before the extension).
testing::AssertionResult withinBound(const Frame& exact, const Frame& frame, PictureBound bound,
                                     const std::string& failureName);

} // namespace kubora::test
