#include "engine/math/Picking.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace libkub {

namespace {

// The ray parameters for which the ray lies between the two planes of one axis, or false when it never does.
bool slab(float origin, float direction, float low, float high, float& enter, float& leave)
{
    if (std::isnan(origin) || std::isnan(direction)) {
        return false;
    }
    if (direction == 0.0f) {
        // Parallel to the slab: inside it for every parameter (its boundary included), or never.
        enter = -std::numeric_limits<float>::infinity();
        leave = std::numeric_limits<float>::infinity();
        return origin >= low && origin <= high;
    }
    const float inverse = 1.0f / direction;
    enter = ((inverse < 0.0f ? high : low) - origin) * inverse;
    leave = ((inverse < 0.0f ? low : high) - origin) * inverse;
    return true;
}

} // namespace

namespace {

// The parameters [enter, leave] over which the ray lies inside the box, or false when it never does.
bool clipToBox(const Ray& ray, const BoundingBox& box, float& tmin, float& tmax)
{
    if (!slab(ray.origin.x, ray.direction.x, box.min.x, box.max.x, tmin, tmax)) {
        return false;
    }
    float enter = 0.0f;
    float leave = 0.0f;
    if (!slab(ray.origin.y, ray.direction.y, box.min.y, box.max.y, enter, leave) || tmin > leave ||
        enter > tmax) {
        return false;
    }
    tmin = std::max(tmin, enter);
    tmax = std::min(tmax, leave);
    if (!slab(ray.origin.z, ray.direction.z, box.min.z, box.max.z, enter, leave) || tmin > leave ||
        enter > tmax) {
        return false;
    }
    tmin = std::max(tmin, enter);
    tmax = std::min(tmax, leave);
    return true;
}

} // namespace

bool rayHitsBox(const Ray& ray, const BoundingBox& box, float t0, float t1)
{
    float tmin = 0.0f;
    float tmax = 0.0f;
    return clipToBox(ray, box, tmin, tmax) && tmin < t1 && tmax > t0;
}

std::optional<float> rayEntersBox(const Ray& ray, const BoundingBox& box, float t0, float t1)
{
    float tmin = 0.0f;
    float tmax = 0.0f;
    if (!clipToBox(ray, box, tmin, tmax) || tmax < t0 || tmin > t1) {
        return std::nullopt;
    }
    return std::max(tmin, t0);
}

} // namespace libkub
