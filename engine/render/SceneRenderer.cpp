#include "engine/render/SceneRenderer.h"

#include <GL/glew.h>

#include <algorithm>
#include <optional>
#include <string>

#include "engine/resources/RenderSettings.h"
#include "engine/scene/Camera.h"
#include "engine/resources/DataFolder.h"
#include "engine/scene/DepthPassRecord.h"
#include "engine/render/BackFaceCulling.h"
#include "engine/render/BoxColumns.h"
#include "engine/scene/DrawableObject.h"
#include "engine/math/Frustum.h"
#include "engine/render/HiddenObjects.h"
#include "engine/render/InstancedBatches.h"
#include "engine/render/NearBeforeFar.h"
#include "engine/render/ShadowCasterCulling.h"
#include "engine/scene/LightSource.h"
#include "engine/resources/MeshPlacement.h"
#include "engine/resources/Model.h"
#include "engine/scene/SelectableObject.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/ShaderVariant.h"
#include "engine/scene/SkyBox.h"
#include "engine/render/HUDElement.h"

namespace libkub {

namespace {

// How far ahead of the eye the pick ray reaches.
constexpr float pickRange = 100.0f;

// The instance attributes at the places the batches feed; they take effect at a new link. Returns
// whether the program still links.
bool bindInstanceAttributes(GLuint program, const InstancedBatches& instanced)
{
    if (!instanced.available()) {
        return true;
    }
    glBindAttribLocation(program, instancePlaceLocation, "instancePlace");
    glBindAttribLocation(program, instanceSizeLocation, "instanceSize");
    for (int column = 0; column < 4; ++column) {
        glBindAttribLocation(program, static_cast<GLuint>(instanceModelviewLocation + column),
                             ("instanceModelview" + std::to_string(column)).c_str());
    }
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked == GL_TRUE;
}

// The shadow maps' units are fixed by the lights' order, as the frame gives them to the full program:
// unit 1 + i for light i. The variants are set once here.
void fixShadowSamplerUnits(GLuint program)
{
    glUseProgram(program);
    for (int index = 0; index < 2; ++index) {
        const GLint location = glGetUniformLocation(program, ("shadowMap" + std::to_string(index)).c_str());
        if (location >= 0) {
            glUniform1i(location, 1 + index);
        }
    }
    glUseProgram(0);
}

// A variant of the shadow program that draws like it: the instance attributes at their places and the
// shadow maps on their units. 0 when it does not build.
GLuint linkCompanion(const ShaderProgram& base, const std::vector<std::string>& macros,
                     const InstancedBatches& instanced)
{
    GLuint program = linkVariant(base, macros);
    if (program != 0 && !bindInstanceAttributes(program, instanced)) {
        glDeleteProgram(program);
        program = 0;
    }
    if (program != 0) {
        fixShadowSamplerUnits(program);
    }
    return program;
}

} // namespace

SceneRenderer::SceneRenderer(Camera* sceneCamera, Backdrop backdrop) : camera(sceneCamera)
{
    shadowProgram =
        std::make_unique<ShaderProgram>(dataFile("shadow.vert"), "shadow", dataFile("shadow.frag"));
    shadowProgram->link();
    instanced = std::make_unique<InstancedBatches>();
    if (shadowProgram->linked) {
        bindInstanceAttributes(shadowProgram->programId, *instanced);
        spotlessProgram =
            linkFragmentVariant(*shadowProgram, shadowProgram->fragmentShader->file, "WITHOUT_SPOT_LIGHT");
    }
    if (spotlessProgram != 0 && !bindInstanceAttributes(spotlessProgram, *instanced)) {
        spotlessProgram = 0;
    }
    if (spotlessProgram != 0) {
        fixShadowSamplerUnits(spotlessProgram);
    }
    if (shadowProgram->linked) {
        columnProgram = linkCompanion(*shadowProgram, {"BOX_COLUMNS"}, *instanced);
    }
    if (spotlessProgram != 0) {
        spotlessColumnProgram =
            linkCompanion(*shadowProgram, {"BOX_COLUMNS", "WITHOUT_SPOT_LIGHT"}, *instanced);
    }
    columns = std::make_unique<BoxColumns>();
    nearFirst = std::make_unique<NearBeforeFar>();
    hidden = std::make_unique<HiddenObjects>();
    if (backdrop == Backdrop::SkyBox) {
        skyBox = std::make_unique<SkyBox>();
    }
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
    collectShown(shown);
    for (DrawableObject* object : shown) {
        object->draw();
    }
}

bool SceneRenderer::batches(const DrawableObject& object) const
{
    // Not in wireframe: there every edge shows, also the edges two stacked copies share exactly, and
    // which of the two wins that depth tie goes by the last bit of how each was placed, which
    // instancing computes along another path. Filled faces hide those shared edges.
    const RenderSettings& settings = RenderSettings::instance();
    return plan.instancing && instanced->available() && settings.renderMode == VBO && !settings.wireframe &&
           object.drawsOnlyItsModel();
}

void SceneRenderer::collectShadowCasters(const Frustum& lightView,
                                         std::vector<DrawableObject*>& casters) const
{
    libkub::collectShadowCasters(objects, lightView, plan.cullShadowCasters, casters);
}

void SceneRenderer::recordShadowPass(const LightSource& light, const std::vector<DrawableObject*>& casters,
                                     DepthPassRecord& record) const
{
    const RenderSettings& settings = RenderSettings::instance();
    // What decides how the casters are drawn: the instancing the plan allows and the driver offers, and
    // the columns. (Which casters there are, the caster culling's part, is the list itself.)
    record.begin(light.depthTexture, light.shadowMapSize(), light.lightProjection, light.lightView,
                 settings.renderMode, settings.wireframe, plan.instancing && instanced->available(),
                 stacksColumns());
    for (DrawableObject* object : casters) {
        if (object->drawsOnlyItsModel()) {
            record.add(object->model()->mesh);
        } else {
            record.addUnrecordable();
        }
    }
}

std::size_t SceneRenderer::drawShadowCasters(const std::vector<DrawableObject*>& casters,
                                             const Matrix4f& lightView,
                                             const std::function<bool(const BoundingBox&)>& reaches)
{
    std::size_t leftOut = 0;
    const bool inColumns = stacksColumns();
    unstacked.clear();
    if (inColumns) {
        columns->gather(casters, unstackedIndices);
        for (const std::uint32_t index : unstackedIndices) {
            unstacked.push_back(casters[index]);
        }
    }
    const std::vector<DrawableObject*>& single = inColumns ? unstacked : casters;
    casterOrder.clear();
    for (std::size_t i = 0; i < single.size(); ++i) {
        casterOrder.push_back(static_cast<std::uint32_t>(i));
    }
    if (nearFirstThisFrame()) {
        // The depth texture keeps each texel's least depth whatever the order: nearest the light first
        // only spares the depth writes of what stands behind. The columns, the towers that stand
        // nearest a light above the board, go first.
        nearFirst->orderFromLight(single, lightView, casterOrder);
        if (inColumns) {
            leftOut += columns->drawDepth(reaches);
        }
    }
    // Only closed meshes drawn twice or more in this pass: the depth program places an instance's
    // vertices along another path than the plain draw, a last bit apart. A mesh that is not closed can
    // have faces in the depth texture at the very depth they are lit at, where that last bit decides
    // the shadow; and a lone copy gains nothing from instancing, while that bit would move the whole
    // length of its shadow's edges.
    const auto instanceable = [this](DrawableObject& object) {
        const Model& model = *object.model();
        return batches(object) && InstancedBatches::batchable(model) && model.mesh.closed;
    };
    const auto copiesOf = [this](unsigned buffer) -> std::size_t& {
        for (auto& [meshBuffer, copies] : meshCopies) {
            if (meshBuffer == buffer) {
                return copies;
            }
        }
        return meshCopies.emplace_back(buffer, 0).second;
    };
    meshCopies.clear();
    for (DrawableObject* object : single) {
        if (instanceable(*object)) {
            ++copiesOf(object->model()->mesh.vertexBuffer);
        }
    }
    for (const std::uint32_t index : casterOrder) {
        DrawableObject* object = single[index];
        // What draws more than its model has no box to test: always drawn.
        if (reaches && object->drawsOnlyItsModel() && !reaches(object->model()->drawnBounds())) {
            ++leftOut;
            continue;
        }
        if (instanceable(*object) && copiesOf(object->model()->mesh.vertexBuffer) > 1) {
            instanced->add(*object->model());
        } else {
            object->draw();
        }
    }
    instanced->drawDepth();
    if (inColumns && !nearFirstThisFrame()) {
        leftOut += columns->drawDepth(reaches);
    }
    return leftOut;
}

void SceneRenderer::collectShown(std::vector<DrawableObject*>& shown) const
{
    shown.clear();
    const bool culling = RenderSettings::instance().frustumCulling;
    for (DrawableObject* object : objects) {
        // What an object draws beyond its model has no bounds to test: it is always drawn.
        if (culling && object->drawsOnlyItsModel() &&
            camera->frustum->classifyBox(object->model()->drawnBounds()) == Outside) {
            continue;
        }
        shown.push_back(object);
    }
}

bool SceneRenderer::nearFirstThisFrame() const
{
    // As columns, not in wireframe, where the copies' shared edges show along their length.
    return plan.nearBeforeFar && !RenderSettings::instance().wireframe;
}

bool SceneRenderer::stacksColumns() const
{
    // As instancing, not in wireframe, where the copies' shared edges show.
    const RenderSettings& settings = RenderSettings::instance();
    return plan.stackColumns && settings.renderMode == VBO && !settings.wireframe;
}

unsigned SceneRenderer::columnVariantOf(unsigned program) const
{
    if (!stacksColumns() || program == 0) {
        return 0;
    }
    if (shadowProgram && program == shadowProgram->programId) {
        return columnProgram;
    }
    return program == spotlessProgram ? spotlessColumnProgram : 0;
}

bool SceneRenderer::drawsInstancesUnder(unsigned program) const
{
    return program != 0 && shadowProgram &&
           (program == shadowProgram->programId || program == spotlessProgram);
}

void SceneRenderer::placeShown(const Matrix4f& view)
{
    shownModelviews.clear();
    for (DrawableObject* object : shown) {
        shownModelviews.push_back(view * placementOf(object->model()->mesh));
    }
}

void SceneRenderer::drawShaded(const std::vector<DrawableObject*>& list,
                               const std::vector<Matrix4f>& modelviews, unsigned program)
{
    // The back faces of closed meshes are not drawn (BackFaceCulling.h).
    const bool cullBackFaces = culledBackFacesThisFrame(plan, RenderSettings::instance());
    // An object that draws only its model is drawn with the modelview matrix its instances would take.
    const auto drawAlone = [&](std::size_t index) {
        DrawableObject& object = *list[index];
        const Mesh& mesh = object.model()->mesh;
        if (cullBackFaces && hidesBackFaces(mesh.closed, mesh.scale)) {
            glCullFace(GL_BACK);
            glEnable(GL_CULL_FACE);
        } else {
            glDisable(GL_CULL_FACE);
        }
        if (object.drawsOnlyItsModel()) {
            object.model()->drawPlaced(modelviews[index]);
        } else {
            object.draw();
        }
    };
    // Instances need the shadow program's instance attributes; under any other program every object
    // is drawn alone.
    if (!drawsInstancesUnder(program) || !plan.instancing) {
        const bool probing = probe != nullptr && plan.isExact();
        alone.clear();
        for (std::size_t i = 0; i < list.size(); ++i) {
            alone.push_back(static_cast<std::uint32_t>(i));
        }
        if (nearFirstThisFrame()) {
            nearFirst->order(list, modelviews, alone);
        }
        for (const std::uint32_t index : alone) {
            if (probing) {
                probe->beforeObject(*list[index]);
            }
            drawAlone(index);
        }
        glDisable(GL_CULL_FACE);
        return;
    }
    glVertexAttrib4f(instancePlaceLocation, 0.0f, 0.0f, 0.0f, 1.0f);
    const unsigned columnVariant = columnVariantOf(program);
    unstackedIndices.clear();
    if (columnVariant != 0) {
        columns->gather(list, unstackedIndices);
        columnShading = {columns->columns(), columns->copiesInColumns()};
    } else {
        for (std::size_t i = 0; i < list.size(); ++i) {
            unstackedIndices.push_back(static_cast<std::uint32_t>(i));
        }
    }
    alone.clear();
    for (const std::uint32_t index : unstackedIndices) {
        DrawableObject& object = *list[index];
        Model& model = *object.model();
        if (batches(object) && InstancedBatches::batchable(model)) {
            instanced->add(model, &modelviews[index]);
        } else {
            alone.push_back(index);
        }
    }
    // The copies first, the columns of them before all: they stand in front of the tiles and the board,
    // whose hidden fragments the depth test then rejects before they are shaded.
    if (columnVariant != 0) {
        columns->draw(columnVariant, camera->eye, cullBackFaces, nearFirstThisFrame());
        glUseProgram(program);
    }
    instanced->drawShaded(camera->eye, cullBackFaces, nearFirstThisFrame());
    if (nearFirstThisFrame()) {
        nearFirst->order(list, modelviews, alone);
    }
    for (const std::uint32_t index : alone) {
        drawAlone(index);
    }
    glDisable(GL_CULL_FACE);
}

void SceneRenderer::drawCameraPass()
{
    // Called on its own, outside a frame: the program and the view are read once, from GL.
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    collectShown(shown);
    placeShown(loadedView());
    drawShaded(shown, shownModelviews, static_cast<unsigned>(current));
}

namespace {

// The frame's own matrix when the frame set one, else the one GL holds (read once).
Matrix4f frameOrLoaded(const std::optional<Matrix4f>& ofFrame, GLenum loaded)
{
    if (ofFrame) {
        return *ofFrame;
    }
    Matrix4f matrix;
    glGetFloatv(loaded, matrix.data());
    return matrix;
}

} // namespace

Matrix4f SceneRenderer::loadedProjection() const
{
    return frameOrLoaded(frameProjection, GL_PROJECTION_MATRIX);
}

Matrix4f SceneRenderer::loadedView() const
{
    return frameOrLoaded(frameView, GL_MODELVIEW_MATRIX);
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
