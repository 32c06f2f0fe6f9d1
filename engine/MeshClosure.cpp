#include "engine/MeshClosure.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace libkub {

namespace {

using Point = std::array<std::uint32_t, 3>;

Point bitsOf(const Vector3f& position)
{
    Point point{};
    std::memcpy(point.data(), &position, sizeof(point));
    return point;
}

} // namespace

bool isClosedOutwardSurface(const Triangle* triangles, std::size_t count)
{
    if (count == 0) {
        return false;
    }
    // Every directed edge, sorted: a closed, consistently wound surface has each exactly once, and its
    // reverse exactly once.
    std::vector<std::pair<Point, Point>> edges;
    edges.reserve(count * 3);
    double volume = 0.0;
    for (std::size_t t = 0; t < count; ++t) {
        const Corner* corners = triangles[t].corners;
        Point points[3];
        for (int i = 0; i < 3; ++i) {
            points[i] = bitsOf(corners[i].position);
        }
        if (points[0] == points[1] || points[1] == points[2] || points[2] == points[0]) {
            return false;
        }
        for (int i = 0; i < 3; ++i) {
            edges.emplace_back(points[i], points[(i + 1) % 3]);
        }
        const Vector3f& a = corners[0].position;
        const Vector3f& b = corners[1].position;
        const Vector3f& c = corners[2].position;
        volume += static_cast<double>(dot(a, cross(b, c)));
    }
    std::sort(edges.begin(), edges.end());
    if (std::adjacent_find(edges.begin(), edges.end()) != edges.end()) {
        return false; // an edge run the same way twice: not consistently wound, or more than two faces
    }
    for (const auto& [from, to] : edges) {
        if (!std::binary_search(edges.begin(), edges.end(), std::make_pair(to, from))) {
            return false; // a border edge: the surface has a hole
        }
    }
    return volume > 0.0;
}

} // namespace libkub
