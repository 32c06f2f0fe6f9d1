// kubora-view: shows one model through the game's own engine code, lit and textured, with the camera
// fitted to the extent of its triangles.
//
//     build/kubora-view MODEL.dae [--mode VBO|ImmediateMode|DisplayList] [--out FILE.png] [--size WxH]
//
// Without --out it opens a window: drag with the left button to orbit, with the right button (or the
// wheel) to come closer or go away; Escape or q quits. With --out it renders one hidden frame into a
// framebuffer object, writes it as a PNG and exits.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/RenderSettings.h"
#include "collada/ColladaDocument.h"
#include "engine/Camera.h"
#include "engine/Diagnostics.h"
#include "engine/Mesh.h"
#include "engine/Model.h"
#include "engine/PngWriter.h"

namespace {

constexpr float fieldOfView = 40.0f; // vertical, degrees

struct Options {
    std::string modelPath;
    libkub::RenderMode mode = libkub::VBO;
    std::string outPath;
    int width = 640;
    int height = 480;
};

struct Extent {
    libkub::Vector3f centre;
    float radius = 0.5f;
};

// The viewer's state, reached from the GLUT callbacks.
struct Viewer {
    Options options;
    std::unique_ptr<libkub::Model> model;
    std::unique_ptr<libkub::Camera> camera;
    int dragButton = -1;
    int lastX = 0;
    int lastY = 0;
};

Viewer* viewer = nullptr;

void printUsage()
{
    std::fprintf(stderr,
                 "usage: kubora-view MODEL.dae [--mode VBO|ImmediateMode|DisplayList] [--out FILE.png] "
                 "[--size WxH]\n");
}

bool parseSize(const std::string& text, int& width, int& height)
{
    int w = 0;
    int h = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &rest) != 2 || w < 1 || h < 1 || w > 8192 || h > 8192) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

// Fills the options; false after one line naming the argument that cannot be used.
bool parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--mode" || argument == "--out" || argument == "--size") {
            if (!hasValue) {
                libkub::reportProblem(argument, "needs a value");
                return false;
            }
            const std::string value = argv[++i];
            if (argument == "--mode") {
                if (value == "VBO") {
                    options.mode = libkub::VBO;
                } else if (value == "ImmediateMode") {
                    options.mode = libkub::Immediate;
                } else if (value == "DisplayList") {
                    options.mode = libkub::DisplayList;
                } else {
                    libkub::reportProblem("--mode " + value,
                                          "unknown render mode (VBO, ImmediateMode or DisplayList)");
                    return false;
                }
            } else if (argument == "--out") {
                options.outPath = value;
            } else if (!parseSize(value, options.width, options.height)) {
                libkub::reportProblem("--size " + value, "not a size like 640x480 (1 to 8192 pixels a side)");
                return false;
            }
        } else if (!argument.empty() && argument[0] == '-') {
            libkub::reportProblem(argument, "unknown option");
            return false;
        } else if (options.modelPath.empty()) {
            options.modelPath = argument;
        } else {
            libkub::reportProblem(argument, "only one model can be viewed at a time");
            return false;
        }
    }
    if (options.modelPath.empty()) {
        libkub::reportProblem("kubora-view", "no model file given");
        return false;
    }
    return true;
}

// The sphere around the model's triangles as the file places them; the unit cube when it has none.
Extent measureTriangles(const std::string& path)
{
    libkub::ColladaDocument document;
    document.loadFromFile(path);
    const std::vector<libkub::Triangle> triangles = libkub::extractTriangles(document);
    if (triangles.empty()) {
        return {};
    }
    libkub::Vector3f low = triangles.front().corners[0].position;
    libkub::Vector3f high = low;
    for (const libkub::Triangle& triangle : triangles) {
        for (const libkub::Corner& corner : triangle.corners) {
            const libkub::Vector3f& p = corner.position;
            low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
        }
    }
    Extent extent;
    extent.centre = (low + high) * 0.5f;
    extent.radius = std::max((high - low).length() * 0.5f, 1e-3f);
    return extent;
}

// A camera looking at the model from the front, to the right and above, far enough away that the
// bounding sphere fits the narrower side of the picture.
std::unique_ptr<libkub::Camera> fitCamera(const Extent& extent, int width, int height)
{
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    const float halfVertical = fieldOfView * 0.5f * 3.14159265f / 180.0f;
    const float halfHorizontal = std::atan(std::tan(halfVertical) * aspect);
    const float distance = extent.radius / std::sin(std::min(halfVertical, halfHorizontal)) * 1.05f;
    const libkub::Vector3f direction = libkub::normalize({0.55f, 0.45f, 1.0f});
    const libkub::Vector3f eye = extent.centre + direction * distance;
    const float nearPlane = std::max(distance - extent.radius * 2.0f, distance * 0.01f);
    const float farPlane = distance + extent.radius * 2.0f;
    return std::make_unique<libkub::Camera>(eye, extent.centre, libkub::Vector3f{0.0f, 1.0f, 0.0f}, nearPlane,
                                            farPlane, aspect, fieldOfView);
}

// The viewer's own light until the scene's lights take part: one white light from over the viewer's
// left shoulder, fixed to the camera, through fixed-function lighting.
void setUpLight()
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
    glEnable(GL_NORMALIZE); // models may be scaled
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.16f, 0.18f, 0.22f, 1.0f);
}

void drawFrame(Viewer& state, int width, int height)
{
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat lightDirection[4] = {-0.5f, 0.7f, 1.0f, 0.0f}; // in eye space
    glLightfv(GL_LIGHT0, GL_POSITION, lightDirection);
    state.camera->applyProjection();
    state.camera->applyView();
    state.model->draw();
}

// Renders one frame into a framebuffer object of the requested size and writes it as a PNG.
int writeFrame(Viewer& state)
{
    const int width = state.options.width;
    const int height = state.options.height;
    GLuint framebuffer = 0;
    GLuint buffers[2] = {};
    glGenFramebuffersEXT(1, &framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    glGenRenderbuffersEXT(2, buffers);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, buffers[0]);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_RGBA8, width, height);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                                 buffers[0]);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, buffers[1]);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                 buffers[1]);
    glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) {
        libkub::reportProblem("--size " + std::to_string(width) + "x" + std::to_string(height),
                              "no off-screen frame of this size can be made");
        return 1;
    }
    drawFrame(state, width, height);
    glFinish();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glDeleteRenderbuffersEXT(2, buffers);
    glDeleteFramebuffersEXT(1, &framebuffer);
    std::string reason;
    if (!libkub::writePng(state.options.outPath, width, height, pixels.data(), &reason)) {
        libkub::reportProblem(state.options.outPath, reason);
        return 1;
    }
    return 0;
}

void onDisplay()
{
    drawFrame(*viewer, glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    glutSwapBuffers();
}

void onReshape(int width, int height)
{
    viewer->camera->aspect = static_cast<float>(width) / static_cast<float>(std::max(height, 1));
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
    viewer->camera->distance = std::max(viewer->camera->distance * factor, 1e-3f);
    viewer->camera->farPlane = std::max(viewer->camera->farPlane, viewer->camera->distance * 3.0f);
    viewer->camera->orbit(0.0f, 0.0f); // places the eye at the new distance
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
        viewer->camera->orbit(static_cast<float>(dx) * 0.01f, static_cast<float>(dy) * 0.01f);
    } else if (viewer->dragButton == GLUT_RIGHT_BUTTON) {
        zoom(std::exp(static_cast<float>(dy) * 0.01f));
    }
    glutPostRedisplay();
}

} // namespace

int main(int argc, char** argv)
{
    Viewer state;
    if (!parseOptions(argc, argv, state.options)) {
        printUsage();
        return 2;
    }
    if (std::getenv("DISPLAY") == nullptr) {
        libkub::reportProblem("DISPLAY", "not set; kubora-view needs an X display (try xvfb-run -a)");
        return 1;
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(state.options.width, state.options.height);
    glutCreateWindow(("kubora-view: " + state.options.modelPath).c_str());
    const bool toFile = !state.options.outPath.empty();
    if (toFile) {
        glutHideWindow();
    }
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK || !GLEW_EXT_framebuffer_object) {
        libkub::reportProblem("OpenGL", "GLEW cannot load the entry points kubora-view needs");
        return 1;
    }

    libkub::RenderSettings::instance().renderMode = state.options.mode;
    setUpLight();
    state.model = libkub::loadModel(state.options.modelPath);
    state.camera =
        fitCamera(measureTriangles(state.options.modelPath), state.options.width, state.options.height);
    viewer = &state;

    if (toFile) {
        const int status = writeFrame(state);
        glutExit(); // closes the window, its context and the display
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
