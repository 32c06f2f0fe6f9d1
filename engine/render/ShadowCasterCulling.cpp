#include "engine/render/ShadowCasterCulling.h"

#include "engine/math/Frustum.h"
#include "engine/resources/Model.h"
#include "engine/scene/DrawableObject.h"

namespace libkub {

void collectShadowCasters(const std::vector<DrawableObject*>& objects, const Frustum& lightView, bool culling,
                          std::vector<DrawableObject*>& casters)
{
    casters.clear();
    // A light higher than its far distance has a near plane beyond the far one: its planes mean
    // nothing then, and everything is drawn.
    const bool usable = culling && lightView.nearDistance < lightView.farDistance;
    for (DrawableObject* object : objects) {
        if (usable && object->drawsOnlyItsModel() && lightView.outsideSides(object->model()->drawnBounds())) {
            continue;
        }
        casters.push_back(object);
    }
}

} // namespace libkub
