// Where the game looks for its files: the folders tried for a build and an installed binary, the first
// that holds any of the files, and the one line when none does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "setup/DataFolderSearch.h"
#include "engine/resources/DataFolder.h"
#include "tests/support/PngWriter.h"

using Kubora::dataFolderCandidates;
using Kubora::firstFolderWithGameFiles;

namespace {

// A fresh folder holding the named files (empty ones: only their presence counts).
std::string folderWith(const std::string& name, const std::vector<std::string>& files)
{
    const std::filesystem::path folder = std::filesystem::path(kubora::test::temporaryFolder()) / name;
    std::filesystem::create_directories(folder);
    for (const std::string& file : files) {
        std::ofstream(folder / file).put('\n');
    }
    return folder.string() + "/";
}

// Each case runs with the loaders pointing at "data/" again afterwards.
class DataFolderSearch : public testing::Test {
  protected:
    void TearDown() override { libkub::setDataFolder("data/"); }
};

} // namespace

TEST_F(DataFolderSearch, WorkingFolderFirstThenBesideTheExecutable)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"/opt/kubora/build/kubora",
         {"data/", "/opt/kubora/data/", "/opt/kubora/share/kubora/", "/opt/kubora/share/games/kubora/"}},
        {"/usr/games/kubora", {"data/", "/usr/data/", "/usr/share/kubora/", "/usr/share/games/kubora/"}},
        {"/usr/local/games/../games/kubora",
         {"data/", "/usr/local/data/", "/usr/local/share/kubora/", "/usr/local/share/games/kubora/"}},
        // The tests run in the source folder: a build folder inside it leads back to the same data/.
        {KUBORA_SOURCE_DIR "/build/kubora",
         {"data/", KUBORA_SOURCE_DIR "/share/kubora/", KUBORA_SOURCE_DIR "/share/games/kubora/"}},
    };
    for (const auto& [executable, folders] : cases) {
        EXPECT_EQ(dataFolderCandidates(executable), folders) << executable;
    }
}

TEST_F(DataFolderSearch, FirstFolderHoldingAnyOfTheGameFilesWins)
{
    const std::string empty = folderWith("empty", {});
    const std::string unrelated = folderWith("unrelated", {"notes.txt", "board.png"});
    const std::string damaged = folderWith("damaged", {"shadow.frag"});
    const std::string whole = folderWith("whole", {"board.dae", "tile.dae", "die.dae", "duck.dae"});

    EXPECT_EQ(firstFolderWithGameFiles({empty, unrelated, damaged, whole}), damaged);
    EXPECT_EQ(firstFolderWithGameFiles({whole, damaged}), whole);
    EXPECT_EQ(firstFolderWithGameFiles({empty, unrelated, "/nowhere/at/all/"}), std::nullopt);
    EXPECT_EQ(firstFolderWithGameFiles({}), std::nullopt);
}

TEST_F(DataFolderSearch, LoadersReadFromTheChosenFolder)
{
    EXPECT_EQ(libkub::dataFile("tile.dae"), "data/tile.dae");
    libkub::setDataFolder("/usr/share/kubora");
    EXPECT_EQ(libkub::dataFolder(), "/usr/share/kubora/");
    EXPECT_EQ(libkub::dataFile("SkyBox0.png"), "/usr/share/kubora/SkyBox0.png");
}

TEST_F(DataFolderSearch, SourceTreeBesideABuildFolderIsFoundAndSaidNothingAbout)
{
    testing::internal::CaptureStderr();
    Kubora::chooseDataFolder(KUBORA_SOURCE_DIR "/build/kubora");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(libkub::dataFolder(), "data/");
}

TEST_F(DataFolderSearch, NoFolderWithTheFilesIsSaidInOneLineAndDataStaysTheFolder)
{
    // From a folder without data/, for an executable whose neighbours hold nothing either.
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(folderWith("working", {}));
    const std::string bare = folderWith("bare", {});
    testing::internal::CaptureStderr();
    Kubora::chooseDataFolder(bare + "bin/kubora");
    const std::string line = testing::internal::GetCapturedStderr();
    std::filesystem::current_path(here);
    EXPECT_EQ(line, "kubora: data files: none of the game's files in data/, " + bare + "data/, " + bare +
                        "share/kubora/ or " + bare + "share/games/kubora/\n");
    EXPECT_EQ(libkub::dataFolder(), "data/");
}
