// The lights of the scene renderer and the order of one frame.
#include "engine/render/SceneRenderer.h"

#include <GL/glew.h>

#include <string>

#include "engine/resources/RenderSettings.h"
#include "engine/scene/Camera.h"
#include "engine/render/BoxColumns.h"
#include "engine/resources/Diagnostics.h"
#include "engine/render/InstancedBatches.h"
#include "engine/scene/LightSource.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/ShadowMapping.h"
#include "engine/scene/SkyBox.h"
#include "engine/scene/SpotLightSource.h"
#include "engine/render/HUDElement.h"
#include "engine/render/DepthPass.h"
#include "engine/render/PassFragmentCounter.h"

namespace libkub {

namespace {

// OpenGL guarantees eight light slots.
constexpr std::size_t numberedLights = 8;
// The shadow program reads the shadow maps of the first two lights.
constexpr int shadowSamplers = 2;

void applyLightParameters(const LightSource& light)
{
    glLightfv(light.lightNumber, GL_POSITION, light.position.data());
    glLightfv(light.lightNumber, GL_AMBIENT, light.ambient.data());
    glLightfv(light.lightNumber, GL_DIFFUSE, light.diffuse.data());
    glLightfv(light.lightNumber, GL_SPECULAR, light.specular.data());
    if (light.type() == 2) {
        const auto& spot = static_cast<const SpotLightSource&>(light);
        const GLfloat direction[3] = {spot.direction.x, spot.direction.y, spot.direction.z};
        glLightfv(light.lightNumber, GL_SPOT_DIRECTION, direction);
        glLightf(light.lightNumber, GL_SPOT_CUTOFF, spot.cutOff);
        glLightf(light.lightNumber, GL_SPOT_EXPONENT, spot.exponent);
    }
}

// Shadow samplers that no light feeds would stay on unit 0, where the colour texture's sampler is:
// two sampler types on one unit make every draw fail. Each gets its own (empty) unit instead.
void parkIdleShadowSamplers(GLuint program, int lightCount)
{
    for (int index = lightCount; index < shadowSamplers; ++index) {
        const GLint location = glGetUniformLocation(program, ("shadowMap" + std::to_string(index)).c_str());
        if (location >= 0) {
            glUniform1i(location, 1 + index);
        }
    }
}

// The name a light's depth pass is counted under: its number in the frame and its kind.
std::string depthPassName(std::size_t index, const LightSource& light)
{
    const char* kind = light.type() == 2 ? "spot" : light.type() == 1 ? "point" : "light";
    return "light " + std::to_string(index) + " depth (" + kind + ")";
}

} // namespace

void SceneRenderer::beginCounting(std::string_view pass)
{
    if (fragmentCounter != nullptr) {
        fragmentCounter->beginPass(pass);
    }
}

void SceneRenderer::endCounting(bool drew)
{
    if (fragmentCounter != nullptr) {
        fragmentCounter->endPass(drew);
    }
}

void SceneRenderer::addLight(LightSource* light)
{
    const std::size_t count = lights.size() + 1;
    if (count > numberedLights) {
        reportProblem("light " + std::to_string(count), "OpenGL numbers only " +
                                                            std::to_string(numberedLights) +
                                                            " lights; this light is ignored");
        return;
    }
    if (count == 1 && !framebufferObjectsAvailable()) {
        reportProblem("shadows", "this OpenGL offers no framebuffer objects; shadows are off");
    }
    lights.push_back(light);
    light->lightNumber = GL_LIGHT0 + static_cast<GLenum>(count - 1);
    light->setupShadowMap(shadowProgram.get(), static_cast<int>(count - 1), camera);
}

void SceneRenderer::render()
{
    // A program that failed to link cannot be made current: the scene is then drawn without shadows
    // instead of raising an OpenGL error in every frame.
    const GLuint program = shadowProgram && shadowProgram->linked ? shadowProgram->programId : 0;

    if (fragmentCounter != nullptr) {
        fragmentCounter->beginFrame();
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, RenderSettings::instance().wireframe ? GL_LINE : GL_FILL);
    if (skyBox) {
        skyBox->centre[0] = camera->eye.x;
        skyBox->centre[1] = camera->eye.y;
        skyBox->centre[2] = camera->eye.z;
    }
    const bool probing = probe != nullptr && plan.isExact();
    if (!plan.skyBehindScene && skyBox) {
        // The sky in its plain place, first and covered by everything after it, seen through this
        // frame's camera.
        camera->applyProjection();
        camera->applyView();
        beginCounting("sky first");
        skyBox->draw();
        endCounting();
        if (probing) {
            // The edge map shows no sky, but draws it all the same, so that the map's frame sends GL
            // what the exact frame sends but its camera pass. In immediate mode llvmpipe was seen to
            // decide near-ties between touching tile faces by where its stream of immediate vertices
            // stood: without the sky's vertices the frames after the map drew one tile face in its
            // neighbour's colour (no GL state differed; a zero-area draw of as many vertices does as
            // well as the sky).
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        }
    }
    for (std::size_t index = 0; index < lights.size(); ++index) {
        LightSource* light = lights[index];
        // The modelview matrix still holds the camera view, so GL keeps the position in eye space.
        applyLightParameters(*light);
        glEnable(GL_CULL_FACE);
        glCullFace(GL_FRONT);
        if (fragmentCounter != nullptr) {
            fragmentCounter->beginPass(depthPassName(index, *light));
        }
        const bool drew = drawDepthPass(*this, *light);
        endCounting(drew);
        light->prepareCameraPass(*light->camera);
        glDisable(GL_CULL_FACE);
        glBindTexture(GL_TEXTURE_2D, light->depthTexture); // on unit 1 + shadowIndex, active now
        if (program != 0) {
            glUseProgram(program);
            glUniform1i(light->shadowMapLocation, 1 + light->shadowIndex);
            glUseProgram(0);
        }
    }

    // The camera matrices the lights loaded for the camera pass; without lights, the caller's.
    if (!lights.empty()) {
        frameView = lights.back()->cameraView;
        frameProjection = lights.back()->cameraProjection;
    }
    glActiveTexture(GL_TEXTURE0); // colour textures; the shadow maps stay bound on units 1 and up
    if (probing) {
        glUseProgram(probe->program);
        drawCameraPass();
        glUseProgram(0);
        instanced->endFrame();
        return;
    }
    glUseProgram(program);
    if (program != 0) {
        parkIdleShadowSamplers(program, static_cast<int>(lights.size()));
    }
    drawLitCameraPass();
    glUseProgram(0);
    frameView.reset();
    frameProjection.reset();

    // The sky last of the 3D picture, only where the scene left the cleared depth: the same pixels
    // as a sky drawn first and covered, without shading what is covered.
    if (skyBox && plan.skyBehindScene) {
        beginCounting("sky behind scene");
        skyBox->drawBehindScene();
        endCounting();
    }

    instanced->endFrame();
    columns->endFrame();
    pickTest();
    if (!hudElements.empty()) {
        beginCounting("HUD");
        for (HUDElement* element : hudElements) {
            element->draw();
        }
        endCounting();
    }
}

} // namespace libkub
