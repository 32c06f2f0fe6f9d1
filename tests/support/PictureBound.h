#pragma once
// How far a frame may stray from the frame it is held to, checked pixel by pixel with the edge map of
// the exact frame (engine/render/EdgeMap.h). One comparison for every picture test: the frame's shortcuts
// against the exact frame (SceneRenderer::exact), and drawn frames against the reference pictures
// stored under tests/fixtures.
//
// A pixel's difference is the largest difference of its three 8-bit channels. The bounds:
// - PictureBound::identical (reuse of depth textures): no pixel differs at all.
// - PictureBound::shortcuts (every other shortcut), and the stored references: any pixel may differ
//   by one level. A pixel may differ by more only if it is an edge pixel of the exact frame's edge map
//   (a pixel whose 3 x 3 neighbourhood holds two objects, two facings or a light's border), and there
//   may be at most one such pixel per `edgePixelsPerMovedPixel` edge pixels of the objects the test is
//   about (rounded down): edge pixels whose neighbourhood holds one of those objects, not of the whole
//   frame. Each of the shortcuts moves an edge by less than a pixel, if at all, and changes nothing
//   else by more than a level: the last bit of a transform or a normal, the pick of a pixel on a
//   silhouette or a depth tie between touching surfaces.
// So any pixel more than one level off inside a face (a lone pixel, a checkerboard, a lost light, a
// spot light cut too short) fails, any shift of two levels fails, and edges may move only as much as
// the share allows around the objects under test. A stored reference is never held to `identical`: the
// same frame drawn by another Mesa may round a pixel by a level.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "engine/render/EdgeMap.h"
#include "engine/resources/OffscreenFrame.h"

namespace libkub {
class SceneRenderer;
}

namespace kubora::test {

using libkub::EdgeMap;
using libkub::Frame;
using libkub::readFrame;

// At most one pixel differing by more than a level per this many edge pixels of the objects under test
// (0.5 %). The game's scenes have 20,000 to 46,000 edge pixels at 320 x 240 (a die is a few pixels
// wide, so most of its pixels are edge pixels), and their shortcut frames move at most one edge pixel
// in 900 of them (the culling reference frame: 40 of 36,081); a lone model in kubora-view moves none.
inline constexpr std::size_t edgePixelsPerMovedPixel = 200;

enum class PictureBound {
    identical, // no pixel differs
    shortcuts, // one level anywhere; beyond that only edge pixels, at most the share of the objects' edge
               // pixels
};

// The exact frame and its edge map.
struct ExactFrame {
    Frame frame;
    EdgeMap edges;
};

// Draws the renderer's exact frame into the bound framebuffer (`exact` on for that frame, as before
// afterwards) and reads it back with its edge map, drawn with the given depth format (the bound
// framebuffer's: GL_DEPTH_COMPONENT24 for the window and most targets).
ExactFrame drawExactFrame(libkub::SceneRenderer& renderer, int width, int height,
                          unsigned depthFormat = libkub::depth24);

// The objects a comparison is about, by their numbers in the edge map (libkub::edgeMapNumber); none
// named means every object and the backdrop.
using ObjectNumbers = std::vector<std::uint16_t>;

// What a comparison found.
struct PictureComparison {
    int width = 0;
    int height = 0;
    std::size_t edgePixels = 0;       // edge pixels of the objects under test
    std::size_t differing = 0;        // pixels that differ at all
    std::size_t beyondOne = 0;        // pixels that differ by more than one level (any, for identical)
    std::size_t offEdges = 0;         // of those, not on an edge pixel
    std::size_t allowedBeyondOne = 0; // how many may differ by more than one level under the bound
    int worst = 0;                    // the largest channel difference
    int worstX = -1;                  // where it is (top row 0), -1 when no pixel differs
    int worstY = -1;
    std::uint8_t worstExact[3] = {0, 0, 0}; // its colour in the exact frame and in the frame
    std::uint8_t worstFrame[3] = {0, 0, 0};
    int offEdgeX = -1; // the first pixel (in reading order) beyond one level off an edge, -1 when none
    int offEdgeY = -1;
    std::string problem; // set when the two cannot be compared (sizes, a missing edge map)
    bool within = true;
};

std::ostream& operator<<(std::ostream& out, const PictureComparison& comparison);

// Compares the frame with the one it is held to under the bound; `about` names the objects whose edge
// pixels set the share. `identical` needs no edge map.
PictureComparison compareWithExact(const ExactFrame& exact, const Frame& frame, PictureBound bound,
                                   const ObjectNumbers& about = {});

// The comparison as a test assertion: on failure it prints the counts and the worst pixel, and writes
// the frame to the build folder under failureName (a .png name), the exact frame beside it (with
// "-exact" before the extension) and the edge map (with "-edges").
testing::AssertionResult withinBound(const ExactFrame& exact, const Frame& frame, PictureBound bound,
                                     const std::string& failureName, const ObjectNumbers& about = {});

// Two frames drawn with and without depth-texture reuse: the identical bound, no edge map needed.
testing::AssertionResult identicalFrames(const Frame& expected, const Frame& frame,
                                         const std::string& failureName);

} // namespace kubora::test
