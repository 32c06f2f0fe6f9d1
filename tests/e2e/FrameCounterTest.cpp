// The real game's frame rate at the start scene as Mesa's own frame counter reports it (GALLIUM_HUD
// with its figures dumped to a file, the graph hidden): printed as a figure, not judged.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/PrivateXServer.h"

using namespace std::chrono_literals;
using kubora::test::LaunchedProcess;
using kubora::test::PrivateXServer;

namespace {

// The counter writes one figure per half second; the first seconds go to llvmpipe compiling its
// shader variants and are left out.
constexpr auto warmUp = 3s;
constexpr auto sampled = 5s;

std::vector<double> figuresIn(const std::filesystem::path& file)
{
    std::vector<double> figures;
    std::ifstream in(file);
    double figure = 0.0;
    while (in >> figure) {
        figures.push_back(figure);
    }
    return figures;
}

} // namespace

TEST(FrameCounter, PrintsTheStartSceneFrameRate)
{
    const PrivateXServer server;
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    char folderTemplate[] = "/tmp/kubora-frame-counter.XXXXXX";
    ASSERT_NE(mkdtemp(folderTemplate), nullptr);
    const std::filesystem::path folder = folderTemplate;

    LaunchedProcess game({KUBORA_BUILD_DIR "/kubora", "1024", "768"},
                         {"DISPLAY=" + server.display(), "GALLIUM_HUD=fps", "GALLIUM_HUD_VISIBLE=false",
                          "GALLIUM_HUD_DUMP_DIR=" + folder.string(),
                          kubora::test::launchedSanitizerOptions()},
                         KUBORA_SOURCE_DIR);
    const auto window = server.findWindow(game.pid(), "Kubora", 30s);
    ASSERT_TRUE(window.has_value()) << "no window; stderr: " << game.standardError();

    std::this_thread::sleep_for(warmUp);
    const std::size_t skipped = figuresIn(folder / "fps").size();
    std::this_thread::sleep_for(sampled);
    std::vector<double> figures = figuresIn(folder / "fps");
    EXPECT_TRUE(server.sendKey(*window, "Escape"));
    EXPECT_EQ(game.waitForExit(10s), 0);
    std::filesystem::remove_all(folder);

    if (figures.size() <= skipped) {
        GTEST_SKIP() << "the driver wrote no frame counter figures (not a Gallium driver?)";
    }
    figures.erase(figures.begin(), figures.begin() + static_cast<std::ptrdiff_t>(skipped));
    std::sort(figures.begin(), figures.end());
    const double median = figures[figures.size() / 2];
    std::printf("start scene, 1024 x 768: %.1f frames per second (Mesa's counter, median of %zu figures, "
                "%.1f to %.1f)\n",
                median, figures.size(), figures.front(), figures.back());
    RecordProperty("startSceneFramesPerSecond", std::to_string(median));
    EXPECT_GT(median, 0.0);
}
