// The line that names missing GL features.
#include <gtest/gtest.h>

#include "app/GlExtensions.h"

TEST(GlExtensions, NamesEachMissingFeatureInOneList)
{
    EXPECT_EQ(Kubora::missingGlFeatures(true, true, true), "");
    EXPECT_EQ(Kubora::missingGlFeatures(false, true, true),
              "framebuffer objects (GL_EXT_framebuffer_object)");
    EXPECT_EQ(Kubora::missingGlFeatures(true, true, false), "OpenGL 2.0 shaders");
    EXPECT_EQ(Kubora::missingGlFeatures(false, false, false),
              "framebuffer objects (GL_EXT_framebuffer_object), vertex buffer objects "
              "(GL_ARB_vertex_buffer_object), OpenGL 2.0 shaders");
}
