#pragma once
// The pick ray: from the near plane through the pixel under the pointer.
#include "engine/math/Vector3f.h"

namespace libkub {

struct Ray {
    Vector3f origin;
    Vector3f direction; // unit length once computed
};

} // namespace libkub
