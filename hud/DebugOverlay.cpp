#include "hud/DebugOverlay.h"

#include <cmath>
#include <limits>

#include "engine/resources/RenderSettings.h"
#include "hud/HudText.h"

namespace Kubora {

namespace {

constexpr float lineX = 0.5f;

std::string renderModeText(libkub::RenderMode mode)
{
    switch (mode) {
    case libkub::VBO:
        return "VBO (Befehlsargument)";
    case libkub::Immediate:
        return "Immediate (F7)";
    case libkub::DisplayList:
        return "DisplayList (F7)";
    }
    return "";
}

} // namespace

std::int32_t shownFrameRate(float framesPerSecond)
{
    // A frame measured as taking no time gives an infinite rate; converting that to an integer
    // would be undefined, so the figure is held at the ends of the range.
    if (std::isnan(framesPerSecond)) {
        return 0;
    }
    if (framesPerSecond >= 2147483648.0f) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (framesPerSecond < -2147483648.0f) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(framesPerSecond);
}

std::array<OverlayLine, 4> overlayLines(const libkub::RenderSettings& settings, float framesPerSecond)
{
    return {{
        {-8.0f, formatTextPair("Polygon Mode", settings.wireframe ? "Wireframe (F3)" : "Fill (F3)")},
        {-8.5f,
         formatTextPair("Frustum Culling:", settings.frustumCulling ? "activated (F8)" : "deactivated (F8)")},
        {-9.0f, formatTextPair("Render Mode:", renderModeText(settings.renderMode))},
        {-9.5f, formatTextNumber("FPS:", shownFrameRate(framesPerSecond))},
    }};
}

void drawOverlayLines(const libkub::RenderSettings& settings, float framesPerSecond)
{
    if (!settings.showOverlay) {
        return;
    }
    for (const OverlayLine& line : overlayLines(settings, framesPerSecond)) {
        drawText(line.text, lineX, line.y);
    }
}

} // namespace Kubora
