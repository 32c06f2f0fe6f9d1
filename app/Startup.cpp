#include "app/Startup.h"

#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "setup/DataFolderSearch.h"
#include "app/FrameCallbacks.h"
#include "app/GlExtensions.h"
#include "app/InputCallbacks.h"
#include "app/PassFragmentLine.h"
#include "engine/resources/RenderSettings.h"
#include "app/SceneAssembly.h"
#include "engine/resources/Diagnostics.h"

namespace Kubora {

namespace {

void openWindow(int width, int height)
{
    glutInitWindowPosition(windowX, windowY);
    glutInitWindowSize(width, height);
    glutCreateWindow(windowTitle);
}

// GLUT's full-screen mode when the display can switch to it, else the default window: the main loop
// must never start without somewhere to draw.
void openGameMode(const std::string& gameModeString)
{
    glutGameModeString(gameModeString.c_str());
    if (glutGameModeGet(GLUT_GAME_MODE_POSSIBLE) != 0 && glutEnterGameMode() != 0 &&
        glutGameModeGet(GLUT_GAME_MODE_ACTIVE) != 0) {
        return;
    }
    libkub::reportProblem("game mode " + gameModeString,
                          "not available on this display; opening a " + std::to_string(defaultWindowWidth) +
                              " x " + std::to_string(defaultWindowHeight) + " window instead");
    openWindow(defaultWindowWidth, defaultWindowHeight);
}

void openDisplay(const LaunchOptions& options)
{
    if (options.form == DisplayForm::FullScreen) {
        openGameMode(options.gameModeString());
        return;
    }
    openWindow(windowDimension(options.widthText, defaultWindowWidth, "width"),
               windowDimension(options.heightText, defaultWindowHeight, "height"));
}

void registerCallbacks()
{
    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutKeyboardFunc(onKeyDown);
    glutSpecialFunc(onSpecialKey);
    glutKeyboardUpFunc(onKeyUp);
    glutMouseFunc(onMouseButton);
    glutMotionFunc(onMouseDrag);
    glutPassiveMotionFunc(onPointerMove);
    glutIdleFunc(onIdle);
}

} // namespace

int runKubora(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);

    // GLUT has taken out the options it knows; the rest are ours.
    const LaunchOptions options = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (options.renderMode) {
        libkub::RenderSettings::instance().setRenderMode(*options.renderMode);
    }
    openDisplay(options);
    chooseDataFolder(runningExecutable(argv[0]));

    // Owned here; the process-wide pointer only lets the callbacks reach it. The Escape key ends the
    // process from inside the main loop, so this is released only if the loop ever returns.
    auto application = std::make_unique<Application>();
    Application::makeCurrent(application.get());

    glutIgnoreKeyRepeat(1);
    registerCallbacks();
    loadGlExtensions();
    assembleScene();
    application->passFragmentLine = passFragmentLineFromEnvironment();
    glutMainLoop();
    return 0;
}

} // namespace Kubora
