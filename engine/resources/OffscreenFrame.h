#pragma once
// Frames read back from OpenGL: a framebuffer object to draw a frame into (of any size, whatever the
// window's, and independent of whether the window's own buffers keep their pixels), and the reader of
// a drawn frame's colour and depth. The one reader of frames for kubora-view and the tests.
#include <algorithm>
#include <cstdint>
#include <ostream>
#include <vector>

namespace libkub {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Rgb& c)
    {
        return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
    }
};

// One frame read back: colour as RGB and depth, both top row first.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    std::vector<float> depth;
};

// The colour and depth of the frame just drawn, width x height from the bottom left: of the back
// buffer, or of colour attachment 0 while a framebuffer object is bound for reading.
Frame readFrame(int width, int height);

// The RGBA colour of the frame just drawn, read as readFrame reads it, top row first.
std::vector<std::uint8_t> readRgba(int width, int height);

// Rows reversed: bottom row first to top row first and back, perPixel values to a pixel.
template <typename T> std::vector<T> flipRows(const std::vector<T>& rows, int width, int height, int perPixel)
{
    std::vector<T> flipped(rows.size());
    const std::size_t row = static_cast<std::size_t>(width) * perPixel;
    for (int y = 0; y < height; ++y) {
        std::copy(rows.begin() + static_cast<std::ptrdiff_t>((height - 1 - y) * row),
                  rows.begin() + static_cast<std::ptrdiff_t>((height - y) * row),
                  flipped.begin() + static_cast<std::ptrdiff_t>(y * row));
    }
    return flipped;
}

// GL_DEPTH_COMPONENT24, the depth format of a frame unless its maker asks for another.
inline constexpr unsigned depth24 = 0x81A6;

class OffscreenFrame {
  public:
    // Binds a new colour (RGBA, 8 bits a channel) and depth target of the given size and sets the
    // viewport to it; the depth buffer has the given internal format (GL_DEPTH_COMPONENT32F, say).
    OffscreenFrame(int width, int height, unsigned depthFormat = depth24);
    // Deletes the target and binds the framebuffer that was bound for drawing and reading when it was
    // made (the window's, or another target), with its viewport.
    ~OffscreenFrame();
    OffscreenFrame(const OffscreenFrame&) = delete;
    OffscreenFrame& operator=(const OffscreenFrame&) = delete;

    // Binds the target again and sets the viewport to it.
    void bind() const;
    bool complete() const;
    // All pixels, bottom row first, three bytes each.
    std::vector<std::uint8_t> pixels() const;
    // One pixel; (0, 0) is the bottom left.
    Rgb pixel(int x, int y) const;
    // The target's colour and depth (readFrame while it is bound).
    Frame read() const;

    int width;
    int height;

  private:
    unsigned framebuffer = 0;
    unsigned colour = 0;
    unsigned depth = 0;
    int previousFramebuffer = 0;
    int previousViewport[4] = {0, 0, 0, 0};
};

} // namespace libkub
