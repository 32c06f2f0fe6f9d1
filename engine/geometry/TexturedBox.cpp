#include "engine/geometry/TexturedBox.h"

#include <cmath>
#include <optional>

#include "engine/geometry/MeshClosure.h"

namespace libkub {

namespace {

// How far a corner's texture coordinate may stray from the face's affine map, and a map's cross terms
// from zero: a millionth of the texture, far below a texel of any image a model can name (the image
// loader caps images at 32,768 texels a side), and well above the rounding of the file's decimals.
constexpr double coordinateTolerance = 1e-6;
// How far the faces' triangles may cover more or less than the face, relative to its area.
constexpr double areaTolerance = 1e-6;

float component(const Vector3f& v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

// The two axes of a face, in increasing order.
std::array<int, 2> faceAxes(int axis)
{
    return axis == 0 ? std::array<int, 2>{1, 2}
                     : (axis == 1 ? std::array<int, 2>{0, 2} : std::array<int, 2>{0, 1});
}

// The face whose plane holds all three corners, as 2 * axis + side, or none.
std::optional<int> faceOf(const Triangle& triangle, const Vector3f& min, const Vector3f& max)
{
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            const float plane = component(side == 0 ? min : max, axis);
            bool onPlane = true;
            for (const Corner& corner : triangle.corners) {
                onPlane = onPlane && component(corner.position, axis) == plane;
            }
            if (onPlane) {
                return 2 * axis + side;
            }
        }
    }
    return std::nullopt;
}

// Texture coordinate as an affine function of the fractions (u, v) along the face's two axes.
struct AffineMap {
    double s0 = 0.0, su = 0.0, sv = 0.0;
    double t0 = 0.0, tu = 0.0, tv = 0.0;

    double s(double u, double v) const { return s0 + su * u + sv * v; }
    double t(double u, double v) const { return t0 + tu * u + tv * v; }
};

struct FacePoint {
    double u = 0.0;
    double v = 0.0;
    double s = 0.0;
    double t = 0.0;
};

// The map through three corners that are not on one line.
std::optional<AffineMap> mapThrough(const FacePoint (&p)[3])
{
    const double du1 = p[1].u - p[0].u, dv1 = p[1].v - p[0].v;
    const double du2 = p[2].u - p[0].u, dv2 = p[2].v - p[0].v;
    const double determinant = du1 * dv2 - du2 * dv1;
    if (determinant == 0.0) {
        return std::nullopt;
    }
    const auto solve = [&](double d1, double d2, double& alongU, double& alongV) {
        alongU = (d1 * dv2 - d2 * dv1) / determinant;
        alongV = (du1 * d2 - du2 * d1) / determinant;
    };
    AffineMap map;
    solve(p[1].s - p[0].s, p[2].s - p[0].s, map.su, map.sv);
    solve(p[1].t - p[0].t, p[2].t - p[0].t, map.tu, map.tv);
    map.s0 = p[0].s - map.su * p[0].u - map.sv * p[0].v;
    map.t0 = p[0].t - map.tu * p[0].u - map.tv * p[0].v;
    return map;
}

bool near(double a, double b)
{
    return std::abs(a - b) <= coordinateTolerance;
}

// Whether the map takes the face onto a rectangle with sides along s and t: each face axis moves only
// one of the two coordinates, and not the same one.
bool mapsOntoARectangle(const AffineMap& map)
{
    const bool straight = near(map.sv, 0.0) && near(map.tu, 0.0) && !near(map.su, 0.0) && !near(map.tv, 0.0);
    const bool turned = near(map.su, 0.0) && near(map.tv, 0.0) && !near(map.sv, 0.0) && !near(map.tu, 0.0);
    return straight || turned;
}

} // namespace

TexturePoint TexturedBox::coordinateOn(int face, float first, float second) const
{
    const std::array<TexturePoint, 4>& corners = faceCorners[static_cast<std::size_t>(face)];
    return {corners[0].s + first * (corners[1].s - corners[0].s) + second * (corners[2].s - corners[0].s),
            corners[0].t + first * (corners[1].t - corners[0].t) + second * (corners[2].t - corners[0].t)};
}

std::shared_ptr<const TexturedBox> proveTexturedBox(const Triangle* triangles, std::size_t count)
{
    if (count == 0 || !isClosedOutwardSurface(triangles, count)) {
        return nullptr;
    }
    auto box = std::make_shared<TexturedBox>();
    box->min = box->max = triangles[0].corners[0].position;
    for (std::size_t i = 0; i < count; ++i) {
        for (const Corner& corner : triangles[i].corners) {
            const Vector3f& p = corner.position;
            box->min = {std::min(box->min.x, p.x), std::min(box->min.y, p.y), std::min(box->min.z, p.z)};
            box->max = {std::max(box->max.x, p.x), std::max(box->max.y, p.y), std::max(box->max.z, p.z)};
        }
    }
    if (!(box->min.x < box->max.x && box->min.y < box->max.y && box->min.z < box->max.z)) {
        return nullptr;
    }

    std::array<double, texturedBoxFaces> covered{};
    std::array<std::optional<AffineMap>, texturedBoxFaces> maps;
    for (std::size_t i = 0; i < count; ++i) {
        const Triangle& triangle = triangles[i];
        const std::optional<int> face = faceOf(triangle, box->min, box->max);
        if (!face) {
            return nullptr;
        }
        const int axis = *face / 2;
        const float outwards = *face % 2 == 0 ? -1.0f : 1.0f;
        const auto [first, second] = faceAxes(axis);
        FacePoint points[3];
        for (int c = 0; c < 3; ++c) {
            const Corner& corner = triangle.corners[c];
            // Lit as the face: a normal straight out of it, whatever its length (the program normalises).
            if (component(corner.normal, first) != 0.0f || component(corner.normal, second) != 0.0f ||
                !(component(corner.normal, axis) * outwards > 0.0f)) {
                return nullptr;
            }
            points[c] = {(double{component(corner.position, first)} - component(box->min, first)) /
                             (double{component(box->max, first)} - component(box->min, first)),
                         (double{component(corner.position, second)} - component(box->min, second)) /
                             (double{component(box->max, second)} - component(box->min, second)),
                         corner.s, corner.t};
        }
        // Wound outwards: the corners turn counter-clockwise seen from outside the face.
        const double turn = (points[1].u - points[0].u) * (points[2].v - points[0].v) -
                            (points[2].u - points[0].u) * (points[1].v - points[0].v);
        const double handedness =
            (axis == 1 ? -1.0 : 1.0) * outwards; // (first, second, axis) is left-handed for y
        if (!(turn * handedness > 0.0)) {
            return nullptr;
        }
        covered[static_cast<std::size_t>(*face)] += std::abs(turn) / 2.0;
        std::optional<AffineMap>& map = maps[static_cast<std::size_t>(*face)];
        if (!map) {
            map = mapThrough(points);
        }
        for (const FacePoint& point : points) {
            if (!map || !near(map->s(point.u, point.v), point.s) ||
                !near(map->t(point.u, point.v), point.t)) {
                return nullptr;
            }
        }
    }
    for (int face = 0; face < texturedBoxFaces; ++face) {
        const std::optional<AffineMap>& map = maps[static_cast<std::size_t>(face)];
        if (!map || std::abs(covered[static_cast<std::size_t>(face)] - 1.0) > areaTolerance ||
            !mapsOntoARectangle(*map)) {
            return nullptr;
        }
        for (int corner = 0; corner < 4; ++corner) {
            const double u = corner & 1;
            const double v = (corner >> 1) & 1;
            box->faceCorners[static_cast<std::size_t>(face)][static_cast<std::size_t>(corner)] = {
                static_cast<float>(map->s(u, v)), static_cast<float>(map->t(u, v))};
        }
    }
    return box;
}

} // namespace libkub
