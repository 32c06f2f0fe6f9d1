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
//
// From frame to frame. Finding the hidden objects costs the game's thread 1 to 2 ms for 4,000 dice
// (the grid, the stacks, a box per object), as much as leaving them out saves the raster threads. So
// a frame that is given what the frame before was (the same objects with the same models and
// modelview matrices, the same projection, viewport and eye: nothing moved, the camera stood still)
// keeps the hidden set it had. A frame in which only a few objects moved (a gliding die) shows again
// those objects and every hidden one whose box meets where one of them stood when the set was found:
// only there can a moved object have uncovered anything, since every other hidden object still has in
// front of it each face that hid it (a moved copy takes away its own part of its stack's faces, no
// more). The set then hides no more than it must; once things stand still again it is found afresh.
// Anything else (another view, objects come or gone, many moved) finds it afresh at once.
#include <array>
#include <cstddef>
#include <utility>
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

  private:
    using Box = CornerBox;
    // The box copies among the objects, stacked where they rest on one another, into `stacks` (kept
    // when the copies are the last search's).
    void gatherStacks(const std::vector<DrawableObject*>& shown);
    // Finds which objects are hidden, and where each lies in the window.
    void findHidden(const std::vector<DrawableObject*>& shown, const Matrix4f& viewProjection,
                    const int (&viewport)[4], Vector3f eye);
    // Marks the faces of the box that look towards the eye, when it lies whole within the depth range.
    void coverFacesOf(const Box& box, const Matrix4f& viewProjection, const int (&viewport)[4], Vector3f eye);

    // What changed since the last call: nothing; only the modelview matrices of a few objects (listed
    // in `moved`), each of whose place in the window is known; or more (other objects, another view).
    enum class Change { None, Some, Much };
    Change changeSinceLast(const std::vector<DrawableObject*>& shown, const std::vector<Matrix4f>& modelviews,
                           const Matrix4f& projection, const int (&viewport)[4], Vector3f eye);
    // Shows again the moved objects and every hidden one that they may have uncovered.
    void showAroundMoved();
    // Keeps what this call was given, for the next one to compare with.
    void remember(const std::vector<DrawableObject*>& shown, const std::vector<Matrix4f>& modelviews,
                  const Matrix4f& projection, const int (&viewport)[4], Vector3f eye);

    // Beyond this many moved at once, finding the hidden ones afresh costs no more.
    static constexpr std::size_t mostMovedAtATime = 256;

    // Where an object's corners lie in the window when the hidden ones were found (unknown for one
    // reaching behind the eye or drawing more than its model).
    struct WindowBox {
        float left = 0.0f;
        float bottom = 0.0f;
        float right = 0.0f;
        float top = 0.0f;
        bool known = false;
    };
    // What the last call was given.
    struct Given {
        std::vector<DrawableObject*> shown;
        std::vector<std::pair<const void*, const void*>> geometries;
        std::vector<Matrix4f> modelviews;
        Matrix4f projection;
        std::array<int, 4> viewport{};
        Vector3f eye;
        bool any = false;
    } last;
    // For each object of the last call: whether it is hidden, and where it lay when that was found.
    std::vector<bool> hidden;
    std::vector<WindowBox> rects;
    std::vector<std::size_t> moved;
    // Whether objects were shown again since the hidden ones were found: the set is still right but
    // may hide less than it could, so it is found afresh once things stand still.
    bool hiddenSetAged = false;
    std::vector<Box> copies;
    std::vector<Box> copiesOfStacks; // the copies, in list order, that `stacks` was found from
    std::vector<Box> stacks;
    OcclusionGrid occlusion;
};

} // namespace libkub
