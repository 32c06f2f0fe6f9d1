// The real game binary in a real X server, driven by real key events: the window each command line
// opens, the render-mode lines, F7, Escape, the game-mode fallback and a driver without the needed
// OpenGL features.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/PrivateXServer.h"
#include "tests/support/XServerSuite.h"

using namespace std::chrono_literals;
using kubora::test::LaunchedProcess;
using kubora::test::PrivateXServer;
using kubora::test::WindowGeometry;

namespace {

// Generous for a sanitizer build on a software renderer; the tests poll and never wait longer than needed.
constexpr auto startTimeout = 30s;
constexpr auto reactionTimeout = 10s;

class GameWindow : public kubora::test::XServerSuite {
  protected:
    void TearDown() override
    {
        if (HasFailure()) {
            for (const auto& game : launched) {
                std::printf("game %d, stdout:\n%s\nstderr:\n%s\n", static_cast<int>(game->pid()),
                            game->standardOutput().c_str(), game->standardError().c_str());
            }
        }
    }

    LaunchedProcess& launch(const std::vector<std::string>& arguments,
                            std::vector<std::string> environment = {})
    {
        std::vector<std::string> commandLine{KUBORA_BUILD_DIR "/kubora"};
        commandLine.insert(commandLine.end(), arguments.begin(), arguments.end());
        environment.push_back("DISPLAY=" + server->display());
        environment.push_back(kubora::test::launchedSanitizerOptions());
        launched.push_back(std::make_unique<LaunchedProcess>(commandLine, environment, KUBORA_SOURCE_DIR));
        return *launched.back();
    }

    // The game's window, once mapped.
    static unsigned long windowOf(LaunchedProcess& game)
    {
        const auto window = server->findWindow(game.pid(), "Kubora", startTimeout);
        EXPECT_TRUE(window.has_value()) << "no window titled Kubora; stderr: " << game.standardError();
        return window.value_or(0);
    }

    static void expectGeometry(unsigned long window, WindowGeometry expected)
    {
        const auto geometry = server->geometry(window);
        ASSERT_TRUE(geometry.has_value());
        EXPECT_EQ(geometry->x, expected.x);
        EXPECT_EQ(geometry->y, expected.y);
        EXPECT_EQ(geometry->width, expected.width);
        EXPECT_EQ(geometry->height, expected.height);
    }

    static void escapeEndsWithStatusZero(LaunchedProcess& game, unsigned long window)
    {
        ASSERT_TRUE(server->sendKey(window, "Escape"));
        EXPECT_EQ(game.waitForExit(reactionTimeout), 0) << "stderr: " << game.standardError();
    }

    std::vector<std::unique_ptr<LaunchedProcess>> launched;
};

} // namespace

TEST_F(GameWindow, DisplayListWindowAnnouncesItsModeAndF7SwitchesToImmediate)
{
    auto& game = launch({"800", "600", "DisplayList"});
    const unsigned long window = windowOf(game);
    ASSERT_NE(window, 0u);
    // Printed before the window opened.
    EXPECT_EQ(game.standardOutput(), "changed RenderMode to: 2\n");
    expectGeometry(window, {100, 100, 800, 600});

    // One F7 only: freeglut takes a release as a key repeat when the same key is already down again by
    // the time it reads the release, so quick presses of one key may merge (the table is unit-tested).
    ASSERT_TRUE(server->sendKey(window, "F7"));
    EXPECT_TRUE(game.waitForOutput("changed RenderMode to: 1\n", reactionTimeout));

    escapeEndsWithStatusZero(game, window);
    EXPECT_EQ(game.standardOutput(), "changed RenderMode to: 2\nchanged RenderMode to: 1\n");
    EXPECT_EQ(game.standardError(), "");
}

TEST_F(GameWindow, FramesShowTheSceneNotABlankWindow)
{
    auto& game = launch({});
    const unsigned long window = windowOf(game);
    ASSERT_NE(window, 0u);
    // A cleared window holds one colour; the sky, board and lights give many.
    std::optional<kubora::test::RgbImage> frame;
    const bool drawn = kubora::test::pollUntil(startTimeout, [&] {
        frame = server->captureWindow(window);
        return frame && frame->distinctColours(100) >= 100;
    });
    EXPECT_TRUE(drawn) << "colours seen: " << (frame ? frame->distinctColours(100) : 0);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->width, 640);
    EXPECT_EQ(frame->height, 480);
    escapeEndsWithStatusZero(game, window);
}

TEST_F(GameWindow, NoArgumentsOpenTheDefaultWindowAndPrintNothing)
{
    auto& game = launch({});
    const unsigned long window = windowOf(game);
    ASSERT_NE(window, 0u);
    expectGeometry(window, {100, 100, 640, 480});
    // F7 in vertex-buffer mode changes nothing and says nothing.
    ASSERT_TRUE(server->sendKey(window, "F7"));
    escapeEndsWithStatusZero(game, window);
    EXPECT_EQ(game.standardOutput(), "");
    EXPECT_EQ(game.standardError(), "");
}

TEST_F(GameWindow, ArgumentCountsWithoutAFormOpenTheDefaultWindow)
{
    auto& game = launch({"800", "600", "32", "60", "DisplayList", "extra"});
    const unsigned long window = windowOf(game);
    ASSERT_NE(window, 0u);
    expectGeometry(window, {100, 100, 640, 480});
    escapeEndsWithStatusZero(game, window);
    EXPECT_EQ(game.standardOutput(), "");
}

TEST_F(GameWindow, GameModeThatXvfbCannotEnterFallsBackToTheDefaultWindow)
{
    auto& game = launch({"1024", "768", "32", "60"});
    const unsigned long window = windowOf(game);
    ASSERT_NE(window, 0u);
    expectGeometry(window, {100, 100, 640, 480});
    escapeEndsWithStatusZero(game, window);
    EXPECT_EQ(game.standardError(),
              "kubora: game mode 1024x768:32@60: not available on this display; opening a "
              "640 x 480 window instead\n");
    EXPECT_EQ(game.standardOutput(), "");
}

TEST_F(GameWindow, GameModeWithAModeWordAnnouncesTheModeFirst)
{
    auto& game = launch({"1024", "768", "16", "75", "ImmediateMode"});
    const unsigned long window = windowOf(game);
    ASSERT_NE(window, 0u);
    escapeEndsWithStatusZero(game, window);
    EXPECT_EQ(game.standardOutput(), "changed RenderMode to: 1\n");
    EXPECT_EQ(game.standardError(),
              "kubora: game mode 1024x768:16@75: not available on this display; opening a "
              "640 x 480 window instead\n");
}

TEST_F(GameWindow, SizeThatIsNotANumberFallsBackWithOneLine)
{
    auto& game = launch({"wide", "300"});
    const unsigned long window = windowOf(game);
    ASSERT_NE(window, 0u);
    expectGeometry(window, {100, 100, 640, 300});
    escapeEndsWithStatusZero(game, window);
    EXPECT_EQ(game.standardError(), "kubora: width \"wide\": does not start with a number; using 640\n");
}

TEST_F(GameWindow, DriverWithoutShadersEndsWithOneLineAndStatusOne)
{
    // Mesa can pretend to be an older driver: OpenGL 1.5 has buffers but no shaders.
    auto& game = launch({}, {"MESA_GL_VERSION_OVERRIDE=1.5"});
    EXPECT_EQ(game.waitForExit(startTimeout), 1);
    EXPECT_EQ(game.standardError(), "kubora: OpenGL driver: missing OpenGL 2.0 shaders\n");
    EXPECT_EQ(game.standardOutput(), "");
}

TEST(RunScript, WithoutADisplaySaysWhatIsMissingInOneLine)
{
    LaunchedProcess run({"scripts/run.sh", "800", "600"}, {"DISPLAY"}, KUBORA_SOURCE_DIR);
    EXPECT_EQ(run.waitForExit(reactionTimeout), 1);
    EXPECT_EQ(run.standardError(),
              "kubora: no display (DISPLAY is not set); run it on a desktop, or headless with: "
              "xvfb-run -a build/kubora 800 600\n");
    EXPECT_EQ(run.standardOutput(), "");
}
