#include "engine/render/HiddenObjects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <tuple>

#include "engine/geometry/TexturedBox.h"
#include "engine/resources/Model.h"
#include "engine/scene/DrawableObject.h"

namespace libkub {

namespace {

// A copy rests on the one below when its foot lies within this share of the height it stands at (plus
// its own height) of the lower one's top, as BoxColumns.h stacks them.
constexpr float restingTolerance = 0x1p-20f;
// Nearer the eye than this in clip w, a corner is not projected: the object is kept.
constexpr float nearestW = 1e-4f;

// The corner i of the box: bit 0 picks max x, bit 1 max y, bit 2 max z.
Vector3f cornerOf(const Vector3f& low, const Vector3f& high, int i)
{
    return {(i & 1) != 0 ? high.x : low.x, (i & 2) != 0 ? high.y : low.y, (i & 4) != 0 ? high.z : low.z};
}

std::array<float, 4> clipOf(const Matrix4f& m, const Vector3f& p)
{
    std::array<float, 4> clip{};
    for (int row = 0; row < 4; ++row) {
        clip[static_cast<std::size_t>(row)] =
            m[row] * p.x + m[4 + row] * p.y + m[8 + row] * p.z + m[12 + row];
    }
    return clip;
}

Vector3f windowOf(const std::array<float, 4>& clip, const int (&viewport)[4])
{
    return {
        static_cast<float>(viewport[0]) + (clip[0] / clip[3] + 1.0f) * 0.5f * static_cast<float>(viewport[2]),
        static_cast<float>(viewport[1]) + (clip[1] / clip[3] + 1.0f) * 0.5f * static_cast<float>(viewport[3]),
        (clip[2] / clip[3] + 1.0f) * 0.5f};
}

// The corners of each face of a box, in order around it: face 2 * axis + side, side 1 at max.
constexpr std::array<std::array<int, 4>, 6> faceCorners{
    {{0, 2, 6, 4}, {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 5, 7, 6}}};

} // namespace

void stackRestingBoxes(std::vector<CornerBox>& copies, std::vector<CornerBox>& stacks)
{
    stacks.clear();
    // Copies over one footprint (the same x and z to the bit, as copies of one column have), from the
    // lowest up.
    const auto footprint = [](const CornerBox& box) {
        return std::make_tuple(box.min.x, box.max.x, box.min.z, box.max.z);
    };
    std::sort(copies.begin(), copies.end(), [](const CornerBox& a, const CornerBox& b) {
        if (a.min.x != b.min.x) {
            return a.min.x < b.min.x;
        }
        if (a.min.z != b.min.z) {
            return a.min.z < b.min.z;
        }
        if (a.max.x != b.max.x) {
            return a.max.x < b.max.x;
        }
        if (a.max.z != b.max.z) {
            return a.max.z < b.max.z;
        }
        return a.min.y < b.min.y;
    });
    for (const CornerBox& copy : copies) {
        if (!stacks.empty()) {
            CornerBox& below = stacks.back();
            const float tolerance = restingTolerance * (std::abs(below.max.y) + (copy.max.y - copy.min.y));
            if (footprint(below) == footprint(copy) && copy.min.y <= below.max.y + tolerance) {
                below.max.y = std::max(below.max.y, copy.max.y);
                continue;
            }
        }
        stacks.push_back(copy);
    }
}

void HiddenObjects::gatherStacks(const std::vector<DrawableObject*>& shown)
{
    copies.clear();
    stacks.clear();
    for (DrawableObject* object : shown) {
        if (!object->drawsOnlyItsModel()) {
            continue;
        }
        const Mesh& mesh = object->model()->mesh;
        if (!mesh.texturedBox || mesh.rotation.angle != 0.0f ||
            !(mesh.scale.x > 0.0f && mesh.scale.y > 0.0f && mesh.scale.z > 0.0f)) {
            continue;
        }
        const TexturedBox& box = *mesh.texturedBox;
        const Vector3f& at = mesh.translation;
        const Box copy{{box.min.x * mesh.scale.x + at.x, box.min.y * mesh.scale.y + at.y,
                        box.min.z * mesh.scale.z + at.z},
                       {box.max.x * mesh.scale.x + at.x, box.max.y * mesh.scale.y + at.y,
                        box.max.z * mesh.scale.z + at.z}};
        const float extent[6] = {copy.min.x, copy.min.y, copy.min.z, copy.max.x, copy.max.y, copy.max.z};
        if (std::all_of(std::begin(extent), std::end(extent), [](float v) { return std::isfinite(v); })) {
            copies.push_back(copy); // (a copy placed at no number would leave the sort's order undefined)
        }
    }
    stackRestingBoxes(copies, stacks);
}

void HiddenObjects::coverFacesOf(const Box& box, const Matrix4f& viewProjection, const int (&viewport)[4],
                                 Vector3f eye)
{
    std::array<Vector3f, 8> window;
    for (int i = 0; i < 8; ++i) {
        const std::array<float, 4> clip = clipOf(viewProjection, cornerOf(box.min, box.max, i));
        // Whole within the depth range: no face of it is cut by the near or far plane.
        if (!(clip[3] > nearestW && clip[2] >= -clip[3] && clip[2] <= clip[3])) {
            return;
        }
        window[static_cast<std::size_t>(i)] = windowOf(clip, viewport);
    }
    // A box the nearer ones hide already adds nothing they do not cover.
    float left = window[0].x;
    float right = left;
    float bottom = window[0].y;
    float top = bottom;
    float nearest = window[0].z;
    for (const Vector3f& corner : window) {
        left = std::min(left, corner.x);
        right = std::max(right, corner.x);
        bottom = std::min(bottom, corner.y);
        top = std::max(top, corner.y);
        nearest = std::min(nearest, corner.z);
    }
    if (occlusion.hides(left, bottom, right, top, nearest)) {
        return;
    }
    const float eyeAt[3] = {eye.x, eye.y, eye.z};
    const float low[3] = {box.min.x, box.min.y, box.min.z};
    const float high[3] = {box.max.x, box.max.y, box.max.z};
    for (int axis = 0; axis < 3; ++axis) {
        // The face on the eye's side; a face seen from behind covers what the one in front does, later.
        const int side = eyeAt[axis] > high[axis] ? 1 : (eyeAt[axis] < low[axis] ? 0 : -1);
        if (side < 0) {
            continue;
        }
        const std::array<int, 4>& face = faceCorners[static_cast<std::size_t>(2 * axis + side)];
        occlusion.cover({window[static_cast<std::size_t>(face[0])], window[static_cast<std::size_t>(face[1])],
                         window[static_cast<std::size_t>(face[2])],
                         window[static_cast<std::size_t>(face[3])]});
    }
}

std::size_t HiddenObjects::remove(std::vector<DrawableObject*>& shown, std::vector<Matrix4f>& modelviews,
                                  const Matrix4f& projection, const Matrix4f& view, const int (&viewport)[4],
                                  Vector3f eye)
{
    const Matrix4f viewProjection = projection * view;
    occlusion.reset(viewport);
    gatherStacks(shown);
    // Nearest first: a cell that faces fill between them takes the deepest of their depths, so the
    // near faces should fill it before the far ones join.
    const auto distance = [&eye](const Box& box) {
        const Vector3f offset = (box.min + box.max) * 0.5f - eye;
        return dot(offset, offset);
    };
    std::sort(stacks.begin(), stacks.end(),
              [&distance](const Box& a, const Box& b) { return distance(a) < distance(b); });
    for (const Box& stack : stacks) {
        coverFacesOf(stack, viewProjection, viewport, eye);
    }
    if (occlusion.coveredCells() == 0) {
        return 0;
    }
    kept.clear();
    for (std::size_t index = 0; index < shown.size(); ++index) {
        DrawableObject& object = *shown[index];
        bool hidden = false;
        if (object.drawsOnlyItsModel()) {
            const BoundingBox drawn = object.model()->drawnBounds();
            float left = INFINITY;
            float right = -INFINITY;
            float bottom = INFINITY;
            float top = -INFINITY;
            float nearest = INFINITY;
            bool inFront = true;
            for (int i = 0; i < 8 && inFront; ++i) {
                const std::array<float, 4> clip = clipOf(viewProjection, cornerOf(drawn.min, drawn.max, i));
                inFront = clip[3] > nearestW;
                const Vector3f at = windowOf(clip, viewport);
                left = std::min(left, at.x);
                right = std::max(right, at.x);
                bottom = std::min(bottom, at.y);
                top = std::max(top, at.y);
                nearest = std::min(nearest, at.z);
            }
            hidden = inFront && occlusion.hides(left, bottom, right, top, nearest);
        }
        if (!hidden) {
            kept.push_back(index);
        }
    }
    const std::size_t removed = shown.size() - kept.size();
    for (std::size_t k = 0; k < kept.size(); ++k) {
        shown[k] = shown[kept[k]];
        modelviews[k] = modelviews[kept[k]];
    }
    shown.resize(kept.size());
    modelviews.resize(kept.size());
    return removed;
}

} // namespace libkub
