#pragma once
// Three 32-bit floats: positions, directions, scales and colours without alpha.
#include <cmath>

namespace libkub {

struct Vector3f {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    friend Vector3f operator+(Vector3f a, Vector3f b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend Vector3f operator-(Vector3f a, Vector3f b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
    friend Vector3f operator*(Vector3f a, float s) { return {a.x * s, a.y * s, a.z * s}; }
    friend bool operator==(Vector3f a, Vector3f b) = default;
    Vector3f& operator+=(Vector3f b) { return *this = *this + b; }

    float length() const { return std::sqrt(x * x + y * y + z * z); }
};

inline Vector3f cross(Vector3f a, Vector3f b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline float dot(Vector3f a, Vector3f b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Unit length, except that a zero vector is returned unchanged.
inline Vector3f normalize(Vector3f v)
{
    const float length = v.length();
    if (length == 0.0f) {
        return v;
    }
    return {v.x / length, v.y / length, v.z / length};
}

} // namespace libkub
