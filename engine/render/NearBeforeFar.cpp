#include "engine/render/NearBeforeFar.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/resources/MeshPlacement.h"
#include "engine/resources/Model.h"
#include "engine/scene/DrawableObject.h"

namespace libkub {

namespace {

// The point's squared distance from the origin of the space the matrix takes it to.
float squaredLengthAfter(const Matrix4f& matrix, const Vector3f& point)
{
    const float x = matrix.m[0] * point.x + matrix.m[4] * point.y + matrix.m[8] * point.z + matrix.m[12];
    const float y = matrix.m[1] * point.x + matrix.m[5] * point.y + matrix.m[9] * point.z + matrix.m[13];
    const float z = matrix.m[2] * point.x + matrix.m[6] * point.y + matrix.m[10] * point.z + matrix.m[14];
    return x * x + y * y + z * z;
}

// Whether two meshes are copies of one closed model (one recording), which may swap places.
bool swappableCopies(const Mesh& a, const Mesh& b)
{
    return a.closed && b.closed && a.vertexBuffer == b.vertexBuffer && a.displayList == b.displayList &&
           a.triangles.begin() == b.triangles.begin();
}

// How far two boxes pass into one another along one axis, beyond the rounding of where they stand: the
// placement of a copy at a whole number of heights above a base point leaves a few float steps.
bool passInto(float aMin, float aMax, float bMin, float bMax)
{
    const float low = std::max(aMin, bMin);
    const float high = std::min(aMax, bMax);
    return high - low > 0x1p-18f * (std::abs(low) + std::abs(high));
}

} // namespace

bool ApartCheck::standApart(const std::vector<BoundingBox>& boxes)
{
    feet.clear();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        feet.push_back({boxes[i].min.y, static_cast<std::uint32_t>(i)});
    }
    sortNearestFirst(feet.begin(), feet.end()); // lowest foot first
    open.clear();
    float lowestTop = std::numeric_limits<float>::max(); // of the open boxes
    for (const DistanceKey& foot : feet) {
        const BoundingBox& box = boxes[foot.index];
        // Boxes whose tops lie below this foot (or on it) meet no box from here on. Looked for only once
        // the lowest top is passed: in a board of towers, once a level.
        if (!open.empty() && !passInto(box.min.y, lowestTop, box.min.y, box.max.y)) {
            std::erase_if(open, [&](std::uint32_t other) {
                return !passInto(boxes[other].min.y, boxes[other].max.y, box.min.y, box.max.y);
            });
            lowestTop = std::numeric_limits<float>::max();
            for (const std::uint32_t other : open) {
                lowestTop = std::min(lowestTop, boxes[other].max.y);
            }
        }
        for (const std::uint32_t other : open) {
            const BoundingBox& o = boxes[other];
            // Most open boxes stand on other tiles: the plain comparisons turn them away first.
            if (o.max.x > box.min.x && box.max.x > o.min.x && o.max.z > box.min.z && box.max.z > o.min.z &&
                passInto(o.min.x, o.max.x, box.min.x, box.max.x) &&
                passInto(o.min.z, o.max.z, box.min.z, box.max.z)) {
                return false;
            }
        }
        open.push_back(foot.index);
        lowestTop = std::min(lowestTop, box.max.y);
    }
    return true;
}

void sortNearestFirst(std::vector<DistanceKey>::iterator first, std::vector<DistanceKey>::iterator last)
{
    // The index breaks ties, so the order is the same every frame and equal distances keep their order.
    std::sort(first, last, [](const DistanceKey& a, const DistanceKey& b) {
        return a.distance < b.distance || (a.distance == b.distance && a.index < b.index);
    });
}

Vector3f meshMiddle(const Model& model)
{
    if (model.meshMin.x > model.meshMax.x) {
        return {};
    }
    return (model.meshMin + model.meshMax) * 0.5f;
}

float eyeDistanceSquared(const Model& model, const Matrix4f& modelview)
{
    return squaredLengthAfter(modelview, meshMiddle(model));
}

void NearBeforeFar::order(const std::vector<DrawableObject*>& list, const std::vector<Matrix4f>& modelviews,
                          std::vector<std::uint32_t>& indices)
{
    keys.clear();
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const std::uint32_t index = indices[i];
        keys.push_back(
            {eyeDistanceSquared(*list[index]->model(), modelviews[index]), static_cast<std::uint32_t>(i)});
    }
    std::size_t first = 0;
    while (first < indices.size()) {
        const Mesh& mesh = list[indices[first]]->model()->mesh;
        std::size_t last = first + 1;
        while (last < indices.size() && swappableCopies(list[indices[last]]->model()->mesh, mesh)) {
            ++last;
        }
        if (last - first > 1) {
            boxes.clear();
            for (std::size_t i = first; i < last; ++i) {
                boxes.push_back(list[indices[i]]->model()->drawnBounds());
            }
            if (apart.standApart(boxes)) {
                sortNearestFirst(keys.begin() + static_cast<std::ptrdiff_t>(first),
                                 keys.begin() + static_cast<std::ptrdiff_t>(last));
            }
        }
        first = last;
    }
    apply(indices);
}

void NearBeforeFar::orderFromLight(const std::vector<DrawableObject*>& list, const Matrix4f& lightView,
                                   std::vector<std::uint32_t>& indices)
{
    keys.clear();
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const Model& model = *list[indices[i]]->model();
        keys.push_back(
            {eyeDistanceSquared(model, lightView * placementOf(model.mesh)), static_cast<std::uint32_t>(i)});
    }
    sortNearestFirst(keys.begin(), keys.end());
    apply(indices);
}

void NearBeforeFar::apply(std::vector<std::uint32_t>& indices)
{
    // Each key names its place among the given indices.
    given.assign(indices.begin(), indices.end());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        indices[i] = given[keys[i].index];
    }
}

} // namespace libkub
