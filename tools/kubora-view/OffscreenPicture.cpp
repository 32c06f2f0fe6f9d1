#include "tools/kubora-view/OffscreenPicture.h"

#include <cstdint>
#include <vector>

#include "engine/resources/Diagnostics.h"
#include "engine/render/EdgeMap.h"
#include "engine/resources/OffscreenFrame.h"
#include "engine/image/PngWriter.h"
#include "tools/kubora-view/ModelStage.h"

namespace KuboraView {

int writePicture(ModelStage& stage, int width, int height, const std::string& path,
                 const std::string& edgeMapPath)
{
    std::vector<std::uint8_t> pixels;
    libkub::EdgeMap edges;
    {
        const libkub::OffscreenFrame target(width, height);
        if (!target.complete()) {
            libkub::reportProblem("--size " + std::to_string(width) + "x" + std::to_string(height),
                                  "no off-screen frame of this size can be made");
            return 1;
        }
        stage.draw();
        stage.draw();
        pixels = target.pixels();
        if (!edgeMapPath.empty()) {
            edges = stage.edgeMap(width, height);
        }
    }
    std::string reason;
    if (!libkub::writePng(path, width, height, pixels.data(), &reason)) {
        libkub::reportProblem(path, reason);
        return 1;
    }
    if (edgeMapPath.empty()) {
        return 0;
    }
    if (edges.empty()) {
        libkub::reportProblem("--edge-map " + edgeMapPath,
                              "no edge map: the plain look has no shadow program to draw it with");
        return 1;
    }
    if (!libkub::writeEdgeMap(edgeMapPath, edges, &reason)) {
        libkub::reportProblem(edgeMapPath, reason);
        return 1;
    }
    return 0;
}

} // namespace KuboraView
