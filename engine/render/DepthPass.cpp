#include "engine/render/DepthPass.h"

#include "engine/render/SceneRenderer.h"
#include "engine/scene/LightSource.h"

namespace libkub {

bool drawDepthPass(SceneRenderer& renderer, LightSource& light)
{
    light.computeLightMatrices();
    if (!light.drawsDepth()) {
        return false; // no framebuffer objects: the depth texture keeps its far depth, shadows are off
    }
    // Culled by the light's own view, never by the camera's: an object outside the camera's view
    // still throws its shadow into it.
    renderer.collectShadowCasters(light.lightFrustum, light.casters);
    renderer.recordShadowPass(light, light.casters, light.pendingDepthPass());
    if (renderer.reusesDepthTextures() && light.holdsPendingDepthPass()) {
        return false; // the same casters through the same light: the texture already holds this pass
    }
    light.beginDepthPass();
    renderer.drawShadowCasters(light.casters, light.lightView);
    light.endDepthPass();
    return true;
}

} // namespace libkub
