#pragma once
// Whether a triangle list encloses a solid with every face turned outwards: then no back face of it can
// ever be seen past its front faces, and a pass may skip drawing them.
#include <cstddef>

#include "engine/Mesh.h"

namespace libkub {

// True when every edge is shared by exactly two triangles that run along it in opposite directions (a
// closed surface, consistently wound) and the enclosed volume comes out positive (counter-clockwise,
// OpenGL's front, seen from outside). Corners count as one point only where their positions are equal
// to the bit. Degenerate triangles make a list not closed.
bool isClosedOutwardSurface(const Triangle* triangles, std::size_t count);

} // namespace libkub
