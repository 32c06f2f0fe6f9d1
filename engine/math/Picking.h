#pragma once
// Testing rays against boxes (the pointer's ray is made in engine/scene/PickRay.h).
#include <optional>

#include "engine/math/BoundingBox.h"
#include "engine/math/Ray.h"

namespace libkub {

// Slab test: true when the ray meets the box for a parameter in the open interval (t0, t1).
bool rayHitsBox(const Ray& ray, const BoundingBox& box, float t0, float t1);

// The first parameter in [t0, t1] at which the ray is inside the box (t0 itself when it starts
// inside), or nothing when it is not inside for any parameter in that interval.
std::optional<float> rayEntersBox(const Ray& ray, const BoundingBox& box, float t0, float t1);

} // namespace libkub
