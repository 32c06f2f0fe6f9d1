#include "tests/support/InstalledGameSuite.h"

#include <cstdio>

#include "tests/support/PngWriter.h" // temporaryFolder

namespace kubora::test {

std::filesystem::path freshFolder(const std::string& name)
{
    const std::filesystem::path folder = std::filesystem::path(temporaryFolder()) / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

BuiltPackages buildDebianPackages(const std::filesystem::path& folder)
{
    BuiltPackages packages;
    const auto pack = runCommandWithErrors({KUBORA_CPACK_COMMAND, "-G", "DEB", "--config",
                                            KUBORA_BUILD_DIR "/CPackConfig.cmake", "-B", folder.string()});
    packages.output = pack.output;
    if (pack.status != 0) {
        return packages;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".deb") {
            packages.files.push_back(entry.path());
        }
    }
    return packages;
}

void InstalledGameSuite::TearDown()
{
    if (HasFailure() && game) {
        std::printf("game stdout:\n%s\nstderr:\n%s\n", game->standardOutput().c_str(),
                    game->standardError().c_str());
    }
}

bool InstalledGameSuite::playBriefly(const std::vector<std::string>& command,
                                     const std::filesystem::path& folder,
                                     const std::vector<std::string>& environment)
{
    std::vector<std::string> fullEnvironment{"DISPLAY=" + server->display(), launchedSanitizerOptions()};
    fullEnvironment.insert(fullEnvironment.end(), environment.begin(), environment.end());
    game = std::make_unique<LaunchedProcess>(command, fullEnvironment, folder.string());
    const auto window = server->findWindow(game->pid(), "Kubora", gameStartTimeout);
    if (!window) {
        ADD_FAILURE() << "no window titled Kubora";
        return false;
    }
    // A cleared window holds one colour; the sky, board and lights give many.
    const bool drawn = pollUntil(gameStartTimeout, [&] {
        const auto frame = server->captureWindow(*window);
        return frame && frame->distinctColours(100) >= 100;
    });
    EXPECT_TRUE(drawn) << "the window never showed the scene";
    EXPECT_TRUE(server->sendKey(*window, "Escape"));
    const auto status = game->waitForExit(gameReactionTimeout);
    EXPECT_EQ(status, 0);
    return drawn && status == 0;
}

} // namespace kubora::test
