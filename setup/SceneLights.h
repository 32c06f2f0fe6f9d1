#pragma once
// The game's two lights, as the scene assembly adds them and kubora-view shows a model under them: a
// soft directional main light and a white spot light that hangs over what the pointer rests on.
#include <memory>

#include "engine/math/Vector3f.h"

namespace libkub {
class PointLightSource;
class SpotLightSource;
} // namespace libkub

namespace Kubora {

// The main light: directional (w = 0) from (12, 15, 12), a soft grey.
std::unique_ptr<libkub::PointLightSource> makePointLight();

// The white spot at height 6, still pointing along its default direction until it is hung somewhere.
std::unique_ptr<libkub::SpotLightSource> makeSpotLight();

// Hangs the spot light above the place at its own height, looking straight down.
void hangAbove(libkub::SpotLightSource& spot, libkub::Vector3f place);

} // namespace Kubora
