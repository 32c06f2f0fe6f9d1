#pragma once
// Turning the pointer into a world ray, and testing rays against boxes.
#include "engine/BoundingBox.h"
#include "engine/Ray.h"

namespace libkub {

// Un-projects the pointer (window coordinates, origin top left) through the current GL matrices.
void updatePickRay(int windowHeight, Ray& ray, int x, int y);

// Slab test: true when the ray meets the box for a parameter in the open interval (t0, t1).
bool rayHitsBox(const Ray& ray, const BoundingBox& box, float t0, float t1);

} // namespace libkub
