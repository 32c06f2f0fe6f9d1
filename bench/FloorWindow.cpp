// kubora-floor: the renderer's floor (bench/ShadingFloor.h) drawn again and again in a visible window,
// so that a frame counter outside the process (Mesa's GALLIUM_HUD) can count it beside the game. The
// game is assembled as it starts (same window size handling, data folder, lights, depth textures and
// shadow program), one game frame fills the depth textures, and from then on every frame is the floor
// alone. Escape ends it.
//
//   kubora-floor [width height]      (default 1024 768)
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include <cstdio>
#include <memory>
#include <string>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/DataFolderSearch.h"
#include "app/FrameCallbacks.h"
#include "app/GlExtensions.h"
#include "app/SceneAssembly.h"
#include "bench/ShadingFloor.h"

namespace {

constexpr int defaultWidth = 1024;
constexpr int defaultHeight = 768;
constexpr unsigned char escapeKey = 27;

void drawFloorFrame()
{
    kubora::bench::drawShadingFloor(*Kubora::Application::current());
    glutSwapBuffers();
}

// A new size needs a game frame again: the camera's aspect, and with it the lights' shadow texture
// matrices, follow the window.
void onFloorReshape(int width, int height)
{
    Kubora::onReshape(width, height);
    Kubora::onDisplay();
}

void onFloorKey(unsigned char key, int /*x*/, int /*y*/)
{
    if (key == escapeKey) {
        glutLeaveMainLoop();
    }
}

} // namespace

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    if (argc != 1 && argc != 3) {
        std::fprintf(stderr,
                     "kubora-floor: expected no arguments or a width and a height, got %d arguments\n",
                     argc - 1);
        return 2;
    }
    const int width = argc == 3 ? Kubora::windowDimension(argv[1], defaultWidth, "width") : defaultWidth;
    const int height = argc == 3 ? Kubora::windowDimension(argv[2], defaultHeight, "height") : defaultHeight;
    glutInitWindowPosition(Kubora::windowX, Kubora::windowY);
    glutInitWindowSize(width, height);
    glutCreateWindow("Kubora floor");
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    Kubora::chooseDataFolder(Kubora::runningExecutable(argv[0]));

    auto application = std::make_unique<Kubora::Application>();
    Kubora::Application::makeCurrent(application.get());
    Kubora::loadGlExtensions();
    Kubora::assembleScene();

    glutDisplayFunc(drawFloorFrame);
    glutReshapeFunc(onFloorReshape);
    glutKeyboardFunc(onFloorKey);
    glutIdleFunc(glutPostRedisplay);
    glutMainLoop();
    return 0;
}
