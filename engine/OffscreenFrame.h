#pragma once
// A framebuffer object to draw test frames into and read them back, independent of whether the
// hidden test window's own buffers keep their pixels.
#include <cstdint>
#include <ostream>
#include <vector>

namespace kubora::test {

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

// GL_DEPTH_COMPONENT24, the depth format of a frame unless a test asks for another.
inline constexpr unsigned depth24 = 0x81A6;

class OffscreenFrame {
  public:
    // Binds a new colour and depth target of the given size and sets the viewport to it; the depth
    // buffer has the given internal format (GL_DEPTH_COMPONENT32F, say).
    OffscreenFrame(int width, int height, unsigned depthFormat = depth24);
    // Unbinds and deletes the target; the window's framebuffer is bound again.
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

    int width;
    int height;

  private:
    unsigned framebuffer = 0;
    unsigned colour = 0;
    unsigned depth = 0;
};

} // namespace kubora::test
