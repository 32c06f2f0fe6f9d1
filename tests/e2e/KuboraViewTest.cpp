// The kubora-view binary: hidden frames written as PNG in each render mode, exported models without
// images or normals shown in their colours, the camera fitted to the model's triangles, and the
// lines it prints for bad arguments and missing models.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "engine/PngLoader.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/PngWriter.h"
#include "tests/support/PrivateXServer.h"
#include "tests/support/XServerSuite.h"

using namespace std::chrono_literals;
using kubora::test::LaunchedProcess;
using kubora::test::PrivateXServer;

namespace {

const std::string cubePath = KUBORA_SOURCE_DIR "/tests/fixtures/models/texcube.dae";
constexpr int width = 160;
constexpr int height = 120;
// The viewer's clear colour (0.16, 0.18, 0.22) in bytes.
constexpr std::uint8_t background[3] = {41, 46, 56};

struct ToolRun {
    int status = -1;
    std::string errors;
};

struct Area {
    int left = width;
    int right = -1;
    int bottom = height;
    int top = -1;
};

class KuboraView : public kubora::test::XServerSuite {
  protected:
    static ToolRun view(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> commandLine{KUBORA_BUILD_DIR "/kubora-view"};
        commandLine.insert(commandLine.end(), arguments.begin(), arguments.end());
        LaunchedProcess tool(commandLine,
                             {"DISPLAY=" + server->display(), kubora::test::launchedSanitizerOptions()},
                             KUBORA_SOURCE_DIR);
        ToolRun run;
        run.status = tool.waitForExit(60s).value_or(-1);
        run.errors = tool.standardError();
        return run;
    }

    // Renders the model into a PNG and decodes it again.
    static libkub::PngImage picture(const std::string& model, const std::string& mode,
                                    const std::string& name)
    {
        const std::string out = kubora::test::temporaryFolder() + "/" + name + ".png";
        const ToolRun run = view({model, "--mode", mode, "--out", out, "--size",
                                  std::to_string(width) + "x" + std::to_string(height)});
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_EQ(run.errors, "");
        libkub::PngImage image;
        EXPECT_EQ(libkub::loadPng(out, image), libkub::PngLoaded);
        return image;
    }
};

const std::uint8_t* pixelAt(const libkub::PngImage& image, int x, int y)
{
    return image.pixels.get() + (static_cast<std::size_t>(y) * image.width + x) * 3;
}

bool isBackground(const std::uint8_t* p)
{
    return p[0] == background[0] && p[1] == background[1] && p[2] == background[2];
}

// The rectangle the model covers (rows counted from the bottom).
Area coveredArea(const libkub::PngImage& image)
{
    Area area;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (!isBackground(pixelAt(image, x, y))) {
                area = {std::min(area.left, x), std::max(area.right, x), std::min(area.bottom, y),
                        std::max(area.top, y)};
            }
        }
    }
    return area;
}

bool samePixels(const libkub::PngImage& a, const libkub::PngImage& b)
{
    const std::size_t bytes = static_cast<std::size_t>(a.width) * a.height * 3;
    return a.width == b.width && a.height == b.height && a.pixels && b.pixels &&
           std::equal(a.pixels.get(), a.pixels.get() + bytes, b.pixels.get());
}

// The test cube with every position scaled and moved, beside a copy of its texture.
std::string movedCube(float scale, float offset)
{
    std::ifstream in(cubePath);
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string text = buffer.str();
    const std::string open = "<float_array id=\"texcube-positions-array\" count=\"24\">";
    const auto start = text.find(open) + open.size();
    const auto end = text.find("</float_array>", start);
    std::istringstream numbers(text.substr(start, end - start));
    std::string moved;
    float value = 0.0f;
    while (numbers >> value) {
        moved += std::to_string(value * scale + offset) + " ";
    }
    text.replace(start, end - start, moved);
    const std::string folder = kubora::test::temporaryFolder() + "/moved";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(KUBORA_SOURCE_DIR "/tests/fixtures/models/texcube.png",
                               folder + "/texcube.png", std::filesystem::copy_options::overwrite_existing);
    const std::string path = folder + "/texcube.dae";
    EXPECT_TRUE(kubora::test::writeFileBytes(path, {text.begin(), text.end()}));
    return path;
}

} // namespace

TEST_F(KuboraView, ThreeModesWriteTheSameTexturedPicture)
{
    const auto vbo = picture(cubePath, "VBO", "cube-vbo");
    const auto immediate = picture(cubePath, "ImmediateMode", "cube-immediate");
    const auto displayList = picture(cubePath, "DisplayList", "cube-display-list");
    ASSERT_EQ(vbo.width, width);
    ASSERT_EQ(vbo.height, height);
    EXPECT_TRUE(samePixels(vbo, immediate));
    EXPECT_TRUE(samePixels(vbo, displayList));

    // All four quadrant colours of the texture show, lit.
    int red = 0;
    int green = 0;
    int blue = 0;
    int yellow = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = pixelAt(vbo, x, y);
            const int r = p[0];
            const int g = p[1];
            const int b = p[2];
            red += r > g + 60 && r > b + 60 ? 1 : 0;
            green += g > r + 60 && g > b + 60 ? 1 : 0;
            blue += b > r + 60 && b > g + 60 ? 1 : 0;
            yellow += r > b + 60 && g > b + 60 ? 1 : 0;
        }
    }
    EXPECT_GT(red, 200);
    EXPECT_GT(green, 200);
    EXPECT_GT(blue, 200);
    EXPECT_GT(yellow, 200);
}

TEST_F(KuboraView, ExportedModelsShowTheirColourInEveryMode)
{
    // Hand-written files as exporters write them, and the colour at the centre of the picture
    // (lit by the viewer's light); the quads-only file draws nothing.
    struct Case {
        const char* file;
        std::array<int, 3> centre;
        const char* problem; // the one line on standard error, after "kubora: PATH: "
    };
    const Case cases[] = {
        {"exporter_lambert_cube_maya.dae", {109, 14, 14}, ""},
        {"exporter_sphere_no_normals_max.dae", {31, 127, 39}, ""},
        {"exporter_first_material_no_effect.dae",
         {14, 28, 110},
         "material \"Dots_Stroke-material\" names no effect of this file; it is skipped"},
        {"exporter_library_asset_extra.dae", {116, 103, 7}, ""},
        {"exporter_mixed_groups_max.dae", {123, 62, 7}, ""},
        {"exporter_param_colour.dae", {109, 14, 82}, ""},
        {"exporter_texture_without_image.dae", {137, 137, 137}, ""},
        {"exporter_two_materials_maya.dae", {20, 34, 116}, ""},
        {"exporter_textured_box_max.dae", {32, 107, 43}, ""},
        {"exporter_polylist_quads_blender.dae",
         {background[0], background[1], background[2]},
         "no geometry with a triangle group; the object is left empty"},
    };
    const std::string folder = "tests/fixtures/collada/";
    for (const Case& c : cases) {
        for (const char* mode : {"VBO", "ImmediateMode", "DisplayList"}) {
            const std::string out = kubora::test::temporaryFolder() + "/" + c.file + "-" + mode + ".png";
            const ToolRun run = view({folder + c.file, "--mode", mode, "--out", out, "--size",
                                      std::to_string(width) + "x" + std::to_string(height)});
            EXPECT_EQ(run.status, 0) << c.file;
            EXPECT_EQ(run.errors,
                      *c.problem == '\0' ? "" : "kubora: " + folder + c.file + ": " + c.problem + "\n");
            libkub::PngImage image;
            ASSERT_EQ(libkub::loadPng(out, image), libkub::PngLoaded) << out;
            const std::uint8_t* p = pixelAt(image, width / 2, height / 2);
            for (int channel = 0; channel < 3; ++channel) {
                EXPECT_NEAR(p[channel], c.centre[channel], 12)
                    << c.file << " " << mode << " channel " << channel;
            }
        }
    }
}

TEST_F(KuboraView, CameraFitsTheTrianglesWhereverTheyAre)
{
    const Area unit = coveredArea(picture(cubePath, "VBO", "fit-unit"));
    const Area moved = coveredArea(picture(movedCube(100.0f, 500.0f), "VBO", "fit-moved"));
    for (const Area& area : {unit, moved}) {
        // Inside the frame with a margin, and filling a good part of its height.
        EXPECT_GT(area.left, 0);
        EXPECT_LT(area.right, width - 1);
        EXPECT_GT(area.bottom, 0);
        EXPECT_LT(area.top, height - 1);
        EXPECT_GT(area.top - area.bottom, height / 2);
    }
    // The same framing, give or take rounding.
    EXPECT_NEAR(unit.left, moved.left, 2);
    EXPECT_NEAR(unit.right, moved.right, 2);
    EXPECT_NEAR(unit.top, moved.top, 2);
    EXPECT_NEAR(unit.bottom, moved.bottom, 2);
}

TEST_F(KuboraView, BadArgumentsAreNamedWithTheUsage)
{
    const std::string usage =
        "usage: kubora-view MODEL.dae [--mode VBO|ImmediateMode|DisplayList] [--out FILE.png] [--size WxH]\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "kubora: kubora-view: no model file given\n"},
        {{cubePath, "--mode", "Vbo"},
         "kubora: --mode Vbo: unknown render mode (VBO, ImmediateMode or DisplayList)\n"},
        {{cubePath, "--size", "640"},
         "kubora: --size 640: not a size like 640x480 (1 to 8192 pixels a side)\n"},
        {{cubePath, "--out"}, "kubora: --out: needs a value\n"},
        {{cubePath, "--fast"}, "kubora: --fast: unknown option\n"},
        {{cubePath, cubePath}, "kubora: " + cubePath + ": only one model can be viewed at a time\n"},
    };
    for (const auto& [arguments, line] : cases) {
        const ToolRun run = view(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.errors, line + usage);
    }
}

TEST_F(KuboraView, MissingModelIsNamedAndTheFrameStillWritten)
{
    const std::string missing = kubora::test::temporaryFolder() + "/absent.dae";
    const std::string out = kubora::test::temporaryFolder() + "/absent.png";
    const ToolRun run = view({missing, "--out", out, "--size", "32x24"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors, "kubora: " + missing + ": model file not found; the object is left empty\n");
    libkub::PngImage image;
    ASSERT_EQ(libkub::loadPng(out, image), libkub::PngLoaded);
    EXPECT_EQ(coveredArea(image).right, -1); // nothing but background
}
