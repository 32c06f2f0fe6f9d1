#include "engine/SceneRenderer.h"

#include <GL/glew.h>

#include <algorithm>

#include "app/RenderSettings.h"
#include "engine/Camera.h"
#include "engine/DrawableObject.h"
#include "engine/Frustum.h"
#include "engine/Model.h"
#include "engine/SelectableObject.h"
#include "engine/ShaderProgram.h"
#include "engine/SkyBox.h"
#include "hud/HUDElement.h"

namespace libkub {

SceneRenderer::SceneRenderer(Camera* sceneCamera) : camera(sceneCamera)
{
    shadowProgram = std::make_unique<ShaderProgram>("data/shadow.vert", "shadow", "data/shadow.frag");
    shadowProgram->link();
    skyBox = std::make_unique<SkyBox>();
}

SceneRenderer::~SceneRenderer() = default;

void SceneRenderer::addObject(DrawableObject* object)
{
    objects.push_back(object);
    if (auto* selectable = dynamic_cast<SelectableObject*>(object)) {
        selectables.push_back(selectable);
    }
}

void SceneRenderer::removeObject(DrawableObject* object)
{
    std::erase(objects, object);
}

void SceneRenderer::drawObjects()
{
    const bool culling = RenderSettings::instance().frustumCulling;
    for (DrawableObject* object : objects) {
        if (culling && camera->frustum->classifyBox(object->model()->drawnBounds()) == Outside) {
            continue;
        }
        object->draw();
    }
}

void SceneRenderer::drawShadowCasters(const Frustum& lightView)
{
    // A light higher than its far distance has a near plane beyond the far one: its planes mean
    // nothing then, and everything is drawn.
    const bool usable = lightView.nearDistance < lightView.farDistance;
    for (DrawableObject* object : objects) {
        if (!usable || !lightView.outsideSides(object->model()->drawnBounds())) {
            object->draw();
        }
    }
}

void SceneRenderer::pickTest()
{
    if (pickRay == nullptr) {
        return;
    }
    for (SelectableObject* selectable : selectables) {
        if (selectable->hitTest(*pickRay, -100.0f, 100.0f)) {
            pickedObject = selectable;
        }
    }
}

} // namespace libkub
