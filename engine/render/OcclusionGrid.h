#pragma once
// A coarse map of what the camera pass is sure to cover: the viewport cut into cells of cellWidth x
// cellHeight pixels, each holding a window depth that every pixel centre of the cell is sure to be
// covered at or before (infinity where that is not known). An object whose projection lies, in every
// cell it touches, behind that depth by more than depthMargin is hidden at every pixel it could draw:
// something nearer covers each of them.
//
// Why it can be trusted. GL lights a pixel of a triangle when the pixel's centre lies inside it, and
// gives the fragment the depth of the triangle's plane there. A face marks the pixel centres of a cell
// that lie at least edgeMargin pixels inside all its edges (more than the rasteriser's snapping of the
// corners to its sub-pixel grid and the rounding of the projection can move an edge), at the largest
// depth of its plane over the cell (a plane's depth is affine in window x and y, so its largest value
// over a rectangle is at a corner; every fragment of the face in the cell lies at or before it). A
// face that marks every centre of a cell sets the cell's depth when nearer than what it held; one that
// marks some joins the cell's pending marks, at the deepest depth among them, and when the pending
// marks fill the cell they set it likewise (nearest faces first fill cells best). An object's pixels
// lie inside the box round its eight projected corners (widened by a pixel), and none of its fragments
// lies nearer than its nearest corner's depth. The margin of depth is many steps of any depth buffer
// the frame draws into, beyond the rounding of either side, and beyond the few steps the spot light's
// pass pulls its objects forwards (SpotLightReach.h).
#include <array>
#include <cstdint>
#include <vector>

#include "engine/math/Vector3f.h"

namespace libkub {

class OcclusionGrid {
  public:
    // Narrow cells, for the narrow faces of towers of dice; twice as tall, since a tower's sides stand
    // upright on screen, which halves the rows of cells a face is drawn into.
    static constexpr int cellWidth = 4;
    static constexpr int cellHeight = 8;
    // A bit for each pixel centre of a cell, row by row from its lowest.
    using Marks = std::uint64_t;
    // How far inside a face a marked pixel centre lies, in pixels: llvmpipe snaps corners to 1/256 of a
    // pixel, and the projection here and GL's round apart by about a thousandth at 1,000 pixels.
    static constexpr float edgeMargin = 1.0f / 64.0f;
    // How far behind the covering depth an object must lie to be hidden: 256 steps of a 24-bit buffer.
    static constexpr float depthMargin = 0x1p-16f;

    // Forgets every face and fits the cells to the viewport (x, y, width, height in pixels).
    void reset(const int (&viewport)[4]);
    // Marks the pixel centres the flat convex quad covers. Its corners are in window coordinates (x and
    // y in pixels, z the window depth), in order around it, each in front of the eye and within the
    // depth range; a quad seen edge on marks nothing.
    void cover(const std::array<Vector3f, 4>& corners);
    // Whether an object whose corners project into the window rectangle from (left, bottom) to (right,
    // top), the nearest of them at window depth `nearest`, is hidden in every cell it can touch.
    bool hides(float left, float bottom, float right, float top, float nearest) const;
    // Whether any face has covered a whole cell since the reset (when none has, nothing is hidden).
    bool coversAnyCell() const { return anyCellCovered; }

  private:
    // What faces that covered only some centres of a cell have marked.
    struct Pending {
        Marks marks = 0;
        float deepest = 0.0f; // the deepest depth among them
    };
    // The marks of a cell whose every centre is marked (fewer bits at the viewport's right and top).
    Marks wholeCell(int column, int row) const;
    // Cells are kept column by column: the faces of towers are tall and narrow, and so are the boxes
    // tested, so that the cells one face or box reaches lie together in memory.
    std::size_t at(int column, int row) const
    {
        return static_cast<std::size_t>(column) * static_cast<std::size_t>(rows) +
               static_cast<std::size_t>(row);
    }

    int originX = 0;
    int originY = 0;
    int width = 0;
    int height = 0;
    int columns = 0;
    int rows = 0;
    std::vector<float> covered; // every centre of the cell is covered at or before this depth
    std::vector<Pending> pending;
    bool anyCellCovered = false;
};

} // namespace libkub
