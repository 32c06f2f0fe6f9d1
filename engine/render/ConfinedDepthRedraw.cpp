#include "engine/render/ConfinedDepthRedraw.h"

#include <algorithm>

#include "engine/render/SpotLightReach.h"
#include "engine/scene/DepthPassRecord.h"

namespace libkub {

std::optional<TexelRect> texelsToRedraw(const DepthPassRecord& held,
                                        const std::vector<BoundingBox>& heldBoxes,
                                        const DepthPassRecord& pending,
                                        const std::vector<BoundingBox>& pendingBoxes,
                                        const Matrix4f& lightProjection, const Matrix4f& lightView, int size)
{
    std::vector<std::size_t> moved;
    if (!pending.differingObjects(held, moved) || heldBoxes.size() != pendingBoxes.size()) {
        return std::nullopt;
    }
    const int viewport[4] = {0, 0, size, size};
    int left = size;
    int bottom = size;
    int right = 0;
    int top = 0;
    for (const std::size_t object : moved) {
        if (object >= pendingBoxes.size()) {
            return std::nullopt;
        }
        for (const BoundingBox* box : {&heldBoxes[object], &pendingBoxes[object]}) {
            const std::optional<WindowRect> covered =
                windowRectOfBox(*box, lightProjection, lightView, viewport);
            if (!covered) {
                return std::nullopt; // part of it at or behind the light: no bound in the texture
            }
            if (covered->width == 0 || covered->height == 0) {
                continue; // wholly outside the texture
            }
            left = std::min(left, covered->x);
            bottom = std::min(bottom, covered->y);
            right = std::max(right, covered->x + covered->width);
            top = std::max(top, covered->y + covered->height);
        }
    }
    if (left >= right || bottom >= top) {
        return TexelRect{}; // nothing that differs reaches the texture
    }
    if (left == 0 && bottom == 0 && right == size && top == size) {
        return std::nullopt;
    }
    return TexelRect{left, bottom, right - left, top - bottom};
}

bool casterReachesTexels(const BoundingBox& box, const TexelRect& texels, const Matrix4f& lightProjection,
                         const Matrix4f& lightView, int size)
{
    const int viewport[4] = {0, 0, size, size};
    const std::optional<WindowRect> covered = windowRectOfBox(box, lightProjection, lightView, viewport);
    if (!covered) {
        return true; // no bound in the texture
    }
    return covered->width > 0 && covered->height > 0 && covered->x < texels.x + texels.width &&
           texels.x < covered->x + covered->width && covered->y < texels.y + texels.height &&
           texels.y < covered->y + covered->height;
}

} // namespace libkub
