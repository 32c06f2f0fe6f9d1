#include "engine/geometry/MeshNormals.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <vector>

namespace libkub {

namespace {

// Corners that share a position are found by sorting on the position's bits; -0 counts as 0.
using PositionKey = std::array<std::uint32_t, 3>;

std::uint32_t bitsOf(float value)
{
    if (value == 0.0f) {
        value = 0.0f;
    }
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

PositionKey keyOf(const Vector3f& p)
{
    return {bitsOf(p.x), bitsOf(p.y), bitsOf(p.z)};
}

bool isFinite(const Vector3f& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The unit normal of a face, or zero for a face without area (or with positions that are not finite).
Vector3f faceNormal(const Triangle& triangle)
{
    const Vector3f& a = triangle.corners[0].position;
    const Vector3f normal = cross(triangle.corners[1].position - a, triangle.corners[2].position - a);
    const float length = normal.length();
    if (!std::isfinite(length) || length <= 0.0f) {
        return {};
    }
    const Vector3f unit = normal * (1.0f / length);
    return isFinite(unit) && unit.length() > 0.5f ? unit : Vector3f{};
}

// The angle of the triangle at one corner, the weight of the face in that corner's normal, so that
// how a surface is cut into triangles matters little.
float cornerAngle(const Triangle& triangle, int corner)
{
    const Vector3f& p = triangle.corners[corner].position;
    const Vector3f toNext = triangle.corners[(corner + 1) % 3].position - p;
    const Vector3f toPrevious = triangle.corners[(corner + 2) % 3].position - p;
    const float angle = std::atan2(cross(toNext, toPrevious).length(), dot(toNext, toPrevious));
    return std::isfinite(angle) ? angle : 0.0f;
}

bool isZero(const Vector3f& v)
{
    return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

// Unit length, or the fallback when the sum has none.
Vector3f unitOr(const Vector3f& sum, const Vector3f& fallback)
{
    const float length = sum.length();
    if (!std::isfinite(length) || length <= 1e-20f) {
        return fallback;
    }
    const Vector3f unit = sum * (1.0f / length);
    return isFinite(unit) ? unit : fallback;
}

// Beyond this many corners at one position (a pole of a finely cut sphere, or a hostile file)
// comparing every pair would cost too much; such corners keep their faces' own normals.
constexpr std::size_t maxSharedCorners = 256;

} // namespace

void computeNormals(Triangle* triangles, std::size_t count)
{
    if (count == 0) {
        return;
    }
    const float smoothCosine = std::cos(smoothingAngleDegrees * std::numbers::pi_v<float> / 180.0f);
    const Vector3f up{0.0f, 0.0f, 1.0f};

    std::vector<Vector3f> faces(count);
    for (std::size_t t = 0; t < count; ++t) {
        faces[t] = faceNormal(triangles[t]);
    }
    std::vector<std::uint32_t> corners(count * 3);
    std::vector<PositionKey> keys(count * 3);
    for (std::size_t c = 0; c < corners.size(); ++c) {
        corners[c] = static_cast<std::uint32_t>(c);
        keys[c] = keyOf(triangles[c / 3].corners[c % 3].position);
    }
    std::sort(corners.begin(), corners.end(),
              [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });

    for (std::size_t first = 0; first < corners.size();) {
        std::size_t last = first + 1;
        while (last < corners.size() && keys[corners[last]] == keys[corners[first]]) {
            ++last;
        }
        const bool pairwise = last - first <= maxSharedCorners;
        // What a degenerate face's corner takes: all the faces around it.
        Vector3f around;
        for (std::size_t i = first; i < last; ++i) {
            around = around + faces[corners[i] / 3];
        }
        for (std::size_t i = first; i < last; ++i) {
            const std::uint32_t corner = corners[i];
            const Vector3f& own = faces[corner / 3];
            Vector3f& normal = triangles[corner / 3].corners[corner % 3].normal;
            if (isZero(own)) {
                normal = unitOr(around, up);
                continue;
            }
            if (!pairwise) {
                normal = own;
                continue;
            }
            Vector3f sum;
            for (std::size_t j = first; j < last; ++j) {
                const std::uint32_t other = corners[j];
                const Vector3f& face = faces[other / 3];
                if (dot(own, face) >= smoothCosine) {
                    sum = sum + face * cornerAngle(triangles[other / 3], static_cast<int>(other % 3));
                }
            }
            normal = unitOr(sum, own);
        }
        first = last;
    }
}

} // namespace libkub
