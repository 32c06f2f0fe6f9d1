#include "bench/ShadingFloor.h"

#include <GL/glew.h> // before any other GL header

#include <cmath>
#include <numbers>

#include "app/Application.h"
#include "engine/scene/Camera.h"
#include "engine/render/InstancedBatches.h"
#include "engine/resources/Material.h"
#include "engine/resources/Model.h"
#include "engine/scene/PointLightSource.h"
#include "engine/render/SceneRenderer.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"

namespace kubora::bench {

namespace {

// How far the quad reaches past the window's edges, as a fraction: clipping takes the excess off, so
// every pixel is covered exactly once whatever rounding the corners meet.
constexpr float margin = 1.02f;

} // namespace

void drawShadingFloor(Kubora::Application& application)
{
    libkub::SceneRenderer& renderer = *application.renderer;
    const libkub::Camera& camera = *application.camera;
    const libkub::PointLightSource& light = *application.pointLight;
    const libkub::SpotLightSource& spot = *application.spotLight;
    libkub::Model& board = *application.board->model();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The frame's own camera projection. The lights' positions (in eye space) and the shadow texture
    // matrices of units 1 and 2 (eye space to depth-texture space) stay as the frame left them, so the
    // quad is given in eye space directly.
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(light.cameraProjection.data());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // The depth textures on the units the frame binds them to, the board's colour texture on unit 0.
    glActiveTexture(GL_TEXTURE1 + light.shadowIndex);
    glBindTexture(GL_TEXTURE_2D, light.depthTexture);
    glActiveTexture(GL_TEXTURE1 + spot.shadowIndex);
    glBindTexture(GL_TEXTURE_2D, spot.depthTexture);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, board.textures.empty() ? 0 : board.textures.front());

    const GLuint program = renderer.shadowProgram->linked ? renderer.shadowProgram->programId : 0;
    glUseProgram(program);
    glVertexAttrib4f(libkub::instancePlaceLocation, 0.0f, 0.0f, 0.0f, 1.0f); // a plain draw
    libkub::applyMaterial(board.material);

    // The quad stands across the view through the board's centre, so that its shadow lookups are real
    // ones among what the depth textures hold: above the board lit, with the dice's shadows, below it
    // in the board's shadow. It faces the lights as the board's top does (the world's up seen from the
    // camera), so both lights' diffuse, specular and shadow terms are computed as for the board. How
    // many of the lookups find shadow does not change the cost: the program computes every fragment
    // alike, whatever it finds.
    const float* view = light.cameraView.data(); // column-major
    const libkub::Vector3f centre = board.drawnBounds().centre;
    const float depth = -(view[2] * centre.x + view[6] * centre.y + view[10] * centre.z + view[14]);
    const float halfHeight =
        depth * std::tan(camera.fieldOfView * std::numbers::pi_v<float> / 360.0f) * margin;
    const float halfWidth = halfHeight * camera.aspect;
    glBegin(GL_QUADS);
    glNormal3f(view[4], view[5], view[6]); // column 1: the world's up in eye space
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-halfWidth, -halfHeight, -depth);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(halfWidth, -halfHeight, -depth);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(halfWidth, halfHeight, -depth);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-halfWidth, halfHeight, -depth);
    glEnd();
    glUseProgram(0);
}

} // namespace kubora::bench
