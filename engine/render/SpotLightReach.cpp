#include "engine/render/SpotLightReach.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace libkub {

namespace {

// A quarter of one level of an 8-bit channel.
constexpr double quarterLevel = 1.0 / 1020.0;

// How close to the eye plane a corner may come before its projection counts as unbounded.
constexpr float nearestDepth = 1e-4f;

std::array<float, 4> transform(const Matrix4f& matrix, const std::array<float, 4>& v)
{
    std::array<float, 4> result{};
    for (int row = 0; row < 4; ++row) {
        result[row] =
            matrix[row] * v[0] + matrix[4 + row] * v[1] + matrix[8 + row] * v[2] + matrix[12 + row] * v[3];
    }
    return result;
}

} // namespace

std::optional<float> spotReachCosine(float cutOffDegrees, float exponent, float strongest)
{
    if (!(strongest > 0.0f)) {
        return std::nullopt;
    }
    if (cutOffDegrees >= 180.0f) {
        return -1.0f; // a plain point light: everywhere
    }
    const double cutOffCosine = std::cos(cutOffDegrees * 3.141592653589793 / 180.0);
    if (!(exponent > 0.0f)) {
        return static_cast<float>(cutOffCosine);
    }
    const double falloffCosine = std::pow(quarterLevel / strongest, 1.0 / exponent);
    if (falloffCosine >= 1.0) {
        return std::nullopt; // even straight below, the share stays under a quarter level
    }
    return static_cast<float>(std::max(cutOffCosine, falloffCosine));
}

float spotPassPullUnits(bool floatDepth, int depthBits)
{
    if (floatDepth) {
        return 8.0f;
    }
    return std::max(2.0f, std::ldexp(1.0f, std::clamp(depthBits, 16, 32) - 21));
}

std::optional<BoundingBox> spotLitBox(Vector3f apex, Vector3f axis, float reachCosine,
                                      const BoundingBox& scene)
{
    // The farthest the scene reaches along the axis cuts the cone; every lit point lies between the
    // apex and the disc there.
    float reach = 0.0f;
    for (int i = 0; i < 8; ++i) {
        const Vector3f corner{(i & 1) != 0 ? scene.max.x : scene.min.x,
                              (i & 2) != 0 ? scene.max.y : scene.min.y,
                              (i & 4) != 0 ? scene.max.z : scene.min.z};
        reach = std::max(reach, dot(corner - apex, axis));
    }
    if (reach <= 0.0f) {
        return std::nullopt;
    }
    const float tangent = std::sqrt(std::max(0.0f, 1.0f - reachCosine * reachCosine)) / reachCosine;
    const float radius = reach * tangent;
    const Vector3f centre = apex + axis * reach;
    // A disc of this radius around the axis reaches r * sqrt(1 - axis_i^2) along world axis i.
    const Vector3f extent{radius * std::sqrt(std::max(0.0f, 1.0f - axis.x * axis.x)),
                          radius * std::sqrt(std::max(0.0f, 1.0f - axis.y * axis.y)),
                          radius * std::sqrt(std::max(0.0f, 1.0f - axis.z * axis.z))};
    const Vector3f low = centre - extent;
    const Vector3f high = centre + extent;
    BoundingBox lit;
    lit.min = {std::max(scene.min.x, std::min(apex.x, low.x)), std::max(scene.min.y, std::min(apex.y, low.y)),
               std::max(scene.min.z, std::min(apex.z, low.z))};
    lit.max = {std::min(scene.max.x, std::max(apex.x, high.x)),
               std::min(scene.max.y, std::max(apex.y, high.y)),
               std::min(scene.max.z, std::max(apex.z, high.z))};
    if (lit.min.x > lit.max.x || lit.min.y > lit.max.y || lit.min.z > lit.max.z) {
        return std::nullopt;
    }
    return boxBetween(lit.min, lit.max);
}

std::optional<WindowRect> windowRectOfBox(const BoundingBox& box, const Matrix4f& projection,
                                          const Matrix4f& modelview, const int viewport[4])
{
    float left = INFINITY;
    float right = -INFINITY;
    float bottom = INFINITY;
    float top = -INFINITY;
    for (int i = 0; i < 8; ++i) {
        const std::array<float, 4> corner{(i & 1) != 0 ? box.max.x : box.min.x,
                                          (i & 2) != 0 ? box.max.y : box.min.y,
                                          (i & 4) != 0 ? box.max.z : box.min.z, 1.0f};
        const std::array<float, 4> clip = transform(projection, transform(modelview, corner));
        if (!(clip[3] > nearestDepth)) {
            return std::nullopt;
        }
        const float x = viewport[0] + (clip[0] / clip[3] + 1.0f) * 0.5f * viewport[2];
        const float y = viewport[1] + (clip[1] / clip[3] + 1.0f) * 0.5f * viewport[3];
        left = std::min(left, x);
        right = std::max(right, x);
        bottom = std::min(bottom, y);
        top = std::max(top, y);
    }
    // Whole pixels around the projection, one to spare for rasterisation at the very edge; corners far
    // off screen are held just outside it before they become integers.
    const auto hold = [](float value, int low, int high) {
        return std::clamp(value, static_cast<float>(low - 2), static_cast<float>(high + 2));
    };
    left = hold(left, viewport[0], viewport[0] + viewport[2]);
    right = hold(right, viewport[0], viewport[0] + viewport[2]);
    bottom = hold(bottom, viewport[1], viewport[1] + viewport[3]);
    top = hold(top, viewport[1], viewport[1] + viewport[3]);
    const int x0 = std::max(viewport[0], static_cast<int>(std::floor(left)) - 1);
    const int y0 = std::max(viewport[1], static_cast<int>(std::floor(bottom)) - 1);
    const int x1 = std::min(viewport[0] + viewport[2], static_cast<int>(std::ceil(right)) + 1);
    const int y1 = std::min(viewport[1] + viewport[3], static_cast<int>(std::ceil(top)) + 1);
    return WindowRect{x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

} // namespace libkub
