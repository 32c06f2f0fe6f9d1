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

// a * b: b applied first, as glMultMatrixf(b) after a loaded a composes them.
inline Matrix4f operator*(const Matrix4f& a, const Matrix4f& b)
{
    Matrix4f product;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[k * 4 + row] * b.m[column * 4 + k];
            }
            product.m[column * 4 + row] = sum;
        }
    }
    return product;
}

} // namespace libkub
