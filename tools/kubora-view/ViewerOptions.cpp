#include "tools/kubora-view/ViewerOptions.h"

#include <cstdio>

#include "engine/resources/Diagnostics.h"

namespace KuboraView {

namespace {

// The largest side of a window or picture: what every GL implementation the game runs on can allocate.
constexpr int largestSide = 8192;

bool parseSize(const std::string& text, int& width, int& height)
{
    int w = 0;
    int h = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &rest) != 2 || w < 1 || h < 1 || w > largestSide ||
        h > largestSide) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

bool parseMode(const std::string& value, libkub::RenderMode& mode)
{
    if (value == "VBO") {
        mode = libkub::VBO;
    } else if (value == "ImmediateMode") {
        mode = libkub::Immediate;
    } else if (value == "DisplayList") {
        mode = libkub::DisplayList;
    } else {
        return false;
    }
    return true;
}

// One option that takes a value; false after the line naming what is wrong with it.
bool parseValue(const std::string& option, const std::string& value, ViewerOptions& options)
{
    if (option == "--mode" && !parseMode(value, options.mode)) {
        libkub::reportProblem("--mode " + value, "unknown render mode (VBO, ImmediateMode or DisplayList)");
        return false;
    }
    if (option == "--out") {
        options.outPath = value;
    }
    if (option == "--edge-map") {
        options.edgeMapPath = value;
    }
    if (option == "--size" && !parseSize(value, options.width, options.height)) {
        libkub::reportProblem("--size " + value, "not a size like 640x480 (1 to 8192 pixels a side)");
        return false;
    }
    return true;
}

} // namespace

void printViewerUsage()
{
    std::fprintf(stderr,
                 "usage: kubora-view MODEL.dae [--mode VBO|ImmediateMode|DisplayList] [--out FILE.png] "
                 "[--size WxH] [--exact] [--edge-map FILE.png]\n");
}

bool parseViewerOptions(int argc, char** argv, ViewerOptions& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--mode" || argument == "--out" || argument == "--size" || argument == "--edge-map") {
            if (i + 1 >= argc) {
                libkub::reportProblem(argument, "needs a value");
                return false;
            }
            if (!parseValue(argument, argv[++i], options)) {
                return false;
            }
        } else if (argument == "--exact") {
            options.exact = true;
        } else if (!argument.empty() && argument[0] == '-') {
            libkub::reportProblem(argument, "unknown option");
            return false;
        } else if (options.modelPath.empty()) {
            options.modelPath = argument;
        } else {
            libkub::reportProblem(argument, "only one model can be viewed at a time");
            return false;
        }
    }
    if (options.modelPath.empty()) {
        libkub::reportProblem("kubora-view", "no model file given");
        return false;
    }
    if (!options.edgeMapPath.empty() && options.outPath.empty()) {
        libkub::reportProblem("--edge-map " + options.edgeMapPath,
                              "needs --out: the map is of the written frame");
        return false;
    }
    return true;
}

} // namespace KuboraView
