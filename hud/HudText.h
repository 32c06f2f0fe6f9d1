#pragma once
// Text over the scene: white at half opacity in GLUT's Helvetica 18 (its bitmaps' pixels, drawn
// from a glyph atlas), at a raster position in the current (HUD) projection.
#include <cstdint>
#include <string>

namespace Kubora {

// The texts as drawn: "%s  %s" and "%s  %d (F2)", cut to 199 characters like the drawing buffer.
std::string formatTextPair(const std::string& first, const std::string& second);
std::string formatTextNumber(const std::string& text, std::int32_t number);

void drawTextPair(const std::string& first, const std::string& second, float x, float y);
void drawTextNumber(const std::string& text, std::int32_t number, float x, float y);

// Draws an already formatted text the way the two operations above do.
void drawText(const std::string& text, float x, float y);

} // namespace Kubora
