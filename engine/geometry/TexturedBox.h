#pragma once
// A model proven, from its loaded triangles, to be a textured box: closed, axis-aligned, every face
// flat-shaded with its own outward axis and mapped affinely onto one axis-aligned rectangle of its
// texture. Copies of such a model stacked so that they touch can be drawn as one taller box whose
// sides repeat the face image once per copy: the colour texture coordinate anywhere on a face is then
// a fixed function of where on the face the point lies (BoxColumns builds on this).
#include <array>
#include <cstddef>
#include <memory>

#include "engine/geometry/Triangle.h"

namespace libkub {

// Texture coordinates (s, t).
struct TexturePoint {
    float s = 0.0f;
    float t = 0.0f;
};

struct TexturedBox {
    Vector3f min;
    Vector3f max;
    // Face 2 * axis + side: side 0 is the face at min on that axis, side 1 the face at max. Each face
    // keeps the texture coordinates of its four corners, indexed by the corner's place on the two other
    // axes in increasing axis order (bit 0 the lower of the two axes, at max when set).
    std::array<std::array<TexturePoint, 4>, 6> faceCorners{};

    // The texture coordinate on a face at a point given as fractions (0 to 1) along its two axes, in
    // increasing axis order: the affine map the proof found.
    TexturePoint coordinateOn(int face, float first, float second) const;
};

// The faces of a textured box: the axis (0 x, 1 y, 2 z) and side (0 at min, 1 at max) in one number.
inline constexpr int texturedBoxFaces = 6;

// The box the triangles make, or null when they do not make one. Every condition is checked on the
// triangles as loaded: a closed, outward surface (MeshClosure); every triangle lying in a face plane
// of its bounding box, wound outwards, with every corner's normal a positive multiple of that face's
// outward axis; the triangles of each face covering exactly its area; and over each face one affine
// map from position to texture coordinate that takes every corner to its coordinate (within a
// millionth of the texture) and the face onto a rectangle whose sides run along s and t.
std::shared_ptr<const TexturedBox> proveTexturedBox(const Triangle* triangles, std::size_t count);

} // namespace libkub
