#pragma once
// The triangles the engine reads from a model file and proves things about: three corners, each with
// its position, normal and texture coordinate.
#include "engine/math/Vector3f.h"

namespace libkub {

struct Corner {
    Vector3f position;
    Vector3f normal;
    float s = 0.0f;
    float t = 0.0f;
};

struct Triangle {
    Corner corners[3];
};

} // namespace libkub
