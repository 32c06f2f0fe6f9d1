#pragma once
// The renderer's floor: one quad covering the whole window, shaded through the game's shadow program
// with the game's two lights and their depth textures, and nothing else drawn. No frame of the game
// can cost less than shading every pixel of its window once, so the frame's figures read best as a
// ratio to this one, measured beside them.

namespace Kubora {
class Application;
} // namespace Kubora

namespace kubora::bench {

// One floor frame on the current window, without the swap: clears colour and depth as the frame does,
// then draws the quad. Needs the application assembled and one game frame drawn since, so that the
// lights' GL state, their shadow texture matrices and depth textures are the frame's.
void drawShadingFloor(Kubora::Application& application);

} // namespace kubora::bench
