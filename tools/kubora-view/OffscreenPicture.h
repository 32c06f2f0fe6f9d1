#pragma once
// kubora-view --out: frames drawn into a framebuffer object of the picture's size (any size, whatever
// the window's), the last one written as a PNG, and with --edge-map the exact frame's edge map beside it.
#include <string>

namespace KuboraView {

class ModelStage;

// Draws the stage twice, so that the written frame is one whose depth textures the renderer could
// keep from the frame before (as in every later frame of the window), and writes it to the path; with
// an edge-map path, then draws the edge map of the stage's exact frame and writes it there. Returns
// the exit status: 0, or 1 after one line naming what failed.
int writePicture(ModelStage& stage, int width, int height, const std::string& path,
                 const std::string& edgeMapPath = "");

} // namespace KuboraView
