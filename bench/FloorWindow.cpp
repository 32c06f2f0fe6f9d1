// kubora-floor: the renderer's floor (bench/ShadingFloor.h) drawn again and again in a visible window,
// so that a frame counter outside the process (Mesa's GALLIUM_HUD) can count it beside the game. The
// game is assembled as it starts (same window size handling, data folder, lights, depth textures and
// shadow program), one game frame fills the depth textures, and from then on every frame is the floor
// alone. Escape ends it. KUBORA_PASS_FRAGMENTS=N in the environment prints the fragments of every Nth
// floor frame, as the game prints its passes' (app/PassFragmentLine.h).
//
//   kubora-floor [width height]      (default 1024 768)
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "setup/DataFolderSearch.h"
#include "app/FrameCallbacks.h"
#include "app/GlExtensions.h"
#include "app/PassFragmentLine.h"
#include "app/SceneAssembly.h"
#include "bench/ShadingFloor.h"

namespace {

constexpr int defaultWidth = 1024;
constexpr int defaultHeight = 768;
constexpr int largestDimension = 16384;
constexpr unsigned char escapeKey = 27;

// A window width or height: a whole number from 1 to 16384 and nothing else. A measuring tool refuses
// a size it cannot honour instead of drawing some other size.
std::optional<int> windowSize(const char* text, const char* what)
{
    int value = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, value);
    if (error != std::errc() || stop != end || value < 1 || value > largestDimension) {
        std::fprintf(stderr, "kubora-floor: %s \"%s\" is not a whole number from 1 to %d\n", what, text,
                     largestDimension);
        return std::nullopt;
    }
    return value;
}

// The debug line of fragment counts (app/PassFragmentLine.h), as the game prints it, when the
// environment asks for it: the floor's one pass.
std::unique_ptr<Kubora::PassFragmentLine>& floorFragmentLine()
{
    static std::unique_ptr<Kubora::PassFragmentLine> line;
    return line;
}

void drawFloorFrame()
{
    Kubora::PassFragmentLine* line = floorFragmentLine().get();
    libkub::PassFragmentCounter* counter = line != nullptr ? line->startFrame() : nullptr;
    if (counter != nullptr) {
        counter->beginFrame();
        counter->beginPass("floor quad");
    }
    kubora::bench::drawShadingFloor(*Kubora::Application::current());
    if (counter != nullptr) {
        counter->endPass();
    }
    glutSwapBuffers();
    if (line != nullptr) {
        line->finishFrame();
    }
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
    const std::optional<int> width = argc == 3 ? windowSize(argv[1], "width") : defaultWidth;
    const std::optional<int> height = argc == 3 ? windowSize(argv[2], "height") : defaultHeight;
    if (!width || !height) {
        return 2;
    }
    glutInitWindowPosition(Kubora::windowX, Kubora::windowY);
    glutInitWindowSize(*width, *height);
    glutCreateWindow("Kubora floor");
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    Kubora::chooseDataFolder(Kubora::runningExecutable(argv[0]));

    auto application = std::make_unique<Kubora::Application>();
    Kubora::Application::makeCurrent(application.get());
    Kubora::loadGlExtensions();
    Kubora::assembleScene();
    floorFragmentLine() = Kubora::passFragmentLineFromEnvironment();

    glutDisplayFunc(drawFloorFrame);
    glutReshapeFunc(onFloorReshape);
    glutKeyboardFunc(onFloorKey);
    glutIdleFunc(glutPostRedisplay);
    glutMainLoop();
    floorFragmentLine().reset(); // released with the application, not after main
    return 0;
}
