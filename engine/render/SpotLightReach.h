#pragma once
// Where a spot light can change the picture at all. The shadow program adds the spot light's share
//   spot * lit * (diffuse * Ld * Md + specular * Ls * Ms),   spot = cos(angle off the axis)^exponent,
// to a colour that the texture (at most 1) then scales and the framebuffer rounds to 1/255. With lit,
// diffuse and specular at most 1, the share is at most cos^exponent * strongest, where strongest is the
// largest channel of Ld * Md + Ls * Ms. Where that stays below a quarter of a colour level (1/1020:
// a share below one level moves a rounded channel by at most one level, whatever the channel held, and
// the rest is room for the shader's pow approximation), leaving the spot light out moves no channel by
// more than one level. For the game's spot light (exponent 36, white, materials up to white) that is
// beyond about 36 degrees off its axis: a cone much narrower than its 64-degree cut-off.
// That is all the reach promises. The frame draws the objects in reach first, pulled towards the eye by
// spotPassPullUnits, and so where a surface in reach all but touches one out of it, the two can swap at
// an edge pixel (by any amount): the tests hold the frame to tests/support/PictureBound.h, which allows
// such pixels only on the exact frame's edges (where the object, the facing or a light's reach changes
// within a pixel's 3 x 3 neighbours), at most one per 200 edge pixels of the objects under test.
#include <optional>

#include "engine/math/BoundingBox.h"
#include "engine/math/Matrix4f.h"
#include "engine/math/Vector3f.h"

namespace libkub {

// The cosine of the widest angle off the axis at which the spot light's share can still reach a quarter
// colour level: the larger of the cut-off's cosine and (1 / (1020 * strongest))^(1 / exponent). Returns
// nothing when the spot light adds nothing anywhere (strongest 0), and a value <= 0 when the reach is a
// half space or more (a cut-off of 90 degrees and up with a weak falloff, or no cut-off at all).
std::optional<float> spotReachCosine(float cutOffDegrees, float exponent, float strongest);

// The box around every point of the scene box within `reachCosine` of the spot light's axis (a cone from
// apex along the unit axis, cut where it leaves the scene box). Nothing when the cone misses the box.
std::optional<BoundingBox> spotLitBox(Vector3f apex, Vector3f axis, float reachCosine,
                                      const BoundingBox& scene);

// How far the spot light's pass is pulled towards the eye, in glPolygonOffset units: 2^-21 of the depth
// range near its far end, eight of the smallest steps a 32-bit float holds there, where depth is
// interpolated in floats whatever the buffer keeps. So rounding can never leave a pulled fragment level
// with its unpulled depth, while only surfaces that all but touch can change places. A unit is the
// buffer's own step: 2^-bits for a fixed-point buffer, so 2^(bits - 21) units, and no fewer than two
// (a shallow buffer's steps are far coarser than the floats'); on a float buffer 2^(e - 23) for a
// polygon whose largest depth has the exponent e, so eight units, 2^-21 near the far end and the same
// eight float steps nearer.
float spotPassPullUnits(bool floatDepth, int depthBits);

// A rectangle of window pixels: x and y of the lower left corner, width and height.
struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The window pixels the box covers when drawn through the projection and modelview matrices into the
// viewport (x, y, width, height), with a pixel to spare on each side and clipped to the viewport (possibly
// empty). Nothing when part of the box lies at or behind the eye, where a projection has no bound.
std::optional<WindowRect> windowRectOfBox(const BoundingBox& box, const Matrix4f& projection,
                                          const Matrix4f& modelview, const int viewport[4]);

} // namespace libkub
