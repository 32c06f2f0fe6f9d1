#pragma once
// The edge map of the exact frame (SceneRenderer::exact): per pixel, the object that drew it and
// whether the pixel lies on an edge of the picture. The exact frame is drawn a second time with the
// shadow program built with EDGE_MAP defined, which writes for every pixel a key of what sets its
// surface apart: the object's number, the direction its surface faces (quantised to about 11 degrees,
// so that any two faces of a box differ) and, for each of the first two lights, whether the light
// reaches it, does not, or reaches it in part (a filtered shadow border). A pixel is an edge pixel
// when its 3 x 3 neighbourhood (cut off at the frame's sides) holds more than one key: a silhouette, a
// crease, a contact line, a shadow's or the spot cone's border, or the terminator of a curved surface.
// Tests hold the frame's shortcuts to the exact frame with it (tests/support/PictureBound.h), and
// kubora-view writes it beside its picture.
#include <cstdint>
#include <string>
#include <vector>

namespace libkub {

class DrawableObject;
class SceneRenderer;

struct EdgeMap {
    int width = 0;
    int height = 0;
    // Per pixel, top row first: the number of the object that drew it, 0 for the backdrop (the sky or
    // the cleared colour) and 1 + i for the renderer's objects[i].
    std::vector<std::uint16_t> objects;
    // Per pixel, top row first: 1 on an edge pixel, else 0.
    std::vector<std::uint8_t> edges;

    bool empty() const { return objects.empty(); }
    bool edgeAt(std::size_t pixel) const { return edges[pixel] != 0; }
    // Whether the pixel's 3 x 3 neighbourhood holds a pixel of the object numbered `number`.
    bool touches(std::size_t pixel, std::uint16_t number) const;
};

// The map of width x height keys (four bytes a pixel, top row first): the object number from the
// first two bytes (high byte first), and the edges where the keys of a neighbourhood differ.
EdgeMap edgeMapFromKeys(int width, int height, const std::vector<std::uint8_t>& keys);

// Draws the renderer's exact frame's keys into a frame of its own of the given size and depth format
// (GL_DEPTH_COMPONENT24 unless given; it decides depth ties as the frame compared must) and returns
// the map. The renderer's `exact` and the bound framebuffer, viewport and clear colour are as before
// afterwards. An empty map when the shadow program did not link or the variant does not build.
EdgeMap drawEdgeMap(SceneRenderer& renderer, int width, int height, unsigned depthFormat = 0x81A6);

// The number an object has in maps drawn from this renderer: 1 + its place in `objects`, 0 when it
// is not there.
std::uint16_t edgeMapNumber(const SceneRenderer& renderer, const DrawableObject* object);

// The map as a PNG: red and green hold the object number (high byte in red), blue is 255 on edge
// pixels and 0 elsewhere. False, with the reason, when it cannot be written.
bool writeEdgeMap(const std::string& path, const EdgeMap& map, std::string* reason = nullptr);
// The map written by writeEdgeMap; false, with the reason, when it cannot be read.
bool readEdgeMap(const std::string& path, EdgeMap& map, std::string* reason = nullptr);

} // namespace libkub
