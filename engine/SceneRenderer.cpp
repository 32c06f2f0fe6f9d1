#include "engine/SceneRenderer.h"

#include <GL/glew.h>

#include <algorithm>
#include <optional>

#include "engine/RenderSettings.h"
#include "engine/Camera.h"
#include "engine/DataFolder.h"
#include "engine/DepthPassRecord.h"
#include "engine/DrawableObject.h"
#include "engine/Frustum.h"
#include "engine/InstancedBatches.h"
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
    instanced = std::make_unique<InstancedBatches>();
    if (shadowProgram->linked && instanced->available()) {
        // The instance attributes at the places the batches feed; they take effect at a new link.
        glBindAttribLocation(shadowProgram->programId, instancePlaceLocation, "instancePlace");
        glBindAttribLocation(shadowProgram->programId, instanceSizeLocation, "instanceSize");
        glLinkProgram(shadowProgram->programId);
    }
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

bool SceneRenderer::batches(const DrawableObject& object) const
{
    // Not in wireframe: there every edge shows, also the edges two stacked copies share exactly, and
    // which of the two wins that depth tie goes by the last bit of how each was placed, which
    // instancing computes along another path. Filled faces hide those shared edges.
    const RenderSettings& settings = RenderSettings::instance();
    return instanced->available() && settings.renderMode == VBO && !settings.wireframe &&
           object.drawsOnlyItsModel();
}

void SceneRenderer::collectShadowCasters(const Frustum& lightView,
                                         std::vector<DrawableObject*>& casters) const
{
    casters.clear();
    // A light higher than its far distance has a near plane beyond the far one: its planes mean
    // nothing then, and everything is drawn.
    const bool usable = lightView.nearDistance < lightView.farDistance;
    for (DrawableObject* object : objects) {
        if (usable && lightView.outsideSides(object->model()->drawnBounds())) {
            continue;
        }
        casters.push_back(object);
    }
}

void SceneRenderer::recordShadowPass(const Matrix4f& lightProjection, const Matrix4f& lightView,
                                     const std::vector<DrawableObject*>& casters,
                                     DepthPassRecord& record) const
{
    const RenderSettings& settings = RenderSettings::instance();
    record.begin(lightProjection, lightView, settings.renderMode, settings.wireframe, instanced->available());
    for (DrawableObject* object : casters) {
        if (object->drawsOnlyItsModel()) {
            record.add(object->model()->mesh);
        } else {
            record.addUnrecordable();
        }
    }
}

void SceneRenderer::drawShadowCasters(const std::vector<DrawableObject*>& casters)
{
    for (DrawableObject* object : casters) {
        Model& model = *object->model();
        if (batches(*object) && InstancedBatches::batchable(model)) {
            instanced->add(model);
        } else {
            object->draw();
        }
    }
    instanced->drawDepth();
}

void SceneRenderer::drawCameraPass()
{
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    // Instances need the shadow program's instance attributes; under any other program every object
    // is drawn alone.
    const bool instancing =
        shadowProgram && current != 0 && static_cast<GLuint>(current) == shadowProgram->programId;
    if (!instancing) {
        drawObjects();
        return;
    }
    glVertexAttrib4f(instancePlaceLocation, 0.0f, 0.0f, 0.0f, 1.0f);
    const bool culling = RenderSettings::instance().frustumCulling;
    std::vector<DrawableObject*> alone;
    alone.reserve(objects.size());
    for (DrawableObject* object : objects) {
        Model& model = *object->model();
        if (culling && camera->frustum->classifyBox(model.drawnBounds()) == Outside) {
            continue;
        }
        if (batches(*object) && InstancedBatches::batchable(model)) {
            instanced->add(model);
        } else {
            alone.push_back(object);
        }
    }
    // The copies first: they stand in front of the tiles and the board, whose hidden fragments the
    // depth test then rejects before they are shaded.
    instanced->drawShaded();
    for (DrawableObject* object : alone) {
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
