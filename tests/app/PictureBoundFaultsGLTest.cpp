// Faults planted in a drawn frame: the game's frame with every shortcut, changed as a broken shortcut
// would change it, fails the picture bound against the exact frame, although each fault takes only a
// few pixels of a die; the frame as drawn passes.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/scene/Camera.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "game/Die.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/PictureBound.h"
#include "tests/support/QuarterBoard.h"

namespace {

using kubora::test::Frame;
using kubora::test::PictureBound;

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

int difference(const Frame& a, const Frame& b, std::size_t pixel)
{
    int largest = 0;
    for (int c = 0; c < 3; ++c) {
        largest = std::max(largest, std::abs(int{a.rgb[pixel * 3 + c]} - int{b.rgb[pixel * 3 + c]}));
    }
    return largest;
}

void shift(Frame& frame, std::size_t pixel, int levels)
{
    for (int c = 0; c < 3; ++c) {
        std::uint8_t& channel = frame.rgb[pixel * 3 + c];
        channel = static_cast<std::uint8_t>(channel > 127 ? channel - levels : channel + levels);
    }
}

TEST(PictureBoundFaults, EachFaultPlantedInADrawnFrameFailsTheBound)
{
    kubora::test::AssembledApplication application;
    Kubora::onReshape(width, height);
    libkub::SceneRenderer& renderer = *application->renderer;
    renderer.hudElements.clear();
    kubora::test::giveEachPlayerAQuarter(*application, 2);
    libkub::SpotLightSource& spot = *application->spotLight;
    const libkub::Vector3f over = application->board->tileAt(3, 4)->model()->mesh.translation;
    spot.position = {over.x, spot.position.g, over.z, 1.0f};
    spot.direction = {0.0f, -1.0f, 0.0f};
    // Close over that tile: its dice's faces are then many pixels wide.
    application->camera->placeAt({over.x + 2.0f, over.y + 3.5f, over.z - 3.0f},
                                 {over.x, over.y + 0.5f, over.z});

    // The dice are what the faults hit and what the comparison is about.
    kubora::test::ObjectNumbers dice;
    for (libkub::DrawableObject* object : renderer.objects) {
        if (dynamic_cast<Kubora::Die*>(object) != nullptr) {
            dice.push_back(libkub::edgeMapNumber(renderer, object));
        }
    }
    ASSERT_FALSE(dice.empty());

    const kubora::test::ExactFrame exact = kubora::test::drawExactFrame(renderer, width, height);
    renderer.render();
    renderer.render();
    const Frame frame = kubora::test::readFrame(width, height);
    ASSERT_TRUE(kubora::test::withinBound(exact, frame, PictureBound::shortcuts, "faults-none.png", dice));

    // The same frame without the spot light's share.
    const libkub::Color4f diffuse = spot.diffuse;
    const libkub::Color4f specular = spot.specular;
    spot.diffuse = {0.0f, 0.0f, 0.0f, 1.0f};
    spot.specular = {0.0f, 0.0f, 0.0f, 1.0f};
    renderer.render();
    const Frame spotless = kubora::test::readFrame(width, height);
    spot.diffuse = diffuse;
    spot.specular = specular;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Pixels inside a die's face: a die drew them and no edge pixel lies within two pixels.
    const libkub::EdgeMap& edges = exact.edges;
    const auto insideDieFace = [&](int x, int y) {
        if (x < 2 || y < 2 || x >= width - 2 || y >= height - 2) {
            return false;
        }
        const std::uint16_t number = edges.objects[static_cast<std::size_t>(y) * width + x];
        if (std::find(dice.begin(), dice.end(), number) == dice.end()) {
            return false;
        }
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                if (edges.edgeAt(static_cast<std::size_t>(y + dy) * width + x + dx)) {
                    return false;
                }
            }
        }
        return true;
    };
    std::vector<std::size_t> face; // every such pixel
    std::size_t spotLitBlock = 0;  // the top left of 2 x 2 such pixels the spot light changes
    bool foundBlock = false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!insideDieFace(x, y)) {
                continue;
            }
            const std::size_t pixel = static_cast<std::size_t>(y) * width + x;
            face.push_back(pixel);
            const auto lit = [&](std::size_t p) { return difference(frame, spotless, p) > 1; };
            if (!foundBlock && insideDieFace(x + 1, y + 1) && lit(pixel) && lit(pixel + 1) &&
                lit(pixel + width) && lit(pixel + width + 1)) {
                spotLitBlock = pixel;
                foundBlock = true;
            }
        }
    }
    ASSERT_GT(face.size(), 100u);
    ASSERT_TRUE(foundBlock) << "no die face inside the spot light's pool";
    // The die that shows the most of its faces.
    std::uint16_t oneDie = 0;
    std::size_t mostShown = 0;
    for (const std::uint16_t number : dice) {
        const auto shown = static_cast<std::size_t>(std::count_if(
            face.begin(), face.end(), [&](std::size_t pixel) { return edges.objects[pixel] == number; }));
        if (shown > mostShown) {
            oneDie = number;
            mostShown = shown;
        }
    }

    struct Fault {
        const char* name;
        std::function<void(Frame&)> plant;
    };
    const Fault faults[] = {
        {"a lone pixel 30 levels off in a flat face", [&](Frame& f) { shift(f, face[face.size() / 2], 30); }},
        {"a 1-pixel checkerboard over a face",
         [&](Frame& f) {
             for (const std::size_t pixel : face) {
                 const std::size_t x = pixel % width;
                 const std::size_t y = pixel / width;
                 if (edges.objects[pixel] == oneDie && (x + y) % 2 == 0) {
                     shift(f, pixel, 3);
                 }
             }
         }},
        {"a uniform shift of 2 levels",
         [&](Frame& f) {
             for (std::size_t pixel = 0; pixel < f.rgb.size() / 3; ++pixel) {
                 shift(f, pixel, 2);
             }
         }},
        {"a die face that lost its spot light at 2 x 2 pixels",
         [&](Frame& f) {
             for (const std::size_t pixel :
                  {spotLitBlock, spotLitBlock + 1, spotLitBlock + width, spotLitBlock + width + 1}) {
                 std::copy_n(&spotless.rgb[pixel * 3], 3, &f.rgb[pixel * 3]);
             }
         }},
    };
    for (const Fault& fault : faults) {
        Frame planted = frame;
        fault.plant(planted);
        const kubora::test::PictureComparison comparison =
            kubora::test::compareWithExact(exact, planted, PictureBound::shortcuts, dice);
        EXPECT_FALSE(comparison.within) << fault.name << ": " << comparison;
        EXPECT_GT(comparison.offEdges, 0u) << fault.name;
    }
}

} // namespace
