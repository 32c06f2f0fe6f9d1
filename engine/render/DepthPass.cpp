#include "engine/render/DepthPass.h"

#include <optional>

#include "engine/render/ConfinedDepthRedraw.h"
#include "engine/render/SceneRenderer.h"
#include "engine/resources/Model.h"
#include "engine/resources/RenderSettings.h"
#include "engine/scene/DrawableObject.h"
#include "engine/scene/LightSource.h"

namespace libkub {

bool drawDepthPass(SceneRenderer& renderer, LightSource& light)
{
    light.computeLightMatrices();
    light.castersLeftOut = 0;
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
    light.pendingCasterBoxes.clear();
    for (DrawableObject* caster : light.casters) {
        light.pendingCasterBoxes.push_back(caster->drawsOnlyItsModel() ? caster->model()->drawnBounds()
                                                                       : BoundingBox{});
    }
    std::optional<TexelRect> only;
    if (renderer.reusesDepthTextures() && renderer.plan.confineDepthRedraws &&
        light.heldDepthPass() != nullptr) {
        only = texelsToRedraw(*light.heldDepthPass(), light.heldCasterBoxes, light.pendingDepthPass(),
                              light.pendingCasterBoxes, light.lightProjection, light.lightView,
                              light.shadowMapSize());
    }
    light.beginDepthPass(only);
    const bool drawsTexels = !only || (only->width > 0 && only->height > 0);
    // Not in immediate mode, where every caster is drawn all the same: there llvmpipe was seen to place
    // the camera pass's vertices a last bit apart when fewer immediate vertices went before them (a die
    // drawn in the tile beside it where the two touch), and a frame must not depend on what a depth pass
    // drew.
    const bool leavesCastersOut = only && RenderSettings::instance().renderMode != Immediate;
    if (drawsTexels && leavesCastersOut) {
        const TexelRect texels = *only;
        light.castersLeftOut = renderer.drawShadowCasters(
            light.casters, light.lightView, [&light, texels](const BoundingBox& box) {
                return casterReachesTexels(box, texels, light.lightProjection, light.lightView,
                                           light.shadowMapSize());
            });
    } else if (drawsTexels) {
        renderer.drawShadowCasters(light.casters, light.lightView);
    }
    light.endDepthPass();
    return true;
}

} // namespace libkub
