#pragma once
// The glyphs of GLUT's Helvetica 18 bitmap font, drawn once by GLUT into a texture and read back,
// so that a line of HUD text is one batch of textured quads instead of one bitmap call per character,
// with exactly the pixels the bitmaps give.
#include <array>
#include <memory>
#include <string>

namespace Kubora {

class GlyphAtlas {
  public:
    // Draws every glyph into a new texture; the GL context must be current and offer framebuffer
    // objects. The GL state it changes on the way is restored.
    GlyphAtlas();
    ~GlyphAtlas();
    GlyphAtlas(const GlyphAtlas&) = delete;
    GlyphAtlas& operator=(const GlyphAtlas&) = delete;

    // The one atlas of the process, built on first use; null when the context cannot build it (no
    // framebuffer objects), in which case text is drawn by GLUT directly.
    static GlyphAtlas* instance();

    // Draws the text from the current raster position, in the current colour, as glutBitmapCharacter
    // would: the same pixels, blended the same way. Does nothing when the raster position is invalid.
    void draw(const std::string& text) const;

  private:
    // Where a glyph's pixels lie: an offset from the raster position (rounded down) to the lower
    // left of its bitmap, the bitmap's size, its place in the texture and how far it moves the
    // raster position.
    struct Glyph {
        int left = 0;
        int bottom = 0;
        int width = 0; // 0: nothing to draw (a space)
        int height = 0;
        int textureX = 0;
        int textureY = 0;
        float advance = 0.0f;
    };

    void findGlyphBoxes();

    unsigned texture = 0;
    std::array<Glyph, 256> glyphs{};
};

} // namespace Kubora
