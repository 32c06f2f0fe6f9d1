#pragma once
// Near before far: the camera pass draws what stands nearest the eye first, so that the depth test turns
// away the fragments of what stands behind before they are shaded (llvmpipe tests depth before it runs
// the fragment program of a program that writes no depth). Applied to the objects drawn one by one
// (ordered by their middle, placed by the modelview matrix the frame computed for them), to the copies
// inside each instanced batch and to the batches of one mesh (by their nearest copy), and to the columns
// of stacked copies (by their middle); the depth passes draw their casters nearest the light first.
//
// The bound it keeps. GL_LESS keeps the nearest fragment of every pixel whatever the order, so the order
// decides a pixel only where two surfaces meet at the very same depth, and there the one drawn first
// wins. So draws swap places only among copies of one closed model (a mesh that encloses a solid:
// MeshClosure.h) that stand next to one another in the list (the dice, the tiles), and only while no two
// of those copies' drawn boxes pass into one another (ApartCheck below; touching is standing apart), and
// batches only among batches of one such mesh; the columns are closed boxes of one kind each, side by
// side. Between two objects of
// different models the list order stands, so a die still loses every tie to the tile it rests on, and a
// tile to the board, as in the exact frame. Two copies of a closed model that stand apart or rest on one
// another meet only in faces each of which lies behind the other copy's solid seen from anywhere (a
// die's foot on the die below): their ties show on silhouettes only, so the frame moves pixels on the
// exact frame's edges only ("one level anywhere, more on edges"). A depth pass keeps the least
// depth of each texel, which no order changes. Draws at equal distance keep their given order, so a
// scene that stands still is drawn in the same order every frame. Not in wireframe, where every edge
// shows and the shared edges of stacked copies tie along their whole length.
//
// Why not across models, or among copies of an open one: a model that meets another in a plane, or an
// open model whose copies overlap (a duck as tile model, its feet in the board's top and in each
// other's, seen from far away where they round to one depth over whole faces) shows whichever face was
// drawn first there, across faces and not on edges; and llvmpipe's immediate mode was seen to draw a
// tile with a die's colours when tiles and dice alternate in the list.
//
// What it costs: the keys are sorted, not the objects, in storage kept from frame to frame; the check
// that copies stand apart and the sort take about 1 ms for 6,016 dice drawn one by one (the immediate and
// display-list modes; with vertex buffers the dice go to columns and batches, a few dozen draws). In
// immediate mode, dice of four colours nearest first change the material from die to die, which llvmpipe
// was seen to pay for with more than the fragments save (6,016 dice from above: 22 % fewer fragments
// through the depth test, frames 1.7 to 1.9 times as long; dice of one colour: 12 % faster). Drawing each
// colour's dice together brought llvmpipe's immediate-mode colour mix-up back (a tile in another tile's
// colour), so it is not done.
#include <cstdint>
#include <vector>

#include "engine/math/BoundingBox.h"
#include "engine/math/Matrix4f.h"
#include "engine/math/Vector3f.h"

namespace libkub {

class DrawableObject;
class Model;

// A draw's squared distance from the eye (or the light) and its place in the order it came in.
struct DistanceKey {
    float distance = 0.0f;
    std::uint32_t index = 0;
};

// Sorts the keys nearest first; equal distances keep the order of their indices.
void sortNearestFirst(std::vector<DistanceKey>::iterator first, std::vector<DistanceKey>::iterator last);

// The middle of the model's mesh, in its own coordinates (the origin when the mesh is empty).
Vector3f meshMiddle(const Model& model);

// The squared distance from the eye of the model's middle, placed by the modelview matrix it is drawn
// with (the view times its placement): the eye is the origin of eye space.
float eyeDistanceSquared(const Model& model, const Matrix4f& modelview);

// Whether copies stand apart: no two of their boxes pass into one another deeper than float rounding.
// Boxes that only touch (a die resting on the one below, tiles side by side) stand apart. A sweep up the
// boxes' feet: each box is held only against those whose heights it shares, a few dozen in a board of
// towers.
class ApartCheck {
  public:
    bool standApart(const std::vector<BoundingBox>& boxes);

  private:
    std::vector<DistanceKey> feet; // foot height, box
    std::vector<std::uint32_t> open;
};

// Orders the draws of one list, keeping the storage of its keys from frame to frame.
class NearBeforeFar {
  public:
    // Reorders `indices` (into `list` and `modelviews`) so that within every run of consecutive indices
    // whose objects are copies of one closed model (one recording: vertex buffer, display list and
    // triangles) that stand apart, the nearest the eye is drawn first; the runs stay where they are, and
    // copies at equal distance keep their given order.
    void order(const std::vector<DrawableObject*>& list, const std::vector<Matrix4f>& modelviews,
               std::vector<std::uint32_t>& indices);
    // For a depth pass: reorders all of `indices` nearest the light first (by the middle of each placed
    // model seen through the light's view), equal distances in their given order.
    void orderFromLight(const std::vector<DrawableObject*>& list, const Matrix4f& lightView,
                        std::vector<std::uint32_t>& indices);

  private:
    // Rewrites the indices in the order of the sorted keys.
    void apply(std::vector<std::uint32_t>& indices);

    std::vector<DistanceKey> keys;
    std::vector<std::uint32_t> given;
    std::vector<BoundingBox> boxes;
    ApartCheck apart;
};

} // namespace libkub
