#include "engine/geometry/MeshClosure.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <tuple>

namespace libkub {

namespace {

using Point = std::array<std::uint32_t, 3>;

Point bitsOf(const Vector3f& position)
{
    Point point{};
    std::memcpy(point.data(), &position, sizeof(point));
    return point;
}

// Parts of the surface joined by shared edges, as a union of triangle indices.
class Parts {
  public:
    explicit Parts(std::size_t count) : parent(count) { std::iota(parent.begin(), parent.end(), 0); }

    std::size_t root(std::size_t t)
    {
        while (parent[t] != t) {
            parent[t] = parent[parent[t]];
            t = parent[t];
        }
        return t;
    }

    void join(std::size_t a, std::size_t b) { parent[root(a)] = root(b); }

  private:
    std::vector<std::size_t> parent;
};

struct Edge {
    Point from;
    Point to;
    std::size_t triangle;

    bool operator<(const Edge& other) const { return std::tie(from, to) < std::tie(other.from, other.to); }
};

// (a - o) . ((b - o) x (c - o)), every step in double: six times the volume of the tetrahedron.
double tripleProduct(const Vector3f& o, const Vector3f& a, const Vector3f& b, const Vector3f& c)
{
    const double ax = double{a.x} - o.x, ay = double{a.y} - o.y, az = double{a.z} - o.z;
    const double bx = double{b.x} - o.x, by = double{b.y} - o.y, bz = double{b.z} - o.z;
    const double cx = double{c.x} - o.x, cy = double{c.y} - o.y, cz = double{c.z} - o.z;
    return ax * (by * cz - bz * cy) + ay * (bz * cx - bx * cz) + az * (bx * cy - by * cx);
}

} // namespace

std::optional<std::vector<double>> closedPartVolumes(const Triangle* triangles, std::size_t count)
{
    // Every directed edge, sorted: a closed, consistently wound surface has each exactly once, and its
    // reverse exactly once.
    std::vector<Edge> edges;
    edges.reserve(count * 3);
    for (std::size_t t = 0; t < count; ++t) {
        const Corner* corners = triangles[t].corners;
        Point points[3];
        for (int i = 0; i < 3; ++i) {
            points[i] = bitsOf(corners[i].position);
        }
        if (points[0] == points[1] || points[1] == points[2] || points[2] == points[0]) {
            return std::nullopt;
        }
        for (int i = 0; i < 3; ++i) {
            edges.push_back({points[i], points[(i + 1) % 3], t});
        }
    }
    std::sort(edges.begin(), edges.end());
    const auto sameWay = [](const Edge& a, const Edge& b) { return a.from == b.from && a.to == b.to; };
    if (std::adjacent_find(edges.begin(), edges.end(), sameWay) != edges.end()) {
        return std::nullopt; // an edge run the same way twice: not consistently wound, or more than two faces
    }
    Parts parts(count);
    for (const Edge& edge : edges) {
        const Edge reverse{edge.to, edge.from, 0};
        const auto found = std::lower_bound(edges.begin(), edges.end(), reverse);
        if (found == edges.end() || !sameWay(*found, reverse)) {
            return std::nullopt; // a border edge: the surface has a hole
        }
        parts.join(edge.triangle, found->triangle);
    }
    // Each part's volume from its own first corner, in the order of the parts' first triangles.
    std::vector<double> volumes;
    std::vector<std::size_t> partOfRoot(count, count);
    std::vector<const Vector3f*> origin;
    for (std::size_t t = 0; t < count; ++t) {
        const std::size_t root = parts.root(t);
        if (partOfRoot[root] == count) {
            partOfRoot[root] = volumes.size();
            volumes.push_back(0.0);
            origin.push_back(&triangles[t].corners[0].position);
        }
        const std::size_t part = partOfRoot[root];
        const Corner* corners = triangles[t].corners;
        volumes[part] +=
            tripleProduct(*origin[part], corners[0].position, corners[1].position, corners[2].position);
    }
    for (double& volume : volumes) {
        volume /= 6.0;
    }
    return volumes;
}

bool isClosedOutwardSurface(const Triangle* triangles, std::size_t count)
{
    if (count == 0) {
        return false;
    }
    const std::optional<std::vector<double>> volumes = closedPartVolumes(triangles, count);
    return volumes && std::all_of(volumes->begin(), volumes->end(), [](double v) { return v > 0.0; });
}

} // namespace libkub
