#include "engine/SceneRenderer.h"

#include <GL/glew.h>

#include <algorithm>
#include <optional>

#include "engine/RenderSettings.h"
#include "engine/Camera.h"
#include "engine/DataFolder.h"
#include "engine/DrawableObject.h"
#include "engine/Frustum.h"
#include "engine/Model.h"
#include "engine/SelectableObject.h"
#include "engine/ShaderProgram.h"
#include "engine/SkyBox.h"
#include "engine/HUDElement.h"

namespace libkub {

namespace {

// How far ahead of the eye the pick ray reaches.
constexpr float pickRange = 100.0f;

} // namespace

SceneRenderer::SceneRenderer(Camera* sceneCamera) : camera(sceneCamera)
{
    shadowProgram =
        std::make_unique<ShaderProgram>(dataFile("shadow.vert"), "shadow", dataFile("shadow.frag"));
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
        if (culling && camera->frustum->classifyBox(object->model()->bounds()) == Outside) {
            continue;
        }
        object->draw();
    }
}

void SceneRenderer::pickTest()
{
    if (pickRay == nullptr) {
        return;
    }
    // Only what lies in front of the eye counts, and the nearest hit wins: a pointer over a tile's top
    // can cross the box of the tile behind it too.
    SelectableObject* nearest = nullptr;
    float nearestDistance = pickRange;
    for (SelectableObject* selectable : selectables) {
        const std::optional<float> distance = selectable->hitDistance(*pickRay, 0.0f, pickRange);
        if (distance && (nearest == nullptr || *distance < nearestDistance)) {
            nearest = selectable;
            nearestDistance = *distance;
        }
    }
    if (nearest != nullptr) {
        pickedObject = nearest;
    }
}

} // namespace libkub
