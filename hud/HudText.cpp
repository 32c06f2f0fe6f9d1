#include "hud/HudText.h"

#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include <cstdio>

#include "hud/GlyphAtlas.h"

namespace Kubora {

namespace {

constexpr std::size_t textBufferSize = 200; // terminator included

} // namespace

std::string formatTextPair(const std::string& first, const std::string& second)
{
    char buffer[textBufferSize];
    std::snprintf(buffer, sizeof buffer, "%s  %s", first.c_str(), second.c_str());
    return buffer;
}

std::string formatTextNumber(const std::string& text, std::int32_t number)
{
    char buffer[textBufferSize];
    std::snprintf(buffer, sizeof buffer, "%s  %d (F2)", text.c_str(), static_cast<int>(number));
    return buffer;
}

void drawText(const std::string& text, float x, float y)
{
    glLoadIdentity();
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glRasterPos2f(x, y);
    // The atlas draws the font's pixels as a few quads; a context that cannot build it gets the
    // bitmaps one by one, which look the same and cost several milliseconds a frame.
    if (const GlyphAtlas* atlas = GlyphAtlas::instance()) {
        atlas->draw(text);
        return;
    }
    for (const char c : text) {
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, static_cast<unsigned char>(c));
    }
}

void drawTextPair(const std::string& first, const std::string& second, float x, float y)
{
    drawText(formatTextPair(first, second), x, y);
}

void drawTextNumber(const std::string& text, std::int32_t number, float x, float y)
{
    drawText(formatTextNumber(text, number), x, y);
}

} // namespace Kubora
