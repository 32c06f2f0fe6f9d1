#pragma once
// The four debug lines in the lower left: polygon mode, frustum culling, render mode and frame rate,
// each with the function key that changes it.
#include <array>
#include <cstdint>
#include <string>

namespace libkub {
class RenderSettings;
}

namespace Kubora {

struct OverlayLine {
    float y = 0.0f;   // HUD units; every line starts at x = 0.5
    std::string text; // exactly as drawn
};

// The frame rate as shown: truncated toward zero; values beyond the integer range are held at its
// ends and a value that is not a number shows 0.
std::int32_t shownFrameRate(float framesPerSecond);

// The lines for these settings and this frame rate, top to bottom.
std::array<OverlayLine, 4> overlayLines(const libkub::RenderSettings& settings, float framesPerSecond);

// Draws the lines inside the HUD projection when the settings' showOverlay is set.
void drawOverlayLines(const libkub::RenderSettings& settings, float framesPerSecond);

} // namespace Kubora
