#include "setup/SceneLights.h"

#include "engine/scene/PointLightSource.h"
#include "engine/scene/SpotLightSource.h"

namespace Kubora {

std::unique_ptr<libkub::PointLightSource> makePointLight()
{
    auto light = std::make_unique<libkub::PointLightSource>();
    light->position = {12.0f, 15.0f, 12.0f, 0.0f};
    light->ambient = {0.3f, 0.3f, 0.3f, 0.4f};
    light->diffuse = {0.6f, 0.6f, 0.6f, 1.0f};
    light->specular = {0.1f, 0.1f, 0.2f, 0.5f};
    return light;
}

std::unique_ptr<libkub::SpotLightSource> makeSpotLight()
{
    auto light = std::make_unique<libkub::SpotLightSource>();
    light->position = {0.0f, 6.0f, 0.0f, 1.0f};
    light->ambient = {0.0f, 0.0f, 0.0f, 0.0f};
    light->diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    light->specular = {1.0f, 1.0f, 1.0f, 1.0f};
    light->exponent = 36.0f;
    light->cutOff = 64.0f;
    return light;
}

void hangAbove(libkub::SpotLightSource& spot, libkub::Vector3f place)
{
    spot.position = {place.x, spot.position.g, place.z, 1.0f};
    spot.direction = {0.0f, -1.0f, 0.0f};
}

} // namespace Kubora
