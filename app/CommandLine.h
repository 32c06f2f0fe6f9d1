#pragma once
// The command line: which display to open (a window or GLUT's full-screen game mode), its size, and
// the optional render-mode word. Parsing needs no window, so it can be checked on its own.
#include <optional>
#include <string>
#include <vector>

#include "engine/resources/RenderSettings.h"

namespace Kubora {

enum class DisplayForm { Window, FullScreen };

struct LaunchOptions {
    DisplayForm form = DisplayForm::Window;
    // Kept as typed: the game-mode string is built from the texts, the window size converted from them.
    std::string widthText = "640";
    std::string heightText = "480";
    std::string bitsText;
    std::string rateText;
    std::optional<libkub::RenderMode> renderMode; // set only when a mode word was given

    // width "x" height ":" bits "@" rate, for example "1024x768:32@60".
    std::string gameModeString() const;
};

inline constexpr int defaultWindowWidth = 640;
inline constexpr int defaultWindowHeight = 480;
inline constexpr int windowX = 100;
inline constexpr int windowY = 100;
inline constexpr const char* windowTitle = "Kubora";

// Chooses the form by the number of arguments (those after the program name that GLUT left):
// 2 width height, 3 + mode, 4 width height bits rate (full screen), 5 + mode; any other number gives
// the default window and ignores them all.
LaunchOptions parseCommandLine(const std::vector<std::string>& arguments);

// "ImmediateMode" and "DisplayList" exactly; any other word selects vertex buffers.
libkub::RenderMode renderModeFromWord(const std::string& word);

// The decimal number at the start of a window width or height text. A text that does not start with
// one, or whose number is not a usable window size, gives one line on standard error and the fallback.
int windowDimension(const std::string& text, int fallback, const std::string& what);

} // namespace Kubora
