#include "engine/resources/RenderSettings.h"

#include <cstdio>

namespace libkub {

RenderSettings& RenderSettings::instance()
{
    static RenderSettings settings;
    return settings;
}

void RenderSettings::setRenderMode(RenderMode mode)
{
    std::printf("changed RenderMode to: %d\n", static_cast<int>(mode));
    std::fflush(stdout);
    renderMode = mode;
}

} // namespace libkub
