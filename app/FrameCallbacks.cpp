#include "app/FrameCallbacks.h"

#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include "app/Application.h"
#include "app/GlErrorReport.h"
#include "app/PassFragmentLine.h"
#include "engine/resources/RenderSettings.h"
#include "engine/scene/Camera.h"
#include "engine/scene/PickRay.h"
#include "engine/render/SceneRenderer.h"
#include "game/Game.h"
#include "hud/StatusBar.h"

namespace Kubora {

namespace {

// Scene units per millisecond of frame time.
constexpr float panSpeed = 0.1f;
// Fraction of the orbit distance per scene unit of dolly.
constexpr float dollyScale = 0.075f;

} // namespace

void onDisplay()
{
    Application& application = *Application::current();
    application.frameTimer->start();
    if (application.passFragmentLine) {
        application.renderer->fragmentCounter = application.passFragmentLine->startFrame();
    }
    application.renderer->render();
    // The frame leaves the camera's matrices loaded: the ray for the next pick test comes from them.
    libkub::updatePickRay(glutGet(GLUT_WINDOW_HEIGHT), *application.pickRay, application.pointerX,
                          application.pointerY);
    glutSwapBuffers();
    application.frameTimer->stop();
    application.frameTime = application.frameTimer->elapsedMilliseconds();
    // Read after the frame's time is taken: reading the counts waits for the GL.
    if (application.passFragmentLine) {
        application.passFragmentLine->finishFrame();
    }
    reportGlErrors();
    if (libkub::RenderSettings::instance().showOverlay && application.statusBar) {
        // A frame timed at 0 ms gives an infinite rate; the overlay shows that as its largest figure.
        application.statusBar->framesPerSecond = static_cast<float>(1000.0 / application.frameTime);
    }
}

void onReshape(int width, int height)
{
    libkub::Camera& camera = *Application::current()->camera;
    camera.viewportWidth = width;
    camera.viewportHeight = height;
    glViewport(0, 0, width, height);
    // A window without height (minimised) keeps the previous aspect.
    if (height > 0) {
        camera.aspect = static_cast<float>(static_cast<double>(width) / static_cast<double>(height));
    }
    camera.applyProjection();
}

void moveCameraForHeldKeys(Application& application, double frameTime)
{
    libkub::Camera& camera = *application.camera;
    const auto t = static_cast<float>(frameTime);
    if (application.moveLeft) {
        camera.pan(t * panSpeed, 0.0f);
    }
    if (application.moveUp) {
        camera.pan(0.0f, t * panSpeed);
    }
    if (application.moveDown) {
        camera.pan(0.0f, t * -panSpeed);
    }
    if (application.moveRight) {
        camera.pan(t * -panSpeed, 0.0f);
    }
    if (application.zoomIn) {
        camera.dolly(t * panSpeed * dollyScale);
    }
    if (application.zoomOut) {
        camera.dolly(t * -panSpeed * dollyScale);
    }
}

void onIdle()
{
    Application& application = *Application::current();
    moveCameraForHeldKeys(application, application.frameTime);
    if (application.game) {
        application.game->update(application.frameTime);
    }
    glutPostRedisplay();
}

} // namespace Kubora
