#include "app/GlErrorReport.h"

#include <GL/glew.h> // before any other GL header
#include <GL/glu.h>

#include <cstdio>

namespace Kubora {

namespace {

// GL keeps one flag per kind of error, so a handful of polls empties it; a lost context can
// report errors forever, and the frame must still end.
constexpr int mostErrorsPerFrame = 16;

} // namespace

std::string glErrorLine(unsigned errorCode)
{
    const auto* text = reinterpret_cast<const char*>(gluErrorString(errorCode));
    char unknown[32];
    if (text == nullptr) {
        std::snprintf(unknown, sizeof unknown, "unknown error 0x%04X", errorCode);
        text = unknown;
    }
    char line[256];
    std::snprintf(line, sizeof line, "%s caught at %s:%u\n", text, ".\\Program", 285u);
    return line;
}

void reportGlErrors()
{
    for (int polls = 0; polls < mostErrorsPerFrame; ++polls) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR) {
            break;
        }
        std::fputs(glErrorLine(error).c_str(), stdout);
    }
    std::fflush(stdout);
}

} // namespace Kubora
