#pragma once
// kubora-view's command line: the model, the render mode, a picture to write instead of a window, its
// size, whether every shortcut of the frame is off, and where the exact frame's edge map goes.
#include <string>

#include "engine/resources/RenderSettings.h"

namespace KuboraView {

struct ViewerOptions {
    std::string modelPath;
    libkub::RenderMode mode = libkub::VBO;
    std::string outPath; // empty: a window
    int width = 640;
    int height = 480;
    bool exact = false;
    std::string edgeMapPath; // empty: no edge map; needs --out
};

// Fills the options; false after one line naming the argument that cannot be used.
bool parseViewerOptions(int argc, char** argv, ViewerOptions& options);

// The usage line, on standard error.
void printViewerUsage();

} // namespace KuboraView
