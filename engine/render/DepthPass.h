#pragma once
// A light's depth pass, drawn by the frame: the light holds its depth texture, its view and the record
// of what the texture holds; the renderer knows the objects and how to draw them.

namespace libkub {

class LightSource;
class SceneRenderer;

// Renders the depth of the renderer's objects that the light can see into the light's depth texture,
// unless the texture already holds exactly that (an equal DepthPassRecord: the same texture, light
// matrices, switches, and casters with the same recordings and placement) and the renderer reuses
// depth textures. Returns whether it drew. Leaves the framebuffer and viewport bound that it found
// bound: the window's, or an off-screen frame's of any size.
bool drawDepthPass(SceneRenderer& renderer, LightSource& light);

} // namespace libkub
