#include "engine/scene/PointLightSource.h"

namespace libkub {

void PointLightSource::computeLightMatrices()
{
    composeLightMatrices(90.0f, Vector3f{12.0f, -2.0f, 12.0f});
}

} // namespace libkub
