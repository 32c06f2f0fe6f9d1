#include "hud/GlyphAtlas.h"

#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/resources/ShadowMapping.h" // framebufferObjectsAvailable
#include "engine/resources/Texture.h"

namespace Kubora {

namespace {

void* const font = GLUT_BITMAP_HELVETICA_18;

// The 255 character codes GLUT draws (1 to 255) on a 16 x 16 grid of cells, each glyph drawn with
// its raster position at the same point of its cell. The font's glyphs reach at most 17 pixels right
// of the raster position and from 4 below to 17 above it, so each stays inside its own cell with a few
// pixels to spare; a small atlas keeps building it cheap (it is made during the first frame).
constexpr int cellsPerRow = 16;
constexpr int cellWidth = 24;
constexpr int cellHeight = 28;
constexpr int originX = 4;
constexpr int originY = 8;
constexpr int atlasWidth = cellsPerRow * cellWidth;
constexpr int atlasHeight = cellsPerRow * cellHeight;

// A bitmap's pixels start at the raster position rounded down; GL rounds with a small allowance so
// that a position computed a hair under a whole pixel lands on that pixel, as an exact one would.
constexpr float roundingAllowance = 0.0001f;

int cellLeft(int code)
{
    return (code % cellsPerRow) * cellWidth;
}

int cellBottom(int code)
{
    return (code / cellsPerRow) * cellHeight;
}

} // namespace

GlyphAtlas::GlyphAtlas()
{
    GLint framebuffer = 0;
    GLint boundTexture = 0;
    GLint program = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_VIEWPORT_BIT | GL_CURRENT_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);

    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, atlasWidth, atlasHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));

    GLuint target = 0;
    glGenFramebuffersEXT(1, &target);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, texture, 0);
    const bool complete = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    if (complete) {
        // The glyphs in opaque white on transparent black: modulated by the text's colour they give
        // exactly that colour where the bitmap has a pixel and nothing elsewhere.
        glUseProgram(0);
        for (const GLenum off : {GL_BLEND, GL_DEPTH_TEST, GL_STENCIL_TEST, GL_SCISSOR_TEST, GL_ALPHA_TEST,
                                 GL_TEXTURE_2D, GL_LIGHTING, GL_FOG, GL_COLOR_LOGIC_OP}) {
            glDisable(off);
        }
        glViewport(0, 0, atlasWidth, atlasHeight);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        for (int code = 1; code < 256; ++code) {
            glWindowPos2i(cellLeft(code) + originX, cellBottom(code) + originY);
            glutBitmapCharacter(font, code);
            glyphs[static_cast<std::size_t>(code)].advance = static_cast<float>(glutBitmapWidth(font, code));
        }
        findGlyphBoxes();
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(framebuffer));
    glDeleteFramebuffersEXT(1, &target);
    glPopClientAttrib();
    glPopAttrib();
    glUseProgram(static_cast<GLuint>(program));
    if (!complete) {
        libkub::deleteTextures(1, &texture);
        texture = 0;
    }
}

GlyphAtlas::~GlyphAtlas()
{
    libkub::deleteTextures(1, &texture);
}

// The smallest box around each glyph's pixels, from the atlas read back once.
void GlyphAtlas::findGlyphBoxes()
{
    std::vector<GLubyte> alpha(static_cast<std::size_t>(atlasWidth) * atlasHeight);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, atlasWidth, atlasHeight, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    for (int code = 1; code < 256; ++code) {
        int left = cellWidth;
        int bottom = cellHeight;
        int right = -1;
        int top = -1;
        for (int y = 0; y < cellHeight; ++y) {
            for (int x = 0; x < cellWidth; ++x) {
                const std::size_t at = static_cast<std::size_t>(cellBottom(code) + y) * atlasWidth +
                                       static_cast<std::size_t>(cellLeft(code) + x);
                if (alpha[at] != 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    bottom = std::min(bottom, y);
                    top = std::max(top, y);
                }
            }
        }
        Glyph& glyph = glyphs[static_cast<std::size_t>(code)];
        if (right < 0) {
            continue; // no pixels: the glyph only moves the raster position
        }
        glyph.left = left - originX;
        glyph.bottom = bottom - originY;
        glyph.width = right - left + 1;
        glyph.height = top - bottom + 1;
        glyph.textureX = cellLeft(code) + left;
        glyph.textureY = cellBottom(code) + bottom;
    }
}

GlyphAtlas* GlyphAtlas::instance()
{
    static std::unique_ptr<GlyphAtlas> atlas;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (libkub::framebufferObjectsAvailable()) {
            atlas = std::make_unique<GlyphAtlas>();
            if (atlas->texture == 0) {
                atlas.reset();
            }
        }
    }
    return atlas.get();
}

void GlyphAtlas::draw(const std::string& text) const
{
    GLint valid = GL_FALSE;
    glGetIntegerv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    if (valid == GL_FALSE) {
        return;
    }
    GLfloat raster[4];
    GLint viewport[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    glGetIntegerv(GL_VIEWPORT, viewport);
    // The state changed below is kept on GL's attribute stack, not read back: the switches, the polygon
    // mode, the bound texture, the alpha test and the matrix mode.
    glPushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_TRANSFORM_BIT);

    // Quads in window pixels, filled whatever the scene's polygon mode, from either side; the
    // pixels between a glyph's strokes are dropped as a bitmap drops them.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(viewport[0], viewport[0] + viewport[2], viewport[1], viewport[1] + viewport[3], -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glBindTexture(GL_TEXTURE_2D, texture);

    constexpr float texelWidth = 1.0f / static_cast<float>(atlasWidth);
    constexpr float texelHeight = 1.0f / static_cast<float>(atlasHeight);
    const float y = std::floor(raster[1] + roundingAllowance);
    float x = raster[0];
    glBegin(GL_QUADS);
    for (const char c : text) {
        const Glyph& glyph = glyphs[static_cast<unsigned char>(c)];
        if (glyph.width > 0) {
            const float left = std::floor(x + roundingAllowance) + static_cast<float>(glyph.left);
            const float bottom = y + static_cast<float>(glyph.bottom);
            const float right = left + static_cast<float>(glyph.width);
            const float top = bottom + static_cast<float>(glyph.height);
            const float s0 = static_cast<float>(glyph.textureX) * texelWidth;
            const float t0 = static_cast<float>(glyph.textureY) * texelHeight;
            const float s1 = static_cast<float>(glyph.textureX + glyph.width) * texelWidth;
            const float t1 = static_cast<float>(glyph.textureY + glyph.height) * texelHeight;
            glTexCoord2f(s0, t0);
            glVertex2f(left, bottom);
            glTexCoord2f(s1, t0);
            glVertex2f(right, bottom);
            glTexCoord2f(s1, t1);
            glVertex2f(right, top);
            glTexCoord2f(s0, t1);
            glVertex2f(left, top);
        }
        x += glyph.advance;
    }
    glEnd();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

} // namespace Kubora
