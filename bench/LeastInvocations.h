#pragma once
// The fewest fragment shader invocations any frame showing the renderer's picture can cost on a
// renderer that counts as llvmpipe does: 16 for every 4 x 4 block of pixels in which a triangle covers
// a pixel, whatever the depth test then does with them. A triangle lies on one surface, so a block in
// which k surfaces show needs at least k triangles, and costs at least 16 k.
//
// Surfaces as the game draws them, grouped generously so that the figure stays below what any drawing
// can reach: the sky one surface; each object one (all its faces together); the copies of one model
// with one texture standing at one place on the board (a tower of dice) one together, as the columns
// draw them. The status band across the top is translucent, so the scene under it is counted too, and
// the band itself adds one triangle's 16 a block it covers.
#include <cstdint>

namespace libkub {
class SceneRenderer;
} // namespace libkub

namespace kubora::bench {

struct LeastInvocations {
    std::uint64_t scene = 0; // the sky and the objects
    std::uint64_t band = 0;  // the status band over them
    std::uint64_t total() const { return scene + band; }
};

// Draws the renderer's exact frame's edge map at width x height (GL context current) and counts.
LeastInvocations leastInvocations(libkub::SceneRenderer& renderer, int width, int height);

} // namespace kubora::bench
