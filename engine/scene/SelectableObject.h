#pragma once
// The interface of scene objects that the pick ray can hit.
#include <optional>

#include "engine/math/Ray.h"

namespace libkub {

class SelectableObject {
  public:
    virtual bool hitTest(const Ray& ray, float t0, float t1) = 0;
    // Where along the ray, within [t0, t1], the object is first hit; nothing when it is missed. The pick
    // test compares these so that the nearest object under the pointer wins.
    virtual std::optional<float> hitDistance(const Ray& ray, float t0, float t1) = 0;

  protected:
    ~SelectableObject() = default;
};

} // namespace libkub
