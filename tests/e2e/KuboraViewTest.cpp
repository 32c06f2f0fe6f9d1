// The kubora-view binary: the picture it writes with every shortcut against --exact for the hostile
// models and the game's own, exports with real-world traits all visible, the stage lit and shadowed by
// the game's lights, the shader files found as the installed game finds them (and the one line when
// they are not), the models' colours, and the lines it prints for bad arguments, missing models and
// models without area.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "engine/image/PngLoader.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/HostileModels.h"
#include "tests/support/PictureBound.h"
#include "tests/support/PngWriter.h"
#include "tests/support/PrivateXServer.h"
#include "tests/support/XServerSuite.h"

using namespace std::chrono_literals;
using kubora::test::Frame;
using kubora::test::LaunchedProcess;

namespace {

const std::string viewer = KUBORA_BUILD_DIR "/kubora-view";
const std::string fixtures = KUBORA_SOURCE_DIR "/tests/fixtures/";
const std::string cubePath = fixtures + "models/texcube.dae";
const std::string redCubePath = fixtures + "collada/exporter_lambert_cube_maya.dae";
constexpr int width = 160;
constexpr int height = 120;
// The viewer's backdrop colour (0.30, 0.38, 0.50) in bytes.
constexpr std::array<int, 3> backdrop = {76, 97, 128};
// A pixel that differs from another by more than this (in its largest channel) is a visible change.
constexpr int visible = 24;

struct ToolRun {
    int status = -1;
    std::string errors;
};

int difference(const std::uint8_t* a, const std::uint8_t* b)
{
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

bool isBackdrop(const std::uint8_t* p)
{
    const std::uint8_t colour[3] = {backdrop[0], backdrop[1], backdrop[2]};
    return difference(p, colour) == 0;
}

bool isNeutral(const std::uint8_t* p)
{
    return std::abs(p[0] - p[1]) <= 4 && std::abs(p[1] - p[2]) <= 4;
}

// The picture as a frame, top row first, for the picture bound.
Frame asFrame(const libkub::PngImage& image)
{
    Frame frame;
    frame.width = image.width;
    frame.height = image.height;
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.pixels.get() + (static_cast<std::size_t>(y) * image.width + x) * 3;
            frame.rgb.insert(frame.rgb.end(), p, p + 3);
        }
    }
    return frame;
}

class KuboraView : public kubora::test::XServerSuite {
  protected:
    static ToolRun view(const std::vector<std::string>& arguments, const std::string& binary = viewer,
                        const std::string& workingFolder = KUBORA_SOURCE_DIR)
    {
        std::vector<std::string> commandLine{binary};
        commandLine.insert(commandLine.end(), arguments.begin(), arguments.end());
        LaunchedProcess tool(commandLine,
                             {"DISPLAY=" + server->display(), kubora::test::launchedSanitizerOptions()},
                             workingFolder);
        ToolRun run;
        run.status = tool.waitForExit(60s).value_or(-1);
        run.errors = tool.standardError();
        return run;
    }

    // Renders the model into a PNG and decodes it again; the lines on standard error must be `errors`.
    static Frame picture(const std::string& model, const std::vector<std::string>& options,
                         const std::string& errors = "", const std::string& binary = viewer,
                         const std::string& workingFolder = KUBORA_SOURCE_DIR)
    {
        static int count = 0;
        const std::string out = kubora::test::temporaryFolder() + "/view-" + std::to_string(++count) + ".png";
        std::vector<std::string> arguments{model, "--out", out, "--size",
                                           std::to_string(width) + "x" + std::to_string(height)};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const ToolRun run = view(arguments, binary, workingFolder);
        EXPECT_EQ(run.status, 0) << model << "\n" << run.errors;
        EXPECT_EQ(run.errors, errors) << model;
        libkub::PngImage image;
        EXPECT_EQ(libkub::loadPng(out, image), libkub::PngLoaded) << out;
        return image.pixels ? asFrame(image) : Frame{};
    }

    // The picture drawn with --exact and its edge map, written by --edge-map.
    static kubora::test::ExactFrame exactPicture(const std::string& model, std::vector<std::string> options)
    {
        static int count = 0;
        const std::string edges =
            kubora::test::temporaryFolder() + "/view-edges-" + std::to_string(++count) + ".png";
        options.insert(options.end(), {"--exact", "--edge-map", edges});
        kubora::test::ExactFrame exact{picture(model, options), {}};
        std::string reason;
        EXPECT_TRUE(libkub::readEdgeMap(edges, exact.edges, &reason)) << edges << ": " << reason;
        return exact;
    }

    // The stage alone: the floor under the lights and the backdrop, drawn for a model that is missing.
    static const Frame& emptyStage()
    {
        static const Frame stage = [] {
            const std::string missing = kubora::test::temporaryFolder() + "/absent.dae";
            return picture(missing, {},
                           "kubora: " + missing + ": model file not found; the object is left empty\n");
        }();
        return stage;
    }
};

// How the model's picture differs from the empty stage's.
struct Change {
    std::size_t visible = 0;         // pixels that changed visibly
    std::size_t nearBackdrop = 0;    // of those, pixels whose colour is close to the backdrop's
    std::size_t floorDarker = 0;     // floor pixels darker by a visible step (a shadow)
    std::size_t floorMuchDarker = 0; // floor pixels darker by three visible steps (the spot light's shadow)
};

Change changeFromStage(const Frame& stage, const Frame& frame)
{
    Change change;
    const std::uint8_t colour[3] = {backdrop[0], backdrop[1], backdrop[2]};
    for (std::size_t i = 0; i + 2 < frame.rgb.size() && i + 2 < stage.rgb.size(); i += 3) {
        const std::uint8_t* before = &stage.rgb[i];
        const std::uint8_t* after = &frame.rgb[i];
        if (difference(before, after) <= visible) {
            continue;
        }
        ++change.visible;
        change.nearBackdrop += difference(after, colour) <= visible ? 1 : 0;
        if (isNeutral(before) && isNeutral(after) && !isBackdrop(before)) {
            change.floorDarker += after[1] + visible < before[1] ? 1 : 0;
            change.floorMuchDarker += after[1] + 3 * visible < before[1] ? 1 : 0;
        }
    }
    return change;
}

// A cube as exporters write it: the red lambert cube's file with another technique, every position
// scaled, and another up axis.
std::string exportedCube(const std::string& name, const std::string& technique, float scale,
                         const std::string& upAxis)
{
    std::ifstream in(redCubePath);
    std::stringstream buffer;
    buffer << in.rdbuf();
    std::string text = buffer.str();
    const auto replace = [&text](const std::string& from, const std::string& to) {
        const auto start = text.find(from);
        text.replace(start, from.size(), to);
    };
    const std::string lambertStart = "<lambert>";
    const std::string lambertEnd = "</lambert>";
    const auto start = text.find(lambertStart);
    text.replace(start, text.find(lambertEnd) + lambertEnd.size() - start, technique);
    replace("<up_axis>Y_UP</up_axis>", "<up_axis>" + upAxis + "</up_axis>");
    const std::string open = "count=\"24\">";
    const auto first = text.find(open) + open.size();
    const auto last = text.find("</float_array>", first);
    std::istringstream numbers(text.substr(first, last - first));
    std::string scaled;
    for (float value = 0.0f; numbers >> value;) {
        scaled += std::to_string(value * scale) + " ";
    }
    text.replace(first, last - first, scaled);
    const std::string path = kubora::test::temporaryFolder() + "/" + name + ".dae";
    EXPECT_TRUE(kubora::test::writeFileBytes(path, {text.begin(), text.end()}));
    return path;
}

// The texture test cube with every position scaled and moved, beside a copy of its texture.
std::string movedCube(const std::string& name, float scale, float offset)
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
    for (float value = 0.0f; numbers >> value;) {
        moved += std::to_string(value * scale + offset) + " ";
    }
    text.replace(start, end - start, moved);
    const std::string folder = kubora::test::temporaryFolder() + "/" + name;
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(fixtures + "models/texcube.png", folder + "/texcube.png",
                               std::filesystem::copy_options::overwrite_existing);
    const std::string path = folder + "/texcube.dae";
    EXPECT_TRUE(kubora::test::writeFileBytes(path, {text.begin(), text.end()}));
    return path;
}

// Every hostile model and the game's own four, in each render mode: the picture with every shortcut
// stays within the picture bound of the --exact one.
class KuboraViewBound : public KuboraView, public testing::WithParamInterface<std::string> {};

std::vector<std::string> boundModels()
{
    std::vector<std::string> names;
    for (const kubora::test::HostileModel& model : kubora::test::hostileModels()) {
        names.push_back(model.name);
    }
    for (const char* game : {"board", "tile", "die", "duck"}) {
        names.emplace_back(game);
    }
    return names;
}

TEST_P(KuboraViewBound, ShortcutsStayWithinTheBoundOfTheExactFrame)
{
    std::string path = KUBORA_SOURCE_DIR "/data/" + GetParam() + ".dae";
    for (const kubora::test::HostileModel& model : kubora::test::hostileModels()) {
        if (model.name == GetParam()) {
            path = kubora::test::writeHostileModel(model, kubora::test::temporaryFolder());
        }
    }
    // Twice the size of the other tests' pictures: the board's texture is then less minified, and fewer
    // of its texels hang on the last bit of a texture coordinate.
    for (const char* mode : {"VBO", "ImmediateMode", "DisplayList"}) {
        const kubora::test::ExactFrame exact = exactPicture(path, {"--mode", mode, "--size", "320x240"});
        const Frame frame = picture(path, {"--mode", mode, "--size", "320x240"});
        // About the model, number 1 in the edge map (the floor is 2).
        EXPECT_TRUE(kubora::test::withinBound(exact, frame, kubora::test::PictureBound::shortcuts,
                                              "kubora-view-" + GetParam() + "-" + mode + ".png", {1}))
            << mode;
    }
}

INSTANTIATE_TEST_SUITE_P(Models, KuboraViewBound, testing::ValuesIn(boundModels()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return kubora::test::hostileTestName(info.param);
                         });

TEST_F(KuboraView, ExportsOfEveryKindShowAgainstTheStageAndTheBackdrop)
{
    // Traits of real-world exports. Each model must change a good part of the picture, and none of what
    // it shows may come close to the backdrop's colour, where it would vanish once orbited in front of it.
    struct Case {
        std::string name;
        std::string path;
        std::string errors;
    };
    const std::string comma = fixtures + "collada/exporter_decimal_comma_colours.dae";
    const Case cases[] = {
        {"decimal commas", comma,
         "kubora: " + comma +
             ": effect \"comma1-fx\": text that is not numbers in emission, ambient, diffuse, specular, "
             "shininess; the model is drawn in plain grey\n"},
        {"alpha 0 in diffuse",
         exportedCube("alpha-zero", "<lambert><diffuse><color>0.2 0.5 0.8 0</color></diffuse></lambert>",
                      1.0f, "Y_UP"),
         ""},
        {"transparency 0, A_ONE",
         exportedCube(
             "transparency-zero",
             "<phong><diffuse><color>0.8 0.6 0.2 1</color></diffuse><transparent opaque=\"A_ONE\">"
             "<color>0 0 0 0</color></transparent><transparency><float>0</float></transparency></phong>",
             1.0f, "Y_UP"),
         ""},
        {"transparency 1, RGB_ZERO",
         exportedCube(
             "rgb-zero",
             "<blinn><diffuse><color>0.3 0.7 0.3 1</color></diffuse><transparent opaque=\"RGB_ZERO\">"
             "<color>1 1 1 1</color></transparent><transparency><float>1</float></transparency></blinn>",
             1.0f, "Y_UP"),
         ""},
        {"huge, Z up",
         exportedCube("huge", "<lambert><diffuse><color>0.7 0.3 0.6 1</color></diffuse></lambert>", 5000.0f,
                      "Z_UP"),
         ""},
        {"tiny",
         exportedCube("tiny", "<lambert><diffuse><color>0.6 0.4 0.2 1</color></diffuse></lambert>", 1e-4f,
                      "Y_UP"),
         ""},
        {"black",
         exportedCube(
             "black",
             "<phong><emission><color>0 0 0 1</color></emission><ambient><color>0 0 0 1</color></ambient>"
             "<diffuse><color>0 0 0 1</color></diffuse><specular><color>0 0 0 1</color></specular></phong>",
             1.0f, "Y_UP"),
         ""},
        {"white",
         exportedCube(
             "white",
             "<phong><ambient><color>1 1 1 1</color></ambient><diffuse><color>1 1 1 1</color></diffuse>"
             "<specular><color>1 1 1 1</color></specular></phong>",
             1.0f, "Y_UP"),
         ""},
        {"far thin",
         kubora::test::writeHostileModel(kubora::test::hostileModels().back(),
                                         kubora::test::temporaryFolder()),
         ""},
    };
    ASSERT_EQ(kubora::test::hostileModels().back().name, "far-thin");
    for (const Case& c : cases) {
        const Change change = changeFromStage(emptyStage(), picture(c.path, {}, c.errors));
        EXPECT_GT(change.visible, std::size_t{width * height / 50}) << c.name;
        EXPECT_EQ(change.nearBackdrop, 0u) << c.name;
    }
}

TEST_F(KuboraView, TheGameLightsLightTheStageAndTheModelCastsTheirShadows)
{
    // The floor alone: the spot light makes a bright pool among the main light's even grey.
    const Frame& stage = emptyStage();
    int darkest = 255;
    int brightest = 0;
    for (std::size_t i = 0; i < stage.rgb.size(); i += 3) {
        if (isNeutral(&stage.rgb[i])) {
            darkest = std::min<int>(darkest, stage.rgb[i + 1]);
            brightest = std::max<int>(brightest, stage.rgb[i + 1]);
        }
    }
    EXPECT_GT(brightest - darkest, 3 * visible);

    // A red cube darkens the floor around it: the spot light's shadow deeply (by more than the main
    // light's whole share) around the cube's foot, the main light's more widely and to one side. Without
    // the shadows no floor pixel would change; about 2,600 and 1,200 are measured.
    const Change change = changeFromStage(stage, picture(redCubePath, {}));
    EXPECT_GT(change.floorDarker, std::size_t{width * height / 12});
    EXPECT_GT(change.floorMuchDarker, std::size_t{width * height / 50});
}

TEST_F(KuboraView, AModelOfAnySizeAndPlaceGivesTheSamePicture)
{
    const Frame unit = picture(cubePath, {});
    for (const auto& [name, scale, offset] :
         {std::tuple{"large-far", 100.0f, 500.0f}, std::tuple{"small-near", 1e-3f, -3.0f}}) {
        // The same picture but for edge pixels, where the placement of a scaled and moved file rounds
        // otherwise.
        EXPECT_LT(changeFromStage(unit, picture(movedCube(name, scale, offset), {})).visible,
                  std::size_t{width * height / 100})
            << name;
    }
}

TEST_F(KuboraView, ShaderFilesAreFoundAsTheInstalledGameFindsThem)
{
    // The binary alone under a prefix, run from an empty folder: with the game's data installed beside
    // it (share/games/kubora) it draws the same picture as in the build; without, it names the folders
    // it looked in once, and shows the model in the plain look.
    const Frame inBuild = picture(redCubePath, {});
    for (const bool installed : {true, false}) {
        const std::filesystem::path prefix =
            kubora::test::temporaryFolder() + (installed ? "/installed" : "/bare");
        std::filesystem::create_directories(prefix / "bin");
        std::filesystem::create_directories(prefix / "work");
        std::filesystem::copy_file(viewer, prefix / "bin" / "kubora-view",
                                   std::filesystem::copy_options::overwrite_existing);
        if (installed) {
            std::filesystem::create_directories(prefix / "share/games/kubora");
            for (const char* file : {"shadow.vert", "shadow.frag"}) {
                std::filesystem::copy_file(KUBORA_SOURCE_DIR "/data/" + std::string(file),
                                           prefix / "share/games/kubora" / file,
                                           std::filesystem::copy_options::overwrite_existing);
            }
        }
        const std::string p = prefix.string();
        const std::string line =
            installed ? ""
                      : "kubora: shadow.vert, shadow.frag: not found in data/, " + p + "/data/, " + p +
                            "/share/kubora/ or " + p +
                            "/share/games/kubora/; the model is shown in the plain look, without the game's "
                            "lights and shadows\n";
        const Frame frame = picture(redCubePath, {}, line, p + "/bin/kubora-view", p + "/work");
        ASSERT_EQ(frame.rgb.size(), inBuild.rgb.size());
        EXPECT_EQ(frame.rgb == inBuild.rgb, installed);
        // The plain look shows the model too: its centre is lit red.
        const std::uint8_t* centre =
            &frame.rgb[(static_cast<std::size_t>(height / 2) * width + width / 2) * 3];
        EXPECT_GT(centre[0], centre[1] + visible) << (installed ? "installed" : "bare");
    }
}

TEST_F(KuboraView, ExportedModelsShowTheirColourInEveryMode)
{
    // Hand-written files as exporters write them, and the colour at the centre of the picture: the face
    // towards the main light, which lights it at a slant; the quads-only file draws nothing, so the floor
    // under the spot light shows there.
    struct Case {
        const char* file;
        std::array<int, 3> centre;
        const char* problem; // the one line on standard error, after "kubora: PATH: "
    };
    const Case cases[] = {
        {"exporter_lambert_cube_maya.dae", {65, 8, 8}, ""},
        {"exporter_sphere_no_normals_max.dae", {13, 85, 20}, ""},
        {"exporter_first_material_no_effect.dae",
         {8, 16, 65},
         "material \"Dots_Stroke-material\" names no effect of this file; it is skipped"},
        {"exporter_library_asset_extra.dae", {69, 61, 4}, ""},
        {"exporter_mixed_groups_max.dae", {73, 37, 4}, ""},
        {"exporter_param_colour.dae", {65, 8, 49}, ""},
        {"exporter_texture_without_image.dae", {81, 81, 81}, ""},
        {"exporter_two_materials_maya.dae", {12, 20, 69}, ""},
        {"exporter_textured_box_max.dae", {70, 19, 19}, ""},
        {"exporter_polylist_quads_blender.dae",
         {125, 125, 125},
         "no geometry with a triangle group; the object is left empty"},
    };
    const std::string folder = "tests/fixtures/collada/";
    for (const Case& c : cases) {
        for (const char* mode : {"VBO", "ImmediateMode", "DisplayList"}) {
            const std::string line =
                *c.problem == '\0' ? "" : "kubora: " + folder + c.file + ": " + c.problem + "\n";
            const Frame frame = picture(folder + c.file, {"--mode", mode}, line);
            const std::uint8_t* p =
                &frame.rgb[(static_cast<std::size_t>(height / 2) * width + width / 2) * 3];
            for (int channel = 0; channel < 3; ++channel) {
                EXPECT_NEAR(p[channel], c.centre[channel], 12)
                    << c.file << " " << mode << " channel " << channel;
            }
        }
    }
}

TEST_F(KuboraView, AModelWithoutAreaSaysWhyTheStageIsEmpty)
{
    // An export with a decimal comma in every number: the reader leaves the file as malformed as it is,
    // every position reads as 0 and the stage stays empty, but the first line says why, before the
    // line about the colours.
    const std::string file = "tests/fixtures/collada/exporter_decimal_comma_positions.dae";
    const std::string prefix = "kubora: " + file + ": ";
    const std::string lines = prefix +
                              "no triangle has any area: all 24 position values are not numbers (read as 0); "
                              "the model shows nothing\n" +
                              prefix +
                              "effect \"crate-fx\": text that is not numbers in ambient, diffuse, specular, "
                              "shininess; the model is drawn in plain grey\n";
    for (const char* mode : {"VBO", "ImmediateMode", "DisplayList"}) {
        EXPECT_EQ(changeFromStage(emptyStage(), picture(file, {"--mode", mode}, lines)).visible, 0u) << mode;
    }
}

TEST_F(KuboraView, TheEdgeMapNumbersTheModelAndTheFloorAndOutlinesThem)
{
    const kubora::test::ExactFrame exact = exactPicture(KUBORA_SOURCE_DIR "/data/die.dae", {});
    const kubora::test::EdgeMap& edges = exact.edges;
    ASSERT_EQ(edges.width, width);
    ASSERT_EQ(edges.height, height);
    std::size_t pixelsOf[3] = {0, 0, 0};
    std::size_t edgePixels = 0;
    for (std::size_t pixel = 0; pixel < edges.objects.size(); ++pixel) {
        ASSERT_LE(edges.objects[pixel], 2) << pixel;
        ++pixelsOf[edges.objects[pixel]];
        edgePixels += edges.edgeAt(pixel) ? 1 : 0;
        // Where the object changes to the right, both pixels are edge pixels.
        if ((pixel + 1) % width != 0 && edges.objects[pixel] != edges.objects[pixel + 1]) {
            EXPECT_TRUE(edges.edgeAt(pixel) && edges.edgeAt(pixel + 1)) << pixel;
        }
    }
    EXPECT_GT(pixelsOf[0], 0u) << "the backdrop";
    EXPECT_GT(pixelsOf[1], edges.objects.size() / 10) << "the die";
    EXPECT_GT(pixelsOf[2], edges.objects.size() / 10) << "the floor";
    // Outlines, creases and shadow borders, not whole faces.
    EXPECT_GT(edgePixels, 0u);
    EXPECT_LT(edgePixels, edges.objects.size() / 5);
}

TEST_F(KuboraView, BadArgumentsAreNamedWithTheUsage)
{
    const std::string usage =
        "usage: kubora-view MODEL.dae [--mode VBO|ImmediateMode|DisplayList] [--out FILE.png] "
        "[--size WxH] [--exact] [--edge-map FILE.png]\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "kubora: kubora-view: no model file given\n"},
        {{cubePath, "--mode", "Vbo"},
         "kubora: --mode Vbo: unknown render mode (VBO, ImmediateMode or DisplayList)\n"},
        {{cubePath, "--size", "640"},
         "kubora: --size 640: not a size like 640x480 (1 to 8192 pixels a side)\n"},
        {{cubePath, "--out"}, "kubora: --out: needs a value\n"},
        {{cubePath, "--edge-map", "edges.png"},
         "kubora: --edge-map edges.png: needs --out: the map is of the written frame\n"},
        {{cubePath, "--fast"}, "kubora: --fast: unknown option\n"},
        {{cubePath, cubePath}, "kubora: " + cubePath + ": only one model can be viewed at a time\n"},
    };
    for (const auto& [arguments, line] : cases) {
        const ToolRun run = view(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.errors, line + usage);
    }
}

} // namespace
