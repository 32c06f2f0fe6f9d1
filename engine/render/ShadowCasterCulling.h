#pragma once
// The depth passes' caster culling: a depth pass draws only the objects that can reach the light's
// depth texture. An object is left out only when the box it draws in lies wholly outside one side of the
// light's frustum (its four sides; the near and far planes are the depth range's, which depth clamping
// keeps). Whatever is left out would have drawn no fragment into the texture, so the texture, and with
// it every pixel of the frame, is the same as with every object drawn: the bound it keeps is "no pixel
// differs". An object that draws more than its model has no box to test and is always drawn.
#include <vector>

namespace libkub {

class DrawableObject;
class Frustum;

// The objects, in list order, that a depth pass through lightView draws: with culling, those not
// wholly outside its sides; without, all of them.
void collectShadowCasters(const std::vector<DrawableObject*>& objects, const Frustum& lightView, bool culling,
                          std::vector<DrawableObject*>& casters);

} // namespace libkub
