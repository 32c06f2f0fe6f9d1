#include "engine/render/HiddenObjects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <iterator>
#include <tuple>
#include <utility>

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

// Window x and y in pixels, and the window depth in the range 0 to 1 that the camera pass draws in (only
// the sky narrows it, for itself).
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

// What an object draws, as far as its place in the window goes: its model, and the triangles the model
// shares with its copies (which outlive any one copy, so a model made where a removed one was is told
// apart when it draws other triangles).
std::pair<const void*, const void*> geometryOf(DrawableObject& object)
{
    const Model* model = object.model();
    return {model, model->mesh.triangles.begin()};
}

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
    // The copies as the last search found them (a camera that moves leaves every box in its place):
    // the stacks are those found then.
    if (copies.size() == copiesOfStacks.size() &&
        (copies.empty() ||
         std::memcmp(copies.data(), copiesOfStacks.data(), copies.size() * sizeof(Box)) == 0)) {
        return;
    }
    copiesOfStacks = copies;
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
    const Change change = changeSinceLast(shown, modelviews, projection, viewport, eye);
    if (change == Change::Some) {
        showAroundMoved();
        last.modelviews = modelviews;
    } else if (change == Change::Much || (change == Change::None && hiddenSetAged)) {
        remember(shown, modelviews, projection, viewport, eye);
        findHidden(shown, projection * view, viewport, eye);
    }
    std::size_t keptCount = 0;
    for (std::size_t index = 0; index < shown.size(); ++index) {
        if (!hidden[index]) {
            shown[keptCount] = shown[index];
            modelviews[keptCount] = modelviews[index];
            ++keptCount;
        }
    }
    const std::size_t removed = shown.size() - keptCount;
    shown.resize(keptCount);
    modelviews.resize(keptCount);
    return removed;
}

HiddenObjects::Change HiddenObjects::changeSinceLast(const std::vector<DrawableObject*>& shown,
                                                     const std::vector<Matrix4f>& modelviews,
                                                     const Matrix4f& projection, const int (&viewport)[4],
                                                     Vector3f eye)
{
    if (!last.any || shown != last.shown ||
        std::memcmp(&projection, &last.projection, sizeof projection) != 0 ||
        !std::equal(std::begin(viewport), std::end(viewport), last.viewport.begin()) ||
        std::memcmp(&eye, &last.eye, sizeof eye) != 0) {
        return Change::Much;
    }
    moved.clear();
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (geometryOf(*shown[i]) != last.geometries[i]) {
            return Change::Much;
        }
        if (std::memcmp(&modelviews[i], &last.modelviews[i], sizeof(Matrix4f)) != 0) {
            // Where it stood when the hidden ones were found must be known to show what it uncovered.
            if (!rects[i].known || moved.size() == mostMovedAtATime) {
                return Change::Much;
            }
            moved.push_back(i);
        }
    }
    return moved.empty() ? Change::None : Change::Some;
}

void HiddenObjects::showAroundMoved()
{
    // What a moved object may have uncovered lies where it stood when the hidden ones were found: an
    // object hidden then, whose own pixels lie elsewhere, still has in front of it every face that hid
    // it, whole but for the moved object's part. Both boxes are widened by a pixel for the
    // rasteriser's snapping, as the grid widens them.
    const auto overlap = [](const WindowBox& a, const WindowBox& b) {
        return a.left - 1.0f <= b.right + 1.0f && b.left - 1.0f <= a.right + 1.0f &&
               a.bottom - 1.0f <= b.top + 1.0f && b.bottom - 1.0f <= a.top + 1.0f;
    };
    for (const std::size_t index : moved) {
        hidden[index] = false;
    }
    for (std::size_t index = 0; index < hidden.size(); ++index) {
        if (!hidden[index]) {
            continue;
        }
        for (const std::size_t mover : moved) {
            if (overlap(rects[index], rects[mover])) {
                hidden[index] = false;
                break;
            }
        }
    }
    hiddenSetAged = true;
}

void HiddenObjects::remember(const std::vector<DrawableObject*>& shown,
                             const std::vector<Matrix4f>& modelviews, const Matrix4f& projection,
                             const int (&viewport)[4], Vector3f eye)
{
    last.shown = shown;
    last.geometries.clear();
    for (DrawableObject* object : shown) {
        last.geometries.push_back(geometryOf(*object));
    }
    last.modelviews = modelviews;
    last.projection = projection;
    std::copy(std::begin(viewport), std::end(viewport), last.viewport.begin());
    last.eye = eye;
    last.any = true;
}

void HiddenObjects::findHidden(const std::vector<DrawableObject*>& shown, const Matrix4f& viewProjection,
                               const int (&viewport)[4], Vector3f eye)
{
    hiddenSetAged = false;
    hidden.assign(shown.size(), false);
    rects.assign(shown.size(), WindowBox{});
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
    const bool anyCovered = occlusion.coversAnyCell();
    for (std::size_t index = 0; index < shown.size(); ++index) {
        DrawableObject& object = *shown[index];
        if (!object.drawsOnlyItsModel()) {
            continue;
        }
        const BoundingBox drawn = object.model()->drawnBounds();
        // The corners in clip space from the lowest one and the box's three edges there (a box's
        // corners are that corner plus any of its edges, and the projection is linear before the
        // division): one product and three scaled columns instead of eight products.
        const std::array<float, 4> lowest = clipOf(viewProjection, drawn.min);
        const Vector3f size = drawn.max - drawn.min;
        std::array<std::array<float, 4>, 3> edges{};
        for (std::size_t row = 0; row < 4; ++row) {
            edges[0][row] = viewProjection[static_cast<int>(row)] * size.x;
            edges[1][row] = viewProjection[4 + static_cast<int>(row)] * size.y;
            edges[2][row] = viewProjection[8 + static_cast<int>(row)] * size.z;
        }
        WindowBox box{INFINITY, INFINITY, -INFINITY, -INFINITY, true};
        float nearest = INFINITY;
        for (int i = 0; i < 8 && box.known; ++i) {
            std::array<float, 4> clip = lowest;
            for (std::size_t axis = 0; axis < 3; ++axis) {
                if ((i & (1 << axis)) != 0) {
                    for (std::size_t row = 0; row < 4; ++row) {
                        clip[row] += edges[axis][row];
                    }
                }
            }
            box.known = clip[3] > nearestW;
            const Vector3f at = windowOf(clip, viewport);
            box.left = std::min(box.left, at.x);
            box.right = std::max(box.right, at.x);
            box.bottom = std::min(box.bottom, at.y);
            box.top = std::max(box.top, at.y);
            nearest = std::min(nearest, at.z);
        }
        box.known = box.known && std::isfinite(box.left) && std::isfinite(box.right) &&
                    std::isfinite(box.bottom) && std::isfinite(box.top);
        rects[index] = box;
        hidden[index] =
            anyCovered && box.known && occlusion.hides(box.left, box.bottom, box.right, box.top, nearest);
    }
}

} // namespace libkub
