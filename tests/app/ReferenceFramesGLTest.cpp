// The assembled game's 3D frame (sky, shadows, board, tiles, dice, duck; HUD left out) for fixed scenes
// in each render mode, compared pixel by pixel with reference pictures in tests/fixtures/frames/.
// Run with KUBORA_WRITE_FRAMES=1 to write the references instead of comparing (only after checking
// that the picture is meant to change). On a mismatch the frame is written to the build folder.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/resources/RenderSettings.h"
#include "engine/scene/Camera.h"
#include "engine/image/PngLoader.h"
#include "engine/render/EdgeMap.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "game/Game.h"
#include "game/Player.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/QuarterBoard.h"
#include "tests/support/ReferencePicture.h"

namespace {

using libkub::RenderMode;

struct FrameScene {
    const char* name;
    std::function<void(Kubora::Application&)> build;
};

// Each player holds the quarter of the board around its corner, with the same number of dice per tile.
void quarters(Kubora::Application& application, std::size_t dicePerTile)
{
    kubora::test::giveEachPlayerAQuarter(application, dicePerTile);
    // The spot light hangs over the middle of the board, as when the pointer rests there.
    application.spotLight->position = {9.0f, 6.0f, 9.0f, 1.0f};
    application.spotLight->direction = {0.0f, -1.0f, 0.0f};
}

const FrameScene scenes[] = {
    {"start", [](Kubora::Application&) {}},
    {"full-board", [](Kubora::Application& application) { quarters(application, 6); }},
    {"tall-stacks",
     [](Kubora::Application& application) {
         quarters(application, 94); // 6,016 dice
         application.camera->placeAt({-14.0f, 30.0f, -14.0f}, {10.0f, 8.0f, 10.0f});
     }},
    {"wireframe",
     [](Kubora::Application& application) {
         quarters(application, 6);
         libkub::RenderSettings::instance().wireframe = true;
     }},
    // The camera close over the near half of the board: most tiles, dice and the duck lie outside the
    // view, and the board's rim runs along the bottom edge. Captured after culling was taught to keep
    // what is on screen and shadows cast from outside the view.
    {"culling",
     [](Kubora::Application& application) {
         quarters(application, 6);
         application.camera->placeAt({4.0f, 5.0f, -3.0f}, {8.0f, -1.0f, 6.0f});
         libkub::RenderSettings::instance().frustumCulling = true;
     }},
};

const char* modeName(RenderMode mode)
{
    switch (mode) {
    case libkub::VBO:
        return "vbo";
    case libkub::Immediate:
        return "immediate";
    default:
        return "displaylist";
    }
}

// The window's back buffer after one frame.
kubora::test::Frame renderFrame(libkub::SceneRenderer& renderer, int width, int height)
{
    renderer.render();
    return kubora::test::readFrame(width, height);
}

class ReferenceFrames : public testing::TestWithParam<std::tuple<int, RenderMode>> {
  protected:
    void TearDown() override
    {
        auto& settings = libkub::RenderSettings::instance();
        settings.renderMode = libkub::VBO;
        settings.wireframe = false;
        settings.frustumCulling = false;
    }
};

TEST_P(ReferenceFrames, MatchThePictureOfTheScene)
{
    const FrameScene& scene = scenes[std::get<0>(GetParam())];
    const RenderMode mode = std::get<1>(GetParam());
    const int width = kubora::test::glTestWindowWidth;
    const int height = kubora::test::glTestWindowHeight;
    const std::string file = std::string(scene.name) + "-" + modeName(mode) + ".png";
    const std::string reference = KUBORA_SOURCE_DIR "/tests/fixtures/frames/" + file;

    libkub::RenderSettings::instance().renderMode = mode; // read while the models load
    kubora::test::AssembledApplication application;
    Kubora::onReshape(width, height);
    application->renderer->hudElements.clear(); // the HUD is not part of these pictures
    scene.build(*application);
    renderFrame(*application->renderer, width, height); // the first frame also warms up the shaders
    const kubora::test::Frame frame = renderFrame(*application->renderer, width, height);
    const kubora::test::EdgeMap edges = libkub::drawEdgeMap(*application->renderer, width, height);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    EXPECT_TRUE(
        kubora::test::matchesReference(frame, edges, reference, "KUBORA_WRITE_FRAMES", "frame-" + file));
}

INSTANTIATE_TEST_SUITE_P(ScenesAndModes, ReferenceFrames,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(scenes))),
                                          testing::Values(libkub::VBO, libkub::Immediate,
                                                          libkub::DisplayList)),
                         [](const testing::TestParamInfo<std::tuple<int, RenderMode>>& info) {
                             std::string name = std::string(scenes[std::get<0>(info.param)].name) + "_" +
                                                modeName(std::get<1>(info.param));
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
