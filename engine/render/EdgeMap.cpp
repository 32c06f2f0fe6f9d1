#include "engine/render/EdgeMap.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "engine/scene/DrawableObject.h"
#include "engine/render/InstancedBatches.h"
#include "engine/resources/OffscreenFrame.h"
#include "engine/image/PngLoader.h"
#include "engine/image/PngWriter.h"
#include "engine/render/SceneRenderer.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/ShaderVariant.h"

namespace libkub {

namespace {

// The shadow program's fragment stage built with EDGE_MAP, on the shadow program's own vertex stage
// (so every fragment lands where the exact frame's does), its samplers on the exact frame's units.
// Deleted with it.
class EdgeProgram {
  public:
    explicit EdgeProgram(const ShaderProgram& shadow)
    {
        if (!shadow.linked || !shadow.fragmentShader) {
            return;
        }
        id = linkFragmentVariant(shadow, shadow.fragmentShader->file, "EDGE_MAP");
        if (id == 0) {
            return;
        }
        glUseProgram(id);
        const char* samplers[] = {"colourMap", "shadowMap0", "shadowMap1"};
        for (int unit = 0; unit < 3; ++unit) {
            const GLint location = glGetUniformLocation(id, samplers[unit]);
            if (location >= 0) {
                glUniform1i(location, unit);
            }
        }
        objectNumber = glGetUniformLocation(id, "objectNumber");
        glUseProgram(0);
    }
    ~EdgeProgram() { glDeleteProgram(id); }
    EdgeProgram(const EdgeProgram&) = delete;
    EdgeProgram& operator=(const EdgeProgram&) = delete;

    GLuint id = 0;
    GLint objectNumber = -1;
};

std::uint32_t keyAt(const std::vector<std::uint8_t>& keys, std::size_t pixel)
{
    std::uint32_t key = 0;
    std::memcpy(&key, &keys[pixel * 4], 4);
    return key;
}

} // namespace

bool EdgeMap::touches(std::size_t pixel, std::uint16_t number) const
{
    const int x = static_cast<int>(pixel % static_cast<std::size_t>(width));
    const int y = static_cast<int>(pixel / static_cast<std::size_t>(width));
    for (int ny = std::max(0, y - 1); ny <= std::min(height - 1, y + 1); ++ny) {
        for (int nx = std::max(0, x - 1); nx <= std::min(width - 1, x + 1); ++nx) {
            if (objects[static_cast<std::size_t>(ny) * width + nx] == number) {
                return true;
            }
        }
    }
    return false;
}

EdgeMap edgeMapFromKeys(int width, int height, const std::vector<std::uint8_t>& keys)
{
    EdgeMap map;
    map.width = width;
    map.height = height;
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    map.objects.resize(pixels);
    map.edges.assign(pixels, 0);
    for (std::size_t pixel = 0; pixel < pixels; ++pixel) {
        map.objects[pixel] = static_cast<std::uint16_t>(keys[pixel * 4] << 8 | keys[pixel * 4 + 1]);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t pixel = static_cast<std::size_t>(y) * width + x;
            const std::uint32_t key = keyAt(keys, pixel);
            bool edge = false;
            for (int ny = std::max(0, y - 1); ny <= std::min(height - 1, y + 1) && !edge; ++ny) {
                for (int nx = std::max(0, x - 1); nx <= std::min(width - 1, x + 1) && !edge; ++nx) {
                    edge = keyAt(keys, static_cast<std::size_t>(ny) * width + nx) != key;
                }
            }
            map.edges[pixel] = edge ? 1 : 0;
        }
    }
    return map;
}

std::uint16_t edgeMapNumber(const SceneRenderer& renderer, const DrawableObject* object)
{
    const auto found = std::find(renderer.objects.begin(), renderer.objects.end(), object);
    return found == renderer.objects.end()
               ? 0
               : static_cast<std::uint16_t>(1 + (found - renderer.objects.begin()));
}

EdgeMap drawEdgeMap(SceneRenderer& renderer, int width, int height, unsigned depthFormat)
{
    if (!renderer.shadowProgram) {
        return {};
    }
    const EdgeProgram program(*renderer.shadowProgram);
    if (program.id == 0) {
        return {};
    }
    std::unordered_map<const DrawableObject*, float> numbers;
    for (std::size_t i = 0; i < renderer.objects.size(); ++i) {
        numbers.emplace(renderer.objects[i], static_cast<float>(std::min<std::size_t>(i + 1, 0xffff)));
    }
    SceneRenderer::ExactFrameProbe probe;
    probe.program = program.id;
    probe.beforeObject = [&](const DrawableObject& object) {
        glUniform1f(program.objectNumber, numbers.at(&object));
        // A plain draw: the vertex stage reads the instance place's w as 1.
        glVertexAttrib4f(instancePlaceLocation, 0.0f, 0.0f, 0.0f, 1.0f);
    };
    GLfloat clearColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    const FramePlan wasPlan = renderer.plan;
    std::vector<std::uint8_t> keys;
    {
        const OffscreenFrame target(width, height, depthFormat);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        renderer.plan = FramePlan::exact();
        renderer.probe = &probe;
        renderer.render();
        renderer.probe = nullptr;
        renderer.plan = wasPlan;
        keys = readRgba(width, height);
    }
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    return edgeMapFromKeys(width, height, keys);
}

bool writeEdgeMap(const std::string& path, const EdgeMap& map, std::string* reason)
{
    std::vector<std::uint8_t> topDown(map.objects.size() * 3);
    for (std::size_t pixel = 0; pixel < map.objects.size(); ++pixel) {
        topDown[pixel * 3] = static_cast<std::uint8_t>(map.objects[pixel] >> 8);
        topDown[pixel * 3 + 1] = static_cast<std::uint8_t>(map.objects[pixel] & 0xff);
        topDown[pixel * 3 + 2] = map.edges[pixel] != 0 ? 255 : 0;
    }
    const std::vector<std::uint8_t> bottomUp = flipRows(topDown, map.width, map.height, 3);
    return writePng(path, map.width, map.height, bottomUp.data(), reason);
}

bool readEdgeMap(const std::string& path, EdgeMap& map, std::string* reason)
{
    PngImage image;
    if (loadPng(path, image, reason) != PngLoaded) {
        return false;
    }
    map.width = image.width;
    map.height = image.height;
    const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;
    map.objects.resize(pixels);
    map.edges.resize(pixels);
    // The loader gives the bottom row first.
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* rgb =
                image.pixels.get() + (static_cast<std::size_t>(image.height - 1 - y) * image.width + x) * 3;
            const std::size_t pixel = static_cast<std::size_t>(y) * image.width + x;
            map.objects[pixel] = static_cast<std::uint16_t>(rgb[0] << 8 | rgb[1]);
            map.edges[pixel] = rgb[2] != 0 ? 1 : 0;
        }
    }
    return true;
}

} // namespace libkub
