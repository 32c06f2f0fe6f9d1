#pragma once
// Four 32-bit floats: light, material and HUD colours, and light positions (x, y, z, w).

namespace libkub {

struct Color4f {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    const float* data() const { return &r; }
    float* data() { return &r; }
    friend bool operator==(const Color4f&, const Color4f&) = default;
};

} // namespace libkub
