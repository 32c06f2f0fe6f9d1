#pragma once
// A spot light looking straight down with a narrow 30-degree shadow view; the pointer moves it.
#include "engine/scene/LightSource.h"
#include "engine/math/Vector3f.h"

namespace libkub {

class SpotLightSource : public LightSource {
  public:
    int type() const override { return 2; }
    int shadowMapSize() const override { return 512; }
    void computeLightMatrices() override;

    Vector3f direction{0.0f, 0.0f, -1.0f};
    float cutOff = 32.0f; // degrees
    float exponent = 20.0f;
};

} // namespace libkub
