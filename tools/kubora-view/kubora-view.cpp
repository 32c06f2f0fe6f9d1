// kubora-view: shows one model as the game would draw it. The model is scaled and placed into the
// space the game's lights are made for and stands on a plain floor; the game's renderer draws it with
// the game's shader program, point light, spot light and their shadows.
//
//     build/kubora-view MODEL.dae [--mode VBO|ImmediateMode|DisplayList] [--out FILE.png] [--size WxH]
//                                 [--exact] [--edge-map FILE.png]
//
// Without --out it opens a window: drag with the left button to orbit, with the right button (or the
// wheel) to come closer or go away; Escape or q quits. With --out it renders a hidden frame into a
// framebuffer object, writes it as a PNG and exits. --exact turns every shortcut of the frame off.
// --edge-map also writes the edge map of the exact frame of the same scene (engine/render/EdgeMap.h).
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "setup/DataFolderSearch.h"
#include "engine/scene/Camera.h"
#include "engine/resources/DataFolder.h"
#include "engine/resources/Diagnostics.h"
#include "engine/resources/RenderSettings.h"
#include "tools/kubora-view/ModelStage.h"
#include "tools/kubora-view/OffscreenPicture.h"
#include "tools/kubora-view/ViewerOptions.h"

namespace {

using KuboraView::Look;

// The viewer's state, reached from the GLUT callbacks.
struct Viewer {
    std::unique_ptr<KuboraView::ModelStage> stage;
    int dragButton = -1;
    int lastX = 0;
    int lastY = 0;
};

Viewer* viewer = nullptr;

bool isFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// Points the loaders at the data folder the game would read, found as the game finds it. The game's
// look needs both shader files there; without them one line says where they were looked for, and the
// model is shown in the plain look.
Look chooseLook(const char* argv0)
{
    const std::vector<std::string> candidates =
        Kubora::dataFolderCandidates(Kubora::runningExecutable(argv0));
    const std::optional<std::string> folder = Kubora::firstFolderWithGameFiles(candidates);
    if (folder) {
        libkub::setDataFolder(*folder);
        if (isFile(libkub::dataFile("shadow.vert")) && isFile(libkub::dataFile("shadow.frag"))) {
            return Look::Game;
        }
    }
    libkub::reportProblem(
        "shadow.vert, shadow.frag",
        "not found in " + (folder ? *folder : Kubora::listOfFolders(candidates)) +
            "; the model is shown in the plain look, without the game's lights and shadows");
    return Look::Plain;
}

void onDisplay()
{
    viewer->stage->draw();
    glutSwapBuffers();
}

void onReshape(int width, int height)
{
    glViewport(0, 0, width, height);
    viewer->stage->camera().aspect = static_cast<float>(width) / static_cast<float>(std::max(height, 1));
    glutPostRedisplay();
}

void onKeyboard(unsigned char key, int, int)
{
    if (key == 27 || key == 'q') {
        std::exit(0);
    }
}

void zoom(float factor)
{
    libkub::Camera& camera = viewer->stage->camera();
    camera.distance = std::max(camera.distance * factor, 1e-3f);
    camera.farPlane = std::max(camera.farPlane, camera.distance * 3.0f);
    camera.orbit(0.0f, 0.0f); // places the eye at the new distance
    glutPostRedisplay();
}

void onMouse(int button, int buttonState, int x, int y)
{
    if (buttonState == GLUT_DOWN && (button == 3 || button == 4)) { // wheel
        zoom(button == 3 ? 0.9f : 1.1f);
        return;
    }
    viewer->dragButton = buttonState == GLUT_DOWN ? button : -1;
    viewer->lastX = x;
    viewer->lastY = y;
}

void onMotion(int x, int y)
{
    const int dx = x - viewer->lastX;
    const int dy = y - viewer->lastY;
    viewer->lastX = x;
    viewer->lastY = y;
    if (viewer->dragButton == GLUT_LEFT_BUTTON) {
        viewer->stage->camera().orbit(static_cast<float>(dx) * 0.01f, static_cast<float>(dy) * 0.01f);
    } else if (viewer->dragButton == GLUT_RIGHT_BUTTON) {
        zoom(std::exp(static_cast<float>(dy) * 0.01f));
    }
    glutPostRedisplay();
}

} // namespace

int main(int argc, char** argv)
{
    KuboraView::ViewerOptions options;
    if (!KuboraView::parseViewerOptions(argc, argv, options)) {
        KuboraView::printViewerUsage();
        return 2;
    }
    if (std::getenv("DISPLAY") == nullptr) {
        libkub::reportProblem("DISPLAY", "not set; kubora-view needs an X display (try xvfb-run -a)");
        return 1;
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(options.width, options.height);
    glutCreateWindow(("kubora-view: " + options.modelPath).c_str());
    const bool toFile = !options.outPath.empty();
    if (toFile) {
        glutHideWindow();
    }
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK || !GLEW_EXT_framebuffer_object) {
        libkub::reportProblem("OpenGL", "GLEW cannot load the entry points kubora-view needs");
        return 1;
    }

    libkub::RenderSettings::instance().renderMode = options.mode;
    const Look look = chooseLook(argv[0]);
    Viewer state;
    state.stage = std::make_unique<KuboraView::ModelStage>(options.modelPath, look, options.exact,
                                                           static_cast<float>(options.width) /
                                                               static_cast<float>(options.height));
    viewer = &state;

    if (toFile) {
        const int status = KuboraView::writePicture(*state.stage, options.width, options.height,
                                                    options.outPath, options.edgeMapPath);
        state.stage.reset(); // its GL objects go while the context is still there
        glutExit();          // closes the window, its context and the display
        return status;
    }
    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutKeyboardFunc(onKeyboard);
    glutMouseFunc(onMouse);
    glutMotionFunc(onMotion);
    glutMainLoop();
    return 0;
}
