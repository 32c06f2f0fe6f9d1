#pragma once
// Whether a triangle list encloses solids with every face turned outwards: then no back face of it can
// ever be seen past its front faces, and a pass may skip drawing them.
#include <cstddef>
#include <optional>
#include <vector>

#include "engine/geometry/Triangle.h"

namespace libkub {

// The signed volume enclosed by each connected part of a closed surface, in the order of each part's
// first triangle: positive for a part wound counter-clockwise (OpenGL's front) seen from outside.
// Triangles belong to one part when a chain of shared edges joins them. Each part's volume is summed
// in double, every triple product computed in double from the part's own first corner, so a thin part
// far from the origin keeps its sign. Nothing when the surface is not closed: a triangle with two equal
// corners, an edge run the same way by two triangles (inconsistent winding, or more than two faces on
// it), or an edge without a triangle running it the other way (a hole). Corners count as one point
// only where their positions are equal to the bit.
std::optional<std::vector<double>> closedPartVolumes(const Triangle* triangles, std::size_t count);

// True when the list is not empty, closed, and every connected part of it encloses a positive volume.
// An inside-out or open part anywhere means false, whatever the other parts are.
bool isClosedOutwardSurface(const Triangle* triangles, std::size_t count);

} // namespace libkub
