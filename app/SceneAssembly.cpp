#include "app/SceneAssembly.h"

#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include "app/Application.h"
#include "app/PerformanceCounter.h"
#include "engine/Picking.h"
#include "engine/SceneRenderer.h"

namespace Kubora {

void assembleScene()
{
    Application& application = *Application::current();

    application.pointerX = 0;
    application.pointerY = 0;
    application.renderer = std::make_unique<libkub::SceneRenderer>(application.camera.get());

    // The first frame's pick test already has a ray: the one through the window's top-left corner.
    application.pickRay = std::make_unique<libkub::Ray>();
    libkub::updatePickRay(glutGet(GLUT_WINDOW_HEIGHT), *application.pickRay, application.pointerX,
                          application.pointerY);
    application.renderer->pickRay = application.pickRay.get();

    application.frameTimer = std::make_unique<FrameTimer>();
    application.frameTimer->frequency = performanceFrequency();
}

} // namespace Kubora
