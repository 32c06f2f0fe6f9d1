#include "app/GlExtensions.h"

#include <GL/glew.h> // before any other GL header

#include <cstdlib>

#include "engine/resources/Diagnostics.h"

namespace Kubora {

std::string missingGlFeatures(bool framebufferObjects, bool vertexBufferObjects, bool shaders)
{
    std::string missing;
    auto add = [&missing](bool present, const char* feature) {
        if (!present) {
            missing += missing.empty() ? "" : ", ";
            missing += feature;
        }
    };
    add(framebufferObjects, "framebuffer objects (GL_EXT_framebuffer_object)");
    add(vertexBufferObjects, "vertex buffer objects (GL_ARB_vertex_buffer_object)");
    add(shaders, "OpenGL 2.0 shaders");
    return missing;
}

void loadGlExtensions()
{
    // No experimental loading: GLEW then reports an extension only when the driver advertises it.
    const GLenum status = glewInit();
    if (status != GLEW_OK) {
        libkub::reportProblem("OpenGL extensions",
                              std::string("GLEW cannot load them: ") +
                                  reinterpret_cast<const char*>(glewGetErrorString(status)));
        std::exit(1);
    }
    // Framebuffer objects are left to the renderer, which draws without shadows when they are missing.
    const std::string missing = missingGlFeatures(true, GLEW_ARB_vertex_buffer_object, GLEW_VERSION_2_0);
    if (!missing.empty()) {
        libkub::reportProblem("OpenGL driver", "missing " + missing);
        std::exit(1);
    }
}

} // namespace Kubora
