#pragma once
// The one projection all HUD drawing uses: x 0 to 10 left to right, y 0 to -10 top to bottom,
// whatever the window size.
namespace Kubora {

// Pushes the projection stack, loads the orthographic HUD projection and leaves the modelview
// stack selected (not pushed). The caller pops the projection when done.
void beginHudProjection();

} // namespace Kubora
