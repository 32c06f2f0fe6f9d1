#pragma once
// A pickable stand-in with a box of its own, for tests of picking and hovering.
#include "engine/math/BoundingBox.h"
#include "engine/math/Picking.h"
#include "engine/scene/SelectableObject.h"

namespace kubora::test {

class SelectableBox : public libkub::SelectableObject {
  public:
    SelectableBox(libkub::Vector3f centre, libkub::Vector3f size)
    {
        box.centre = centre;
        box.size = size;
        box.min = centre - size * 0.5f;
        box.max = centre + size * 0.5f;
    }
    bool hitTest(const libkub::Ray& ray, float t0, float t1) override
    {
        return libkub::rayHitsBox(ray, box, t0, t1);
    }
    std::optional<float> hitDistance(const libkub::Ray& ray, float t0, float t1) override
    {
        return libkub::rayEntersBox(ray, box, t0, t1);
    }

    libkub::BoundingBox box;
};

} // namespace kubora::test
