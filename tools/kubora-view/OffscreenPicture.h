#pragma once
// kubora-view --out: frames drawn into a framebuffer object of the picture's size (any size, whatever
// the window's), the last one written as a PNG.
#include <string>

namespace KuboraView {

class ModelStage;

// Draws the stage twice, so that the written frame is one whose depth textures the renderer could
// keep from the frame before (as in every later frame of the window), and writes it to the path.
// Returns the exit status: 0, or 1 after one line naming what failed.
int writePicture(ModelStage& stage, int width, int height, const std::string& path);

} // namespace KuboraView
