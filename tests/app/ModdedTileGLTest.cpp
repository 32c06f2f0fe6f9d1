// Every shortcut holds for every model: with each hostile model, and each of the game's own four models,
// dropped into a copy of the data folder as the tile, the game's frame with its shortcuts stays within
// the picture bound of the exact frame, in each render mode, with the spot light over several tiles;
// and a frame whose depth textures are reused is the same to the last bit.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/resources/DataFolder.h"
#include "engine/resources/RenderSettings.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/HostileModels.h"
#include "tests/support/PictureBound.h"
#include "tests/support/PngWriter.h"
#include "tests/support/QuarterBoard.h"

namespace {

namespace fs = std::filesystem;

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

// The game's own models, by file name without ".dae", then the hostile ones.
std::vector<std::string> tileModels()
{
    std::vector<std::string> names{"board", "tile", "die", "duck"};
    for (const kubora::test::HostileModel& model : kubora::test::hostileModels()) {
        names.push_back(model.name);
    }
    return names;
}

// A copy of data/ with the named model as tile.dae; returns the folder.
std::string moddedDataFolder(const std::string& model)
{
    const fs::path folder = fs::path(kubora::test::temporaryFolder()) / ("data-" + model);
    fs::create_directories(folder);
    fs::copy(fs::path(KUBORA_SOURCE_DIR) / "data", folder,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    fs::path source = folder / (model + ".dae");
    for (const kubora::test::HostileModel& hostile : kubora::test::hostileModels()) {
        if (hostile.name == model) {
            source = kubora::test::writeHostileModel(hostile, folder.string());
        }
    }
    if (source != folder / "tile.dae") {
        fs::copy_file(source, folder / "tile.dae", fs::copy_options::overwrite_existing);
    }
    return folder.string();
}

class ModdedTile : public testing::TestWithParam<std::tuple<std::string, libkub::RenderMode>> {
  protected:
    void SetUp() override
    {
        libkub::setDataFolder(moddedDataFolder(std::get<0>(GetParam())));
        libkub::RenderSettings::instance().renderMode = std::get<1>(GetParam());
    }
    void TearDown() override
    {
        libkub::setDataFolder("data/");
        libkub::RenderSettings::instance().renderMode = libkub::VBO;
    }
};

TEST_P(ModdedTile, FrameWithEveryShortcutStaysWithinTheBoundOfTheExactFrame)
{
    const auto& [model, mode] = GetParam();
    kubora::test::AssembledApplication application;
    Kubora::onReshape(width, height);
    libkub::SceneRenderer& renderer = *application->renderer;
    renderer.hudElements.clear();
    kubora::test::giveEachPlayerAQuarter(*application, 3);
    libkub::SpotLightSource& spot = *application->spotLight;

    const int places[][2] = {{3, 4}, {0, 0}, {6, 2}};
    for (const auto& place : places) {
        const libkub::Vector3f over =
            application->board->tileAt(place[0], place[1])->model()->mesh.translation;
        spot.position = {over.x, spot.position.g, over.z, 1.0f};
        spot.direction = {0.0f, -1.0f, 0.0f};
        const std::string name = "modded-tile-" + model + "-" + std::to_string(static_cast<int>(mode)) + "-" +
                                 std::to_string(place[0]) + std::to_string(place[1]);

        const kubora::test::ExactFrame exact = kubora::test::drawExactFrame(renderer, width, height);
        renderer.render();
        const kubora::test::Frame drawn = kubora::test::readFrame(width, height);
        renderer.render();
        const kubora::test::Frame reused = kubora::test::readFrame(width, height);

        EXPECT_TRUE(
            kubora::test::withinBound(exact, drawn, kubora::test::PictureBound::shortcuts, name + ".png"))
            << name;
        EXPECT_TRUE(kubora::test::identicalFrames(drawn, reused, name + "-reused.png")) << name;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

using ModdedTileParam = std::tuple<std::string, libkub::RenderMode>;

std::string caseName(const testing::TestParamInfo<ModdedTileParam>& info)
{
    const char* const modes[] = {"VertexBuffers", "Immediate", "DisplayLists"};
    return kubora::test::hostileTestName(std::get<0>(info.param)) + "In" + modes[std::get<1>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryModelInEveryMode, ModdedTile,
                         testing::Combine(testing::ValuesIn(tileModels()),
                                          testing::Values(libkub::VBO, libkub::Immediate,
                                                          libkub::DisplayList)),
                         caseName);

} // namespace
