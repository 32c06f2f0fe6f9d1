#include "app/Application.h"

#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include "app/PassFragmentLine.h" // the owned debug line, released with the application
#include "engine/scene/Camera.h"
#include "engine/scene/PointLightSource.h"
#include "engine/math/Ray.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/Duck.h"
#include "game/Game.h"
#include "game/Player.h"
#include "hud/StatusBar.h"

namespace Kubora {

namespace {

Application* currentApplication = nullptr;

// Width over height of the current window; a window without height keeps a square aspect.
float windowAspect()
{
    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    if (width <= 0 || height <= 0) {
        return 1.0f;
    }
    return static_cast<float>(static_cast<double>(width) / static_cast<double>(height));
}

} // namespace

Application* Application::current()
{
    return currentApplication;
}

void Application::makeCurrent(Application* application)
{
    currentApplication = application;
}

Application::Application()
    : camera(std::make_unique<libkub::Camera>(
          libkub::Vector3f{-10.0f, 8.0f, -10.0f}, libkub::Vector3f{-2.0f, 5.0f, -2.0f},
          libkub::Vector3f{0.0f, 1.0f, 0.0f}, 1.0f, 90.0f, windowAspect(), 45.0f))
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

Application::~Application()
{
    if (currentApplication == this) {
        currentApplication = nullptr;
    }
    // The renderer first: it points at the camera, the pick ray and everything it draws.
    renderer.reset();
    // The game before the board and the players its dice and turns refer to.
    game.reset();
    camera.reset();
    frameTimer.reset();
    pickRay.reset();
}

} // namespace Kubora
