#include "tests/support/AssembledApplication.h"

#include <GL/glew.h> // before any other GL header

#include "app/SceneAssembly.h"
#include "tests/support/GlTestContext.h"

namespace kubora::test {

AssembledApplication::AssembledApplication() : application(std::make_unique<Kubora::Application>())
{
    Kubora::Application::makeCurrent(application.get());
    Kubora::assembleScene();
}

AssembledApplication::~AssembledApplication()
{
    application.reset();
    // Reshape tests change the viewport; the next test finds the whole window again.
    glViewport(0, 0, glTestWindowWidth, glTestWindowHeight);
    while (glGetError() != GL_NO_ERROR) {
    }
}

} // namespace kubora::test
