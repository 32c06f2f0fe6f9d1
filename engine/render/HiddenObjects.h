#pragma once
// Hidden objects left out of the camera pass: an object that the stacks of box copies in front of it
// hide at every pixel it could draw is not drawn. After an evening the dice stand in towers of dozens on
// every tile, and from the player's seat the near towers hide most of those behind them: their hidden
// parts were rasterised, depth-tested and turned away, and on llvmpipe that is most of the frame.
//
// The occluders are the copies of models proven to be boxes (TexturedBox.h: their triangles cover
// exactly the faces of their box), unturned and scaled by positive factors; copies of one size at one
// x and z that rest on one another (as BoxColumns.h allows: the foot within a few float steps of the
// top below, so the gap is a millionth of a copy) count as one tall box, whose faces are large enough to
// cover whole cells of the OcclusionGrid. The faces of each such box that look towards the eye are
// marked in the grid when the box lies whole within the depth range (nothing of it clipped at the near
// or far plane). Then every shown object that draws only its model is tested by the box round what it
// draws; the hidden ones leave the list, the rest keep their order. A tall column whose lower copies are
// hidden keeps its upper ones, which stack into a shorter column.
//
// The bound it keeps. The nearest surface at a pixel is never removed: a removed object lies, at each
// of its pixels, behind a face that covers the pixel by more than the grid's depth margin, and the
// nearest surface there lies at or before that face, so it is either that face's box or nearer still,
// and neither is hidden behind itself. So each pixel keeps the surface it showed; what changes is only
// how the shorter columns round (BoxColumns.h: "one level anywhere, more on edges"), and a pixel whose
// centre fell exactly into the millionth gap between two resting copies, which now shows the copies'
// side where before it could show what stood behind: an edge of the exact frame. The same bound as
// the columns: one level anywhere, more on edges. Off in wireframe, where faces cover nothing.
#include <cstddef>
#include <vector>

#include "engine/math/Matrix4f.h"
#include "engine/math/Vector3f.h"
#include "engine/render/OcclusionGrid.h"

namespace libkub {

class DrawableObject;

// An axis-aligned box given by two corners.
struct CornerBox {
    Vector3f min;
    Vector3f max;
};

// Joins the boxes of one footprint (the same x and z extents, to the bit, as the copies of one column
// have) that rest on one another (a foot within a few float steps of the top below, or lower) into one
// box each, and puts them into `stacks` (cleared first); a box that rests on none stays alone. Sorts
// `copies`.
void stackRestingBoxes(std::vector<CornerBox>& copies, std::vector<CornerBox>& stacks);

class HiddenObjects {
  public:
    // Removes from `shown` every object the box stacks among them hide, seen through projection * view
    // in the viewport from `eye`, and the modelview of each from `modelviews` (kept in step). The rest
    // keep their order. Returns how many were removed.
    std::size_t remove(std::vector<DrawableObject*>& shown, std::vector<Matrix4f>& modelviews,
                       const Matrix4f& projection, const Matrix4f& view, const int (&viewport)[4],
                       Vector3f eye);

    // The grid of the last call (for the tests).
    const OcclusionGrid& grid() const { return occlusion; }

  private:
    using Box = CornerBox;
    // The box copies among the objects, stacked where they rest on one another, into `stacks`.
    void gatherStacks(const std::vector<DrawableObject*>& shown);
    // Marks the faces of the box that look towards the eye, when it lies whole within the depth range.
    void coverFacesOf(const Box& box, const Matrix4f& viewProjection, const int (&viewport)[4], Vector3f eye);

    std::vector<Box> copies;
    std::vector<Box> stacks;
    std::vector<std::size_t> kept;
    OcclusionGrid occlusion;
};

} // namespace libkub
