#pragma once
// An axis-aligned box around a model's origin, moved and scaled with the model (its owner's box, used
// for picking; Model::drawnBounds grows it to the drawn triangles for culling).
#include "engine/math/Vector3f.h"

namespace libkub {

struct BoundingBox {
    Vector3f min{-0.5f, -0.5f, -0.5f};
    Vector3f max{0.5f, 0.5f, 0.5f};
    Vector3f centre{0.0f, 0.0f, 0.0f};
    Vector3f size{1.0f, 1.0f, 1.0f};
};

// The box from min to max, with its centre and size.
inline BoundingBox boxBetween(Vector3f min, Vector3f max)
{
    return {min, max, (min + max) * 0.5f, max - min};
}

} // namespace libkub
