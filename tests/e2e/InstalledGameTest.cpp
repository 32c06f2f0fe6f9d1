// The game started away from the source folder: from its build folder, from an installed prefix, and
// as a lone binary with no data anywhere near it. The Debian package: DebianPackageTest.cpp.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/InstalledGameSuite.h"

using kubora::test::freshFolder;
using kubora::test::LaunchedProcess;
using kubora::test::runCommand;

namespace {

class InstalledGame : public kubora::test::InstalledGameSuite {};

} // namespace

TEST_F(InstalledGame, StartedInsideItsBuildFolderFindsTheSourceData)
{
    EXPECT_TRUE(playBriefly({KUBORA_BUILD_DIR "/kubora"}, KUBORA_BUILD_DIR));
    EXPECT_EQ(game->standardError(), "");
    EXPECT_EQ(game->standardOutput(), "");
}

TEST_F(InstalledGame, InstalledPrefixRunsFromAnUnrelatedFolder)
{
    const std::filesystem::path prefix = freshFolder("prefix");
    const auto install =
        runCommand({KUBORA_CMAKE_COMMAND, "--install", KUBORA_BUILD_DIR, "--prefix", prefix});
    ASSERT_EQ(install.status, 0) << install.output;
    // The games layout under any prefix, as in the package.
    for (const char* file :
         {"games/kubora", "bin/kubora-view", "bin/kubora-dae", "share/games/kubora/tile.dae",
          "share/games/kubora/tile.png", "share/games/kubora/shadow.frag", "share/games/kubora/SkyBox5.png",
          "share/applications/org.kubora.kubora.desktop", "share/metainfo/org.kubora.kubora.metainfo.xml",
          "share/icons/hicolor/48x48/apps/org.kubora.kubora.png",
          "share/icons/hicolor/256x256/apps/org.kubora.kubora.png",
          "share/icons/hicolor/scalable/apps/org.kubora.kubora.svg", "share/man/man6/kubora.6.gz",
          "share/man/man1/kubora-view.1.gz", "share/man/man1/kubora-dae.1.gz", "share/doc/kubora/copyright",
          "share/doc/kubora/changelog.gz"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(prefix / file)) << file;
    }
    EXPECT_TRUE(playBriefly({prefix / "games" / "kubora"}, freshFolder("elsewhere")));
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
    const auto window = server->findWindow(game->pid(), "Kubora", kubora::test::gameStartTimeout);
    ASSERT_TRUE(window.has_value());
    // The window shows once the main loop runs, after every loader has spoken.
    ASSERT_TRUE(server->sendKey(*window, "Escape"));
    EXPECT_EQ(game->waitForExit(kubora::test::gameReactionTimeout), 0);

    const std::string errors = game->standardError();
    const std::string first = errors.substr(0, errors.find('\n') + 1);
    EXPECT_EQ(first, "kubora: data files: none of the game's files in data/, " + (lone / "data/").string() +
                         ", " + (lone / "share/kubora/").string() + " or " +
                         (lone / "share/games/kubora/").string() + "\n");
    // Then each loader names its own missing file, as it does with a damaged data folder.
    EXPECT_NE(errors.find("kubora: data/tile.dae: model file not found"), std::string::npos) << errors;
}
