#pragma once
// Turning the pointer into a world ray, and testing rays against boxes.
#include <optional>

#include "engine/math/BoundingBox.h"
#include "engine/math/Ray.h"

namespace libkub {

// Un-projects the pointer (window coordinates, origin top left) through the current GL matrices.
void updatePickRay(int windowHeight, Ray& ray, int x, int y);

// Slab test: true when the ray meets the box for a parameter in the open interval (t0, t1).
bool rayHitsBox(const Ray& ray, const BoundingBox& box, float t0, float t1);

// The first parameter in [t0, t1] at which the ray is inside the box (t0 itself when it starts
// inside), or nothing when it is not inside for any parameter in that interval.
std::optional<float> rayEntersBox(const Ray& ray, const BoundingBox& box, float t0, float t1);

} // namespace libkub
