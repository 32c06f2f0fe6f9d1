#include "tests/support/GlTestContext.h"

#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include <cstdlib>
#include <string>

#include <dlfcn.h> // keeps the GL driver mapped until exit, so leak reports can name it

namespace kubora::test {

namespace {

// The GL client unloads Mesa's driver when the display closes; leaks the driver keeps until exit
// would then be reported from an unknown module that no suppression can name.
void keepGlDriverLoaded()
{
    const char* folder = std::getenv("LIBGL_DRIVERS_PATH");
    const std::string path =
        std::string(folder != nullptr ? folder : "/usr/lib/x86_64-linux-gnu/dri") + "/swrast_dri.so";
    dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
}

} // namespace

bool openGlTestContext(int& argc, char** argv)
{
    static bool opened = false;
    if (opened) {
        return true;
    }
    if (std::getenv("DISPLAY") == nullptr) {
        return false;
    }
    keepGlDriverLoaded();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowPosition(0, 0);
    glutInitWindowSize(glTestWindowWidth, glTestWindowHeight);
    glutCreateWindow("Kubora GL tests");
    glutHideWindow();
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        return false;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    opened = true;
    return true;
}

std::vector<std::uint8_t> readPixelsRgb(int x, int y, int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

} // namespace kubora::test
