#pragma once
// A 4 x 4 matrix of 32-bit floats in OpenGL's column-major order, as glGetFloatv returns it.
#include <array>

namespace libkub {

struct Matrix4f {
    std::array<float, 16> m{};

    static Matrix4f identity()
    {
        Matrix4f result;
        result.m[0] = result.m[5] = result.m[10] = result.m[15] = 1.0f;
        return result;
    }
    const float* data() const { return m.data(); }
    float* data() { return m.data(); }
    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
};

} // namespace libkub
