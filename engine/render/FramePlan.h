#pragma once
// The frame's shortcuts, one switch each, and the exact frame that has them all off. Each shortcut
// keeps the picture of the exact frame within the picture bound the tests hold it to
// (tests/support/PictureBound.h): "no pixel differs", or "one level anywhere, more only on the exact
// frame's edges"; each switch below names the file that holds its contract and the bound it keeps. The
// exact frame is what they are compared with (and what kubora-view --exact draws).
//
// Every switch is listed in `shortcuts`, and exact() switches off every one listed; the static_assert
// below the struct fails to compile when a switch is added without being listed, so no shortcut can be
// left on in the exact frame.
#include <array>

namespace libkub {

struct FramePlan {
    // A light's depth texture is drawn again only when its pass would draw something else; off, every
    // frame draws every depth pass (DepthPass.h, with the record in DepthPassRecord.h). No pixel differs.
    bool reuseDepthTextures = true;
    // A depth pass drawn again because objects moved draws only the texels their boxes covered before or
    // cover now; off, it draws the whole texture (ConfinedDepthRedraw.h). Applies only while depth
    // textures are reused. No pixel differs.
    bool confineDepthRedraws = true;
    // A depth pass draws only the objects inside the light's sides; off, it draws every object
    // (ShadowCasterCulling.h). No pixel differs.
    bool cullShadowCasters = true;
    // The spot light's share is computed only where it can change a pixel; off, the full shadow program
    // shades every pixel (SpotLightReach.h, SceneRendererSpot.cpp). One level anywhere, more on edges.
    bool spotOnlyWhereItShows = true;
    // The back faces of closed meshes are not drawn in the camera pass (vertex buffers, filled faces;
    // BackFaceCulling.h). Pixels on edges may differ.
    bool cullBackFaces = true;
    // Copies of one mesh are drawn together with one instanced call (vertex buffers, filled faces;
    // InstancedBatches.h). One level anywhere, more on edges.
    bool instancing = true;
    // Copies of a textured box that rest on one another are drawn as one box per column (BoxColumns.h).
    // One level anywhere, more on edges.
    bool stackColumns = true;
    // The sky is drawn last, only where the scene left the cleared depth; off, it is drawn first and
    // covered (SkyBox::drawBehindScene). One level anywhere, more on edges.
    bool skyBehindScene = true;
    // What stands nearest the eye is drawn first in the camera pass (the objects drawn one by one among
    // the copies of one model next to them in the list, the copies in each instanced batch, the batches
    // of one mesh, the columns), and nearest the light first in the depth passes; off, everything is
    // drawn in list order (NearBeforeFar.h). One level anywhere, more on edges.
    bool nearBeforeFar = true;
    // An object that the stacks of box copies in front of it hide at every pixel is left out of the camera
    // pass; off, every shown object is drawn (HiddenObjects.h). One level anywhere, more on edges.
    bool skipHiddenObjects = true;

    // Every switch of the plan, for exact() and for anything that must see them all.
    static constexpr std::array shortcuts{&FramePlan::reuseDepthTextures, &FramePlan::confineDepthRedraws,
                                          &FramePlan::cullShadowCasters,  &FramePlan::spotOnlyWhereItShows,
                                          &FramePlan::cullBackFaces,      &FramePlan::instancing,
                                          &FramePlan::stackColumns,       &FramePlan::skyBehindScene,
                                          &FramePlan::nearBeforeFar,      &FramePlan::skipHiddenObjects};

    // Every shortcut off: the plain frame the shortcuts are held to. Frustum culling is no shortcut of
    // the plan: it stays as the render settings say.
    static constexpr FramePlan exact()
    {
        FramePlan plan;
        for (bool FramePlan::*shortcut : shortcuts) {
            plan.*shortcut = false;
        }
        return plan;
    }
    // Whether every shortcut is off.
    constexpr bool isExact() const
    {
        for (bool FramePlan::*shortcut : shortcuts) {
            if (this->*shortcut) {
                return false;
            }
        }
        return true;
    }
    constexpr bool operator==(const FramePlan&) const = default;
};

// A member added to the plan but not to `shortcuts` would stay on in the exact frame.
static_assert(sizeof(FramePlan) == FramePlan::shortcuts.size() * sizeof(bool),
              "every member of FramePlan must be a bool listed in FramePlan::shortcuts");
static_assert(FramePlan::exact().isExact() && !FramePlan{}.isExact());

} // namespace libkub
