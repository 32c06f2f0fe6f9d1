// A modded die that is still a box, but mapped, placed or shaped unlike the game's own: written here from
// the game's die.dae with its texture coordinates turned, its box moved off the origin, or its sides
// stretched unevenly, into a copy of the data folder. With towers of such dice seen close by and from
// above, under the spot light, the frame with its shortcuts stays within the picture bound of the exact
// frame in every render mode, and in the vertex-buffer mode the dice still stand in columns.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/scene/Camera.h"
#include "engine/resources/DataFolder.h"
#include "engine/resources/RenderSettings.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/PngWriter.h"
#include "tests/support/QuarterBoard.h"
#include "tests/support/ShortcutPictures.h"

namespace {

namespace fs = std::filesystem;

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

// One way a die is modded: what it does to each position (x, y, z) and each texture point (s, t).
struct DieMod {
    const char* name;
    std::function<void(float*)> position;
    std::function<void(float*)> texturePoint;
};

const DieMod mods[] = {
    // Each face's picture turned a quarter, by turning the whole texture space about its centre.
    {"mapped", [](float*) {},
     [](float* st) {
         const float s = st[0];
         st[0] = st[1];
         st[1] = 1.0f - s;
     }},
    // The box's origin at its foot's corner instead of its centre, so the game's dice stand a little
    // off their places and higher.
    {"placed",
     [](float* p) {
         p[0] += 1.0f;
         p[1] += 1.0f;
         p[2] += 0.4f;
     },
     [](float*) {}},
    // Narrow and deep: no longer a cube (the height stays, so the game's dice still rest on one another).
    {"shaped",
     [](float* p) {
         p[0] *= 0.55f;
         p[2] *= 0.85f;
     },
     [](float*) {}},
};

// The numbers of the float_array with this id, rewritten `stride` at a time by `change`.
std::string rewriteArray(const std::string& document, const std::string& id, int stride,
                         const std::function<void(float*)>& change)
{
    const std::string open = "id=\"" + id + "\"";
    const std::size_t at = document.find(open);
    const std::size_t start = document.find('>', at) + 1;
    const std::size_t end = document.find("</float_array>", start);
    if (at == std::string::npos || end == std::string::npos) {
        ADD_FAILURE() << "die.dae has no float_array " << id;
        return document;
    }
    std::istringstream in(document.substr(start, end - start));
    std::vector<float> values;
    for (float value = 0.0f; in >> value;) {
        values.push_back(value);
    }
    std::ostringstream out;
    out.precision(9);
    for (std::size_t i = 0; i + static_cast<std::size_t>(stride) <= values.size();
         i += static_cast<std::size_t>(stride)) {
        change(&values[i]);
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << (i == 0 ? "" : " ") << values[i];
    }
    return document.substr(0, start) + out.str() + document.substr(end);
}

// A copy of data/ whose die.dae is the game's modded; returns the folder.
std::string moddedDataFolder(const DieMod& mod)
{
    const fs::path folder = fs::path(kubora::test::temporaryFolder()) / (std::string("data-die-") + mod.name);
    fs::create_directories(folder);
    fs::copy(fs::path(KUBORA_SOURCE_DIR) / "data", folder,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    std::ifstream in(fs::path(KUBORA_SOURCE_DIR) / "data" / "die.dae");
    std::stringstream text;
    text << in.rdbuf();
    std::string document = rewriteArray(text.str(), "die-positions-array", 3, mod.position);
    document = rewriteArray(document, "die-texcoords-array", 2, mod.texturePoint);
    std::ofstream(folder / "die.dae") << document;
    return folder.string();
}

void spotOver(Kubora::Application& application, int row, int column)
{
    const libkub::Vector3f over = application.board->tileAt(row, column)->position();
    application.spotLight->position = {over.x, 6.0f, over.z, 1.0f};
    application.spotLight->direction = {0.0f, -1.0f, 0.0f};
}

struct View {
    const char* name;
    libkub::Vector3f eye;
    libkub::Vector3f target;
    int spotRow;
    int spotColumn;
};

const View views[] = {{"close-side", {-2.5f, 1.5f, -3.0f}, {1.0f, 2.0f, 3.0f}, 0, 0},
                      {"above", {-14.0f, 30.0f, -14.0f}, {10.0f, 8.0f, 10.0f}, 3, 4}};

const char* modeName(libkub::RenderMode mode)
{
    return mode == libkub::VBO ? "vbo" : (mode == libkub::Immediate ? "immediate" : "displaylist");
}

using ModdedDieParam = std::tuple<int, libkub::RenderMode>;

class ModdedDie : public testing::TestWithParam<ModdedDieParam> {
  protected:
    void SetUp() override
    {
        libkub::setDataFolder(moddedDataFolder(mods[std::get<0>(GetParam())]));
        libkub::RenderSettings::instance().renderMode = std::get<1>(GetParam());
    }
    void TearDown() override
    {
        libkub::setDataFolder("data/");
        libkub::RenderSettings::instance().renderMode = libkub::VBO;
    }
};

TEST_P(ModdedDie, FrameWithItsShortcutsStaysWithinTheBoundOfTheExactFrame)
{
    const DieMod& mod = mods[std::get<0>(GetParam())];
    const libkub::RenderMode mode = std::get<1>(GetParam());
    kubora::test::AssembledApplication application;
    Kubora::onReshape(width, height);
    libkub::SceneRenderer& renderer = *application->renderer;
    renderer.hudElements.clear();
    kubora::test::giveEachPlayerAQuarter(*application, 20);

    for (const View& view : views) {
        application->camera->placeAt(view.eye, view.target);
        spotOver(*application, view.spotRow, view.spotColumn);
        const std::string name =
            std::string("modded-die-") + mod.name + "-" + view.name + "-" + modeName(mode);

        const kubora::test::ExactFrame exact = kubora::test::drawExactFrame(renderer, width, height);
        renderer.render();
        renderer.render();
        const kubora::test::Frame drawn = kubora::test::readFrame(width, height);
        const std::size_t copies = renderer.columnShading.copies;

        EXPECT_TRUE(kubora::test::shortcutFrameWithinBound(exact, drawn, name + ".png")) << name;
        if (mode == libkub::VBO) {
            EXPECT_GT(copies, renderer.objects.size() / 4) << name << ": the modded dice stand in columns";
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(EveryModInEveryMode, ModdedDie,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(mods))),
                                          testing::Values(libkub::VBO, libkub::Immediate,
                                                          libkub::DisplayList)),
                         [](const testing::TestParamInfo<ModdedDieParam>& info) {
                             return std::string(mods[std::get<0>(info.param)].name) + "_" +
                                    modeName(std::get<1>(info.param));
                         });

} // namespace
