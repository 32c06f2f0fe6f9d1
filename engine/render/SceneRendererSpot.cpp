// The camera pass with the spot light's share only where it can show: the full shadow program shades,
// inside the window rectangle around the spot light's reach, the objects that stand in that reach; then
// the spotless variant of the program shades everything else. Both programs share their vertex stage,
// so both passes place every fragment alike.
#include "engine/render/SceneRenderer.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "engine/render/HiddenObjects.h"
#include "engine/scene/Camera.h"
#include "engine/scene/DrawableObject.h"
#include "engine/resources/Model.h"
#include "engine/resources/RenderSettings.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/ShadowMapping.h"
#include "engine/render/SpotLightReach.h"
#include "engine/scene/SpotLightSource.h"

namespace libkub {

namespace {

// How far the spot light's pass is pulled towards the eye, in glPolygonOffset units, for the depth buffer
// drawn into (see spotPassPullUnits).
float spotPassPull()
{
    GLint bits = 24;
    glGetIntegerv(GL_DEPTH_BITS, &bits);
    return spotPassPullUnits(drawsIntoFloatDepth(), bits);
}

bool overlaps(const BoundingBox& a, const BoundingBox& b)
{
    return a.min.x <= b.max.x && b.min.x <= a.max.x && a.min.y <= b.max.y && b.min.y <= a.max.y &&
           a.min.z <= b.max.z && b.min.z <= a.max.z;
}

// The largest channel of light diffuse * material diffuse + light specular * material specular: how
// strong the spot light's share can get on this material.
float strongestShare(const SpotLightSource& spot, const Material& material)
{
    const float light[2][3] = {{spot.diffuse.r, spot.diffuse.g, spot.diffuse.b},
                               {spot.specular.r, spot.specular.g, spot.specular.b}};
    const float surface[2][3] = {{material.diffuse.r, material.diffuse.g, material.diffuse.b},
                                 {material.specular.r, material.specular.g, material.specular.b}};
    float strongest = 0.0f;
    for (int channel = 0; channel < 3; ++channel) {
        strongest = std::max(strongest, std::abs(light[0][channel] * surface[0][channel]) +
                                            std::abs(light[1][channel] * surface[1][channel]));
    }
    return strongest;
}

} // namespace

const int (&SceneRenderer::frameViewport())[4]
{
    if (!viewportRead) {
        glGetIntegerv(GL_VIEWPORT, cameraViewport);
        viewportRead = true;
    }
    return cameraViewport;
}

void SceneRenderer::drawLitCameraPass()
{
    // The pass's statistics describe this frame alone, whichever shortcuts it takes.
    spotShading = {};
    columnShading = {};
    hiddenObjects = 0;
    viewportRead = false;
    collectShown(shown);
    const Matrix4f view = loadedView();
    placeShown(view);
    // Not in wireframe, where faces hide nothing.
    if (plan.skipHiddenObjects && !RenderSettings::instance().wireframe) {
        hiddenObjects =
            hidden->remove(shown, shownModelviews, loadedProjection(), view, frameViewport(), camera->eye);
    }
    if (shadowProgram && shadowProgram->linked) {
        drawCameraPassWithSpotWhereItShows(shadowProgram->programId, view);
    } else {
        glUseProgram(0);
        beginCounting("camera");
        drawShaded(shown, shownModelviews, 0);
        endCounting();
    }
}

SceneRenderer::SpotShading SceneRenderer::spotReachInView(const SpotLightSource& spot, const Matrix4f& view,
                                                          const int (&viewport)[4])
{
    // The scene's extent and the strongest share any shown material can take.
    constexpr float far = std::numeric_limits<float>::max();
    BoundingBox scene;
    scene.min = {far, far, far};
    scene.max = {-far, -far, -far};
    float strongest = 0.0f;
    bool boundedSpecular = true;
    shownBounds.clear();
    for (DrawableObject* object : shown) {
        if (!object->drawsOnlyItsModel()) {
            // What it draws beyond its model has no bounds to test against the reach, as the depth
            // texture reuse knows: the whole window is shaded with the spot light.
            return {SpotShading::Everywhere, {}, 0};
        }
        const Model& model = *object->model();
        const BoundingBox& drawn = shownBounds.emplace_back(model.drawnBounds());
        scene.min = {std::min(scene.min.x, drawn.min.x), std::min(scene.min.y, drawn.min.y),
                     std::min(scene.min.z, drawn.min.z)};
        scene.max = {std::max(scene.max.x, drawn.max.x), std::max(scene.max.y, drawn.max.y),
                     std::max(scene.max.z, drawn.max.z)};
        strongest = std::max(strongest, strongestShare(spot, model.material));
        // OpenGL keeps only shininess in [0, 128]; the specular term stays at most 1 only then.
        boundedSpecular =
            boundedSpecular && model.material.shininess >= 0.0f && model.material.shininess <= 128.0f;
    }
    if (shown.empty()) {
        return {SpotShading::Nowhere, {}, 0};
    }
    if (!boundedSpecular || !(strongest < far)) {
        return {SpotShading::Everywhere, {}, 0};
    }
    const std::optional<float> reachCosine = spotReachCosine(spot.cutOff, spot.exponent, strongest);
    if (!reachCosine) {
        return {SpotShading::Nowhere, {}, 0};
    }
    const Vector3f axis = normalize(spot.direction);
    if (*reachCosine <= 0.0f || spot.position.a == 0.0f || axis.length() == 0.0f) {
        return {
            SpotShading::Everywhere, {}, 0}; // no cone to bound: a half space or more, or a light at infinity
    }
    const std::optional<BoundingBox> lit =
        spotLitBox({spot.position.r, spot.position.g, spot.position.b}, axis, *reachCosine, scene);
    if (!lit) {
        return {SpotShading::Nowhere, {}, 0};
    }
    const Matrix4f projection = loadedProjection();
    const Matrix4f& modelview = view;
    const std::optional<WindowRect> rect = windowRectOfBox(*lit, projection, modelview, viewport);
    if (!rect || (rect->width >= viewport[2] && rect->height >= viewport[3])) {
        return {
            SpotShading::Everywhere, {}, 0}; // the reach covers the window (or comes round behind the eye)
    }
    if (rect->width == 0 || rect->height == 0) {
        return {SpotShading::Nowhere, {}, 0};
    }
    spotLit.clear();
    spotLitModelviews.clear();
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (overlaps(shownBounds[i], *lit)) {
            spotLit.push_back(shown[i]);
            spotLitModelviews.push_back(shownModelviews[i]);
        }
    }
    return {SpotShading::Rectangle, *rect, spotLit.size()};
}

void SceneRenderer::drawCameraPassWithSpotWhereItShows(unsigned program, const Matrix4f& view)
{
    // In wireframe the lines take no depth pull, and the split would shade them twice: one program.
    const bool split = plan.spotOnlyWhereItShows && spotlessProgram != 0 &&
                       !RenderSettings::instance().wireframe && lights.size() >= 2 && lights[1]->type() == 2;
    // What the split asks GL, asked whatever it finds, so that the frame's reads stay the same: the
    // viewport the rectangle lies in, and the depth buffer's steps the pull is counted in.
    float pull = 0.0f;
    if (split) {
        pull = spotPassPull();
    }
    spotShading =
        split ? spotReachInView(static_cast<const SpotLightSource&>(*lights[1]), view, frameViewport())
              : SpotShading{};
    if (spotShading.where == SpotShading::Everywhere) {
        glUseProgram(program);
        beginCounting("camera");
        drawShaded(shown, shownModelviews, program);
        endCounting();
        return;
    }
    if (spotShading.where == SpotShading::Rectangle) {
        // The objects in reach first, inside the rectangle, pulled a few depth steps towards the eye:
        // the spotless pass after them then fails the depth test on every pixel they took, so no pixel
        // is shaded by both programs unless something out of reach stands in front of it. The pull is
        // far too small to let them show through anything that does not touch them.
        const WindowRect& rect = spotShading.rect;
        glEnable(GL_SCISSOR_TEST);
        glScissor(rect.x, rect.y, rect.width, rect.height);
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(0.0f, -pull);
        glUseProgram(program);
        beginCounting("camera, spot rectangle");
        drawShaded(spotLit, spotLitModelviews, program);
        endCounting();
        glDisable(GL_POLYGON_OFFSET_FILL);
        glDisable(GL_SCISSOR_TEST);
    }
    glUseProgram(spotlessProgram);
    beginCounting("camera, spotless");
    drawShaded(shown, shownModelviews, spotlessProgram);
    endCounting();
}

} // namespace libkub
