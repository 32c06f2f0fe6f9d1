#include "engine/scene/SpotLightSource.h"

namespace libkub {

void SpotLightSource::computeLightMatrices()
{
    composeLightMatrices(30.0f, Vector3f{position.r, -2.0f, position.b});
}

} // namespace libkub
