#pragma once
// kubora-view's command line: the model, the render mode, a picture to write instead of a window, its
// size, and whether every shortcut of the frame is off.
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
};

// Fills the options; false after one line naming the argument that cannot be used.
bool parseViewerOptions(int argc, char** argv, ViewerOptions& options);

// The usage line, on standard error.
void printViewerUsage();

} // namespace KuboraView
