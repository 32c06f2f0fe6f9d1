// The GL test context: a current context on a renderer that offers what the engine needs.
#include <GL/glew.h>
#include <gtest/gtest.h>

TEST(GlTestContext, OffersFramebuffersVertexBuffersAndShaders)
{
    EXPECT_NE(glGetString(GL_RENDERER), nullptr);
    EXPECT_TRUE(GLEW_EXT_framebuffer_object);
    EXPECT_TRUE(GLEW_ARB_vertex_buffer_object);
    EXPECT_TRUE(GLEW_VERSION_2_0);
}
