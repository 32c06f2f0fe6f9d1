#pragma once
// The camera pass's back-face culling: the back faces of a closed mesh never show past its front
// faces, so they are not drawn, which spares the rasteriser half the triangles. A mesh counts as closed
// only when every part of it pairs each edge and encloses a positive volume (MeshClosure.h), and only
// while no copy is scaled to its mirror image (which turns its faces inside out). Only with vertex
// buffers and filled faces: in wireframe every edge shows, and the other two render modes keep their
// pictures to the last pixel, where a silhouette pixel can go to a back face that ties in depth with
// the front one. The bound it keeps: an edge pixel of a silhouette may show the front face where the
// exact frame showed the back face, so it may move pixels on the exact frame's edges only.
#include "engine/math/Vector3f.h"
#include "engine/render/FramePlan.h"
#include "engine/resources/RenderSettings.h"

namespace libkub {

// Whether this frame's camera pass culls back faces at all.
inline bool culledBackFacesThisFrame(const FramePlan& plan, const RenderSettings& settings)
{
    return plan.cullBackFaces && !settings.wireframe && settings.renderMode == VBO;
}

// Whether a copy of a mesh scaled by `scale` hides its back faces (a mirror image turns them outward).
inline bool hidesBackFaces(bool closed, Vector3f scale)
{
    return closed && scale.x * scale.y * scale.z > 0.0f;
}

} // namespace libkub
