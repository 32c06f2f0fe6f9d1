#include "tools/kubora-view/StageFloor.h"

#include <vector>

#include "engine/resources/Mesh.h"
#include "engine/resources/Model.h"
#include "engine/resources/RenderSettings.h"
#include "engine/resources/TextureCache.h"
#include "tools/kubora-view/ModelStage.h"

namespace KuboraView {

namespace {

// Two triangles facing up, wound counter-clockwise seen from above.
std::vector<libkub::Triangle> floorTriangles()
{
    const float h = floorHalfWidth;
    const libkub::Vector3f up{0.0f, 1.0f, 0.0f};
    const libkub::Corner nearLeft{{-h, 0.0f, h}, up, 0.0f, 0.0f};
    const libkub::Corner nearRight{{h, 0.0f, h}, up, 1.0f, 0.0f};
    const libkub::Corner farRight{{h, 0.0f, -h}, up, 1.0f, 1.0f};
    const libkub::Corner farLeft{{-h, 0.0f, -h}, up, 0.0f, 1.0f};
    return {{{nearLeft, nearRight, farRight}}, {{nearLeft, farRight, farLeft}}};
}

} // namespace

std::unique_ptr<libkub::Model> makeStageFloor()
{
    auto floor = std::make_unique<libkub::Model>();
    libkub::Mesh& mesh = floor->mesh;
    mesh.triangles = floorTriangles();
    mesh.triangleCount = static_cast<std::uint32_t>(mesh.triangles.size());
    // Recorded as the model loader records a file's triangles in this mode.
    if (libkub::RenderSettings::instance().renderMode == libkub::VBO) {
        libkub::fillVertexBuffer(mesh);
    } else {
        libkub::compileDisplayList(mesh);
    }
    floor->meshMin = {-floorHalfWidth, 0.0f, -floorHalfWidth};
    floor->meshMax = {floorHalfWidth, 0.0f, floorHalfWidth};
    floor->textures.push_back(libkub::TextureCache::instance().white());
    // A neutral mid-dark grey without highlights: it tints no model, and lit parts of a light model
    // and shadowed parts of a dark one both differ from it.
    floor->material.ambient = {0.4f, 0.4f, 0.4f, 1.0f};
    floor->material.diffuse = {0.4f, 0.4f, 0.4f, 1.0f};
    floor->material.specular = {0.0f, 0.0f, 0.0f, 1.0f};
    floor->setPosition(stagePlace.x, stagePlace.y, stagePlace.z);
    floor->box = libkub::boxBetween(stagePlace + floor->meshMin, stagePlace + floor->meshMax);
    return floor;
}

} // namespace KuboraView
