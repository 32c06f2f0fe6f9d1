#pragma once
// Turning the pointer into a world ray, through the camera's matrices as GL holds them.
#include "engine/math/Ray.h"

namespace libkub {

// Un-projects the pointer (window coordinates, origin top left) through the current GL matrices.
void updatePickRay(int windowHeight, Ray& ray, int x, int y);

} // namespace libkub
