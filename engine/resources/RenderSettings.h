#pragma once
// The process-wide drawing switches: render mode, overlay, frustum culling and wireframe.
#include <cstdint>

namespace libkub {

enum RenderMode : std::int32_t {
    VBO = 0,
    Immediate = 1,
    DisplayList = 2,
};

class RenderSettings {
  public:
    // The one settings object, created with the defaults on first use.
    static RenderSettings& instance();

    // Prints "changed RenderMode to: <mode>" and stores the mode, also when it is unchanged.
    void setRenderMode(RenderMode mode);

    RenderMode renderMode = VBO;
    bool showOverlay = true;
    bool frustumCulling = false;
    bool wireframe = false;
};

} // namespace libkub
