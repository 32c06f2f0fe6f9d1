#pragma once
// Depth passes confined to what changed. When a light's depth pass must be drawn again because some
// objects moved (a die gliding from one tile to another), while the light, its texture, the switches,
// the geometry and the list of casters stay the same, only the texels those objects covered before or
// cover now can change: the pass clears and draws only the rectangle around them (a scissor), with
// every caster, so that inside it the texture is drawn as the whole pass would draw it, and outside it
// keeps what it held. The rectangle is each moved object's box before and after, projected through the
// light's matrices, with a texel to spare on each side (windowRectOfBox). Any other change (a caster
// added or gone, a moved light, a box partly behind the light) draws the whole texture.
// Inside the rectangle it draws only the casters that can reach it: a caster whose box, projected the
// same way, lies wholly outside the rectangle would leave every fragment to the scissor. A column of
// copies drawn as one box is kept or left out whole, and the copies of a mesh are batched as the whole
// pass batches them, so every texel drawn is drawn by the triangles the whole pass would draw there.
// The bound it is held to: no pixel differs from the frame with every depth pass drawn whole (the
// tests glide dice past towers in every render mode, and play a sequence of moves, additions and
// attacks). What could in principle differ outside the rectangle: where copies resting on one another
// are drawn as one box per column, a column that a moved die left or joined is drawn by other
// triangles along the same faces, whose depths could round a last bit apart; no test has seen it move a
// pixel.
#include <optional>
#include <vector>

#include "engine/math/BoundingBox.h"
#include "engine/scene/LightSource.h"

namespace libkub {

class DepthPassRecord;
struct Matrix4f;

// The texels of a depth texture of edge `size` that a pass must draw again to go from the held pass to
// the pending one, given each pass's caster boxes in drawing order: the rectangle around every object
// whose entry differs (its box in both passes), or nothing when the whole texture must be drawn (the
// records differ in more than placed objects, a box cannot be projected, or the rectangle is the whole
// texture). An empty rectangle when nothing differs.
std::optional<TexelRect> texelsToRedraw(const DepthPassRecord& held,
                                        const std::vector<BoundingBox>& heldBoxes,
                                        const DepthPassRecord& pending,
                                        const std::vector<BoundingBox>& pendingBoxes,
                                        const Matrix4f& lightProjection, const Matrix4f& lightView, int size);

// Whether a caster with this box can draw into `texels` of a depth texture of edge `size` through the
// light's matrices: false only when its projection (with a texel to spare on each side) lies wholly
// outside them; true whenever part of the box lies at or behind the light.
bool casterReachesTexels(const BoundingBox& box, const TexelRect& texels, const Matrix4f& lightProjection,
                         const Matrix4f& lightView, int size);

} // namespace libkub
