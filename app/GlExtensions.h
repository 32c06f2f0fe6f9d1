#pragma once
// Loading the GL extension entry points, and checking that the driver offers what the engine uses.
#include <string>

namespace Kubora {

// Initialises GLEW for the current context. When it fails, or the driver lacks vertex buffer objects
// or OpenGL 2.0 shaders, prints one line naming what is missing to standard error and ends the
// process with status 1: nothing could be drawn without them. Framebuffer objects only carry the
// shadows: without them the renderer says in one line that shadows are off and draws on.
void loadGlExtensions();

// What of the needed features is missing, as one comma-separated list; empty when all are there.
std::string missingGlFeatures(bool framebufferObjects, bool vertexBufferObjects, bool shaders);

} // namespace Kubora
