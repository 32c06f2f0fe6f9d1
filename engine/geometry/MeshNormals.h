#pragma once
// Normals for triangles whose file gives none, computed from the triangles themselves.
#include <cstddef>

#include "engine/geometry/Triangle.h"

namespace libkub {

// Faces that meet at a shared corner position flatter than this (degrees between their normals)
// share a smooth normal there; steeper edges stay hard, so a sphere looks round and a cube keeps
// its faces.
inline constexpr float smoothingAngleDegrees = 60.0f;

// Fills every corner's normal from the triangles' positions: the corner-angle-weighted mean of the
// normals of the faces that share its position within the smoothing angle of its own face. Every
// result has unit length and is finite; a degenerate triangle takes the mean of the faces around
// it, or +Z when it has none.
void computeNormals(Triangle* triangles, std::size_t count);

} // namespace libkub
