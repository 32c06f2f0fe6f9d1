#pragma once
// The interface of scene objects that the pick ray can hit.
#include "engine/Ray.h"

namespace libkub {

class SelectableObject {
  public:
    virtual bool hitTest(const Ray& ray, float t0, float t1) = 0;

  protected:
    ~SelectableObject() = default;
};

} // namespace libkub
