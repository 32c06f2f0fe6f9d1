#pragma once
// The scene's main light: a wide 90-degree shadow view from its position down to a fixed point.
#include "engine/scene/LightSource.h"

namespace libkub {

class PointLightSource : public LightSource {
  public:
    int type() const override { return 1; }
    int shadowMapSize() const override { return 1024; }
    void computeLightMatrices() override;
};

} // namespace libkub
