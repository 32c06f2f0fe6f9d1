#include "bench/LeastInvocations.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "engine/render/EdgeMap.h"
#include "engine/render/SceneRenderer.h"
#include "engine/resources/Model.h"
#include "engine/scene/DrawableObject.h"

namespace kubora::bench {

namespace {

constexpr int blockEdge = 4;
constexpr std::uint64_t invocationsPerBlock = blockEdge * blockEdge;
// The status band covers the top 15 % of the window (hud/StatusBar.cpp: y 0 to -1.5 of the HUD's 10).
constexpr double bandShare = 0.15;

// Per edge-map number, the surface it belongs to: 0 the sky, else one number shared by the copies of
// a model with one texture that stand at one place on the board.
std::vector<std::uint32_t> surfaceOfObject(const libkub::SceneRenderer& renderer)
{
    using Place = std::tuple<unsigned, long, long>; // texture, x and z in thousandths
    std::map<Place, std::uint32_t> places;
    std::vector<std::uint32_t> surfaces(renderer.objects.size() + 1, 0);
    for (std::size_t i = 0; i < renderer.objects.size(); ++i) {
        libkub::Model* model = renderer.objects[i]->model();
        if (model == nullptr) {
            surfaces[i + 1] = static_cast<std::uint32_t>(renderer.objects.size() + 1 + i);
            continue;
        }
        const libkub::BoundingBox box = model->drawnBounds();
        const Place place{model->textures.empty() ? 0u : model->textures.front(),
                          std::lround((box.min.x + box.max.x) * 500.0f),
                          std::lround((box.min.z + box.max.z) * 500.0f)};
        surfaces[i + 1] = places.emplace(place, static_cast<std::uint32_t>(places.size() + 1)).first->second;
    }
    return surfaces;
}

} // namespace

LeastInvocations leastInvocations(libkub::SceneRenderer& renderer, int width, int height)
{
    const libkub::EdgeMap map = libkub::drawEdgeMap(renderer, width, height);
    LeastInvocations least;
    if (map.empty()) {
        return least;
    }
    const std::vector<std::uint32_t> surfaces = surfaceOfObject(renderer);
    std::vector<std::uint32_t> inBlock;
    for (int top = 0; top < height; top += blockEdge) {
        for (int left = 0; left < width; left += blockEdge) {
            inBlock.clear();
            for (int y = top; y < std::min(top + blockEdge, height); ++y) {
                for (int x = left; x < std::min(left + blockEdge, width); ++x) {
                    const std::uint32_t surface =
                        surfaces[map.objects[static_cast<std::size_t>(y) * width + x]];
                    if (std::find(inBlock.begin(), inBlock.end(), surface) == inBlock.end()) {
                        inBlock.push_back(surface);
                    }
                }
            }
            least.scene += inBlock.size() * invocationsPerBlock;
        }
    }
    // Pixel rows whose centres lie in the band, counted in whole blocks.
    const int bandRows = static_cast<int>(std::ceil(bandShare * height - 0.5));
    const int bandBlockRows = (bandRows + blockEdge - 1) / blockEdge;
    const int blockColumns = (width + blockEdge - 1) / blockEdge;
    least.band = static_cast<std::uint64_t>(bandBlockRows) * blockColumns * invocationsPerBlock;
    return least;
}

} // namespace kubora::bench
