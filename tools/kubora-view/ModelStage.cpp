#include "tools/kubora-view/ModelStage.h"

#include <GL/glew.h> // before any other GL header

#include <algorithm>
#include <cmath>

#include "setup/SceneLights.h"
#include "engine/scene/Camera.h"
#include "engine/resources/Model.h"
#include "engine/scene/PointLightSource.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "tools/kubora-view/StageFloor.h"
#include "tools/kubora-view/StageObject.h"

namespace KuboraView {

namespace {

constexpr float fieldOfView = 40.0f; // vertical, degrees
// The camera looks from the front left and above: from there both the face the main light (from
// +x, +z) lights and one it leaves to the ambient light show, and the main light's shadow falls to the
// side instead of behind the model.
constexpr libkub::Vector3f viewDirection{-0.6f, 0.5f, 1.0f};
// How much more than the stage's sphere the picture holds: the floor around the model and its shadows.
constexpr float framingMargin = 1.25f;

// A camera that holds the sphere around the stage's cube, whatever the model's shape, so that every
// model fills the picture alike.
std::unique_ptr<libkub::Camera> fitCamera(float aspect)
{
    const libkub::Vector3f centre = stagePlace + libkub::Vector3f{0.0f, stageSize * 0.5f, 0.0f};
    const float radius = stageSize * std::sqrt(3.0f) * 0.5f * framingMargin;
    const float halfVertical = fieldOfView * 0.5f * 3.14159265f / 180.0f;
    const float halfHorizontal = std::atan(std::tan(halfVertical) * aspect);
    const float distance = radius / std::sin(std::min(halfVertical, halfHorizontal));
    const libkub::Vector3f eye = centre + libkub::normalize(viewDirection) * distance;
    return std::make_unique<libkub::Camera>(eye, centre, libkub::Vector3f{0.0f, 1.0f, 0.0f}, 0.05f,
                                            distance + 4.0f * floorHalfWidth, aspect, fieldOfView);
}

// The plain look's light: one white light from over the viewer's left shoulder, fixed to the camera.
void setUpPlainLight()
{
    const GLfloat ambient[4] = {0.35f, 0.35f, 0.35f, 1.0f};
    const GLfloat diffuse[4] = {0.85f, 0.85f, 0.85f, 1.0f};
    const GLfloat specular[4] = {0.4f, 0.4f, 0.4f, 1.0f};
    const GLfloat sceneAmbient[4] = {0.25f, 0.25f, 0.25f, 1.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, sceneAmbient);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_NORMALIZE); // models are scaled
}

} // namespace

void placeOnStage(libkub::Model& model)
{
    if (model.meshMin.x > model.meshMax.x) {
        model.setPosition(stagePlace.x, stagePlace.y, stagePlace.z);
        return;
    }
    const libkub::Vector3f extent = model.meshMax - model.meshMin;
    const float longest = std::max({extent.x, extent.y, extent.z});
    // A model that is a single point keeps its size; any other is brought to the stage's size, however
    // tiny or huge the file made it.
    const float scale = longest > 0.0f ? stageSize / longest : 1.0f;
    const libkub::Vector3f foot{(model.meshMin.x + model.meshMax.x) * 0.5f, model.meshMin.y,
                                (model.meshMin.z + model.meshMax.z) * 0.5f};
    model.setSize(scale, scale, scale);
    model.setPosition(stagePlace.x - foot.x * scale, stagePlace.y - foot.y * scale,
                      stagePlace.z - foot.z * scale);
    // The box around what is drawn, not around the placement's origin (which lies far away for a model
    // far from its file's origin): the renderer bounds the lights' reach with it.
    model.box = libkub::boxBetween(stagePlace + (model.meshMin - foot) * scale,
                                   stagePlace + (model.meshMax - foot) * scale);
}

ModelStage::ModelStage(const std::string& modelPath, Look chosenLook, bool exact, float aspect)
    : look(chosenLook), viewer(fitCamera(aspect))
{
    std::unique_ptr<libkub::Model> loaded = libkub::loadModel(modelPath);
    placeOnStage(*loaded);
    model = std::make_unique<StageObject>(std::move(loaded));
    floor = std::make_unique<StageObject>(makeStageFloor());
    glClearColor(backdropColour[0], backdropColour[1], backdropColour[2], 1.0f);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    if (look == Look::Plain) {
        setUpPlainLight();
        return;
    }
    renderer = std::make_unique<libkub::SceneRenderer>(viewer.get(), libkub::Backdrop::ClearColour);
    renderer->plan = exact ? libkub::FramePlan::exact() : libkub::FramePlan{};
    // The floor last, as the game draws its board last.
    renderer->addObject(model.get());
    renderer->addObject(floor.get());
    pointLight = Kubora::makePointLight();
    spotLight = Kubora::makeSpotLight();
    Kubora::hangAbove(*spotLight, stagePlace);
    // The camera's view is on the modelview stack while the lights are added, as in the game.
    viewer->applyView();
    renderer->addLight(pointLight.get());
    renderer->addLight(spotLight.get());
}

ModelStage::~ModelStage() = default;

void ModelStage::draw()
{
    // The frame takes the lights' positions through the modelview matrix, which must hold the view of
    // the camera as it is now.
    viewer->applyProjection();
    viewer->applyView();
    if (look == Look::Plain) {
        drawPlain();
        return;
    }
    renderer->render();
}

libkub::EdgeMap ModelStage::edgeMap(int width, int height)
{
    if (look == Look::Plain) {
        return {};
    }
    viewer->applyProjection();
    viewer->applyView();
    return libkub::drawEdgeMap(*renderer, width, height);
}

void ModelStage::drawPlain()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const GLfloat lightDirection[4] = {-0.5f, 0.7f, 1.0f, 0.0f}; // in eye space
    glLightfv(GL_LIGHT0, GL_POSITION, lightDirection);
    glPopMatrix();
    model->draw();
    floor->draw();
}

} // namespace KuboraView
