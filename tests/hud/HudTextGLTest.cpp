// HUD text drawn through the glyph atlas: the GL state it finds is the state it leaves, and a raster
// position outside the view draws nothing, as with the font's bitmaps.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include "hud/GlyphAtlas.h"
#include "hud/HudProjection.h"
#include "hud/HudText.h"
#include "engine/resources/OffscreenFrame.h"

using libkub::OffscreenFrame;

namespace {

int litPixels(const OffscreenFrame& frame)
{
    int lit = 0;
    for (const std::uint8_t value : frame.pixels()) {
        lit += value != 0 ? 1 : 0;
    }
    return lit;
}

// As the status bar draws its texts: HUD projection, no depth test.
void drawInHudProjection(const std::string& text, float x, float y)
{
    Kubora::beginHudProjection();
    glDisable(GL_DEPTH_TEST);
    Kubora::drawText(text, x, y);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

TEST(HudText, LeavesTheStateItFinds)
{
    ASSERT_NE(Kubora::GlyphAtlas::instance(), nullptr) << "this context offers framebuffer objects";
    OffscreenFrame frame(256, 64);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_CULL_FACE);
    glAlphaFunc(GL_LESS, 0.25f);

    drawInHudProjection("Polygon Mode  Fill (F3)", 0.5f, -5.0f);

    GLint value = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(static_cast<GLuint>(value), texture);
    GLint modes[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_LINE);
    EXPECT_EQ(modes[1], GL_LINE);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_MODELVIEW);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_CULL_FACE);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &texture);
}

TEST(HudText, ARasterPositionOutsideTheViewDrawsNothing)
{
    OffscreenFrame frame(256, 64);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawInHudProjection("CPU", 0.5f, -5.0f);
    EXPECT_GT(litPixels(frame), 0);

    glClear(GL_COLOR_BUFFER_BIT);
    drawInHudProjection("CPU", -0.5f, -5.0f); // left of the window: the whole text is dropped
    EXPECT_EQ(litPixels(frame), 0);
}
