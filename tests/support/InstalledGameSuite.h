#pragma once
// The game started away from the source folder under a private X server: fresh folders to start it
// in, the Debian package of this build, and a brief game that shows the scene and ends on Escape.
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/XServerSuite.h"

namespace kubora::test {

// Generous for a sanitizer build on a software renderer; the tests poll and never wait longer than needed.
inline constexpr std::chrono::seconds gameStartTimeout{30};
inline constexpr std::chrono::seconds gameReactionTimeout{10};

// A fresh, empty folder of this test process.
std::filesystem::path freshFolder(const std::string& name);

struct BuiltPackages {
    std::vector<std::filesystem::path> files; // the .deb files; none when cpack failed
    std::string output;                       // what cpack said
};

// Builds the Debian packages of this build into the folder, so a test needs no earlier step.
BuiltPackages buildDebianPackages(const std::filesystem::path& folder);

class InstalledGameSuite : public XServerSuite {
  protected:
    void TearDown() override;

    // Starts the command (its first word looked up on PATH when it has no '/') in the folder, waits
    // for its window to show the scene, ends it with Escape. True when all of that happened and the
    // game exited with status 0. The environment entries come on top of the display's.
    bool playBriefly(const std::vector<std::string>& command, const std::filesystem::path& folder,
                     const std::vector<std::string>& environment = {});

    std::unique_ptr<LaunchedProcess> game;
};

} // namespace kubora::test
