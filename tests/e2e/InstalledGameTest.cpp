// The game started away from the source folder: from its build folder, from an installed prefix, from
// the unpacked Debian package, and as a lone binary with no data anywhere near it.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/PngWriter.h"
#include "tests/support/PrivateXServer.h"
#include "tests/support/XServerSuite.h"

using namespace std::chrono_literals;
using kubora::test::LaunchedProcess;
using kubora::test::PrivateXServer;
using kubora::test::runCommand;

namespace {

// Generous for a sanitizer build on a software renderer; the tests poll and never wait longer than needed.
constexpr auto startTimeout = 30s;
constexpr auto reactionTimeout = 10s;

// A fresh, empty folder of this test process.
std::filesystem::path freshFolder(const std::string& name)
{
    const std::filesystem::path folder = std::filesystem::path(kubora::test::temporaryFolder()) / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

class InstalledGame : public kubora::test::XServerSuite {
  protected:
    void TearDown() override
    {
        if (HasFailure() && game) {
            std::printf("game stdout:\n%s\nstderr:\n%s\n", game->standardOutput().c_str(),
                        game->standardError().c_str());
        }
    }

    // Starts the binary in the folder, waits for its window to show the scene, ends it with Escape.
    // True when all of that happened and the game exited with status 0.
    bool playBriefly(const std::filesystem::path& binary, const std::filesystem::path& folder)
    {
        game = std::make_unique<LaunchedProcess>(
            std::vector<std::string>{binary.string()},
            std::vector<std::string>{"DISPLAY=" + server->display(),
                                     kubora::test::launchedSanitizerOptions()},
            folder.string());
        const auto window = server->findWindow(game->pid(), "Kubora", startTimeout);
        if (!window) {
            ADD_FAILURE() << "no window titled Kubora";
            return false;
        }
        // A cleared window holds one colour; the sky, board and lights give many.
        const bool drawn = kubora::test::pollUntil(startTimeout, [&] {
            const auto frame = server->captureWindow(*window);
            return frame && frame->distinctColours(100) >= 100;
        });
        EXPECT_TRUE(drawn) << "the window never showed the scene";
        EXPECT_TRUE(server->sendKey(*window, "Escape"));
        const auto status = game->waitForExit(reactionTimeout);
        EXPECT_EQ(status, 0);
        return drawn && status == 0;
    }

    std::unique_ptr<LaunchedProcess> game;
};

} // namespace

TEST_F(InstalledGame, StartedInsideItsBuildFolderFindsTheSourceData)
{
    EXPECT_TRUE(playBriefly(KUBORA_BUILD_DIR "/kubora", KUBORA_BUILD_DIR));
    EXPECT_EQ(game->standardError(), "");
    EXPECT_EQ(game->standardOutput(), "");
}

TEST_F(InstalledGame, InstalledPrefixRunsFromAnUnrelatedFolder)
{
    const std::filesystem::path prefix = freshFolder("prefix");
    const auto install =
        runCommand({KUBORA_CMAKE_COMMAND, "--install", KUBORA_BUILD_DIR, "--prefix", prefix});
    ASSERT_EQ(install.status, 0) << install.output;
    for (const char* file :
         {"bin/kubora", "bin/kubora-view", "bin/kubora-dae", "share/kubora/tile.dae", "share/kubora/tile.png",
          "share/kubora/shadow.frag", "share/kubora/SkyBox5.png", "share/applications/kubora.desktop",
          "share/icons/hicolor/64x64/apps/kubora.png"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(prefix / file)) << file;
    }
    EXPECT_TRUE(playBriefly(prefix / "bin" / "kubora", freshFolder("elsewhere")));
    EXPECT_EQ(game->standardError(), "");
}

TEST_F(InstalledGame, UnpackedDebianPackageRunsFromAnUnrelatedFolder)
{
    // The package of this build, made here so the test needs no earlier step.
    const std::filesystem::path packages = freshFolder("packages");
    const auto pack = runCommand({KUBORA_CPACK_COMMAND, "-G", "DEB", "--config",
                                  KUBORA_BUILD_DIR "/CPackConfig.cmake", "-B", packages.string()});
    ASSERT_EQ(pack.status, 0) << pack.output;
    std::filesystem::path package;
    for (const auto& entry : std::filesystem::directory_iterator(packages)) {
        if (entry.path().extension() == ".deb") {
            package = entry.path();
        }
    }
    ASSERT_FALSE(package.empty()) << pack.output;

    // Its dependencies come from the libraries the binaries link.
    const auto depends = runCommand({"dpkg-deb", "--field", package.string(), "Depends"});
    for (const char* library : {"libglut", "libglew", "libpng16", "libxml2"}) {
        EXPECT_NE(depends.output.find(library), std::string::npos) << depends.output;
    }

    const std::filesystem::path root = freshFolder("unpacked");
    ASSERT_EQ(runCommand({"dpkg-deb", "-x", package.string(), root.string()}).status, 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(root / "usr/share/applications/kubora.desktop"));
    EXPECT_TRUE(std::filesystem::is_regular_file(root / "usr/share/icons/hicolor/64x64/apps/kubora.png"));
    EXPECT_TRUE(playBriefly(root / "usr" / "bin" / "kubora", freshFolder("anywhere")));
    EXPECT_EQ(game->standardError(), "");
}

TEST_F(InstalledGame, LoneBinarySaysWhereItLookedThenRunsWithAnEmptyWorld)
{
    const std::filesystem::path lone = freshFolder("lone");
    std::filesystem::create_directories(lone / "bin");
    std::filesystem::copy_file(KUBORA_BUILD_DIR "/kubora", lone / "bin" / "kubora");
    const std::filesystem::path working = freshFolder("working");

    game = std::make_unique<LaunchedProcess>(
        std::vector<std::string>{(lone / "bin" / "kubora").string()},
        std::vector<std::string>{"DISPLAY=" + server->display(), kubora::test::launchedSanitizerOptions()},
        working.string());
    const auto window = server->findWindow(game->pid(), "Kubora", startTimeout);
    ASSERT_TRUE(window.has_value());
    // The window shows once the main loop runs, after every loader has spoken.
    ASSERT_TRUE(server->sendKey(*window, "Escape"));
    EXPECT_EQ(game->waitForExit(reactionTimeout), 0);

    const std::string errors = game->standardError();
    const std::string first = errors.substr(0, errors.find('\n') + 1);
    EXPECT_EQ(first, "kubora: data files: none of the game's files in data/, " + (lone / "data/").string() +
                         " or " + (lone / "share/kubora/").string() + "\n");
    // Then each loader names its own missing file, as it does with a damaged data folder.
    EXPECT_NE(errors.find("kubora: data/tile.dae: model file not found"), std::string::npos) << errors;
}
