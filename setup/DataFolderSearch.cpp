#include "setup/DataFolderSearch.h"

#include <system_error>

#include "engine/resources/DataFolder.h"
#include "engine/resources/Diagnostics.h"

namespace Kubora {

namespace {

// The files the game itself names; models name their own textures, which lie beside them.
const std::vector<std::string>& gameFiles()
{
    static const std::vector<std::string> files = [] {
        std::vector<std::string> names{"board.dae", "tile.dae",    "die.dae",
                                       "duck.dae",  "shadow.vert", "shadow.frag"};
        for (int i = 0; i < 6; ++i) {
            names.push_back("SkyBox" + std::to_string(i) + ".png");
            names.push_back("die" + std::to_string(i + 1) + ".png");
        }
        return names;
    }();
    return files;
}

std::string asFolder(const std::filesystem::path& path)
{
    std::string text = path.lexically_normal().string();
    if (text.empty() || text.back() != '/') {
        text += '/';
    }
    return text;
}

// Where a folder text leads, for comparing two of them.
std::filesystem::path place(const std::string& folder)
{
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(folder, error);
    return error ? std::filesystem::path(folder).lexically_normal() : resolved;
}

} // namespace

std::string listOfFolders(const std::vector<std::string>& folders)
{
    std::string text;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        text += i == 0 ? "" : (i + 1 == folders.size() ? " or " : ", ");
        text += folders[i];
    }
    return text;
}

std::vector<std::string> dataFolderCandidates(const std::filesystem::path& executable)
{
    const std::filesystem::path beside = executable.parent_path();
    std::vector<std::string> candidates{"data/"};
    for (const std::string& folder :
         {asFolder(beside / ".." / "data"), asFolder(beside / ".." / "share" / "kubora"),
          asFolder(beside / ".." / "share" / "games" / "kubora")}) {
        bool known = false;
        for (const std::string& earlier : candidates) {
            known = known || place(earlier) == place(folder);
        }
        if (!known) {
            candidates.push_back(folder);
        }
    }
    return candidates;
}

std::optional<std::string> firstFolderWithGameFiles(const std::vector<std::string>& candidates)
{
    for (const std::string& folder : candidates) {
        for (const std::string& file : gameFiles()) {
            std::error_code error;
            if (std::filesystem::is_regular_file(folder + file, error)) {
                return folder;
            }
        }
    }
    return std::nullopt;
}

void chooseDataFolder(const std::filesystem::path& executable)
{
    const std::vector<std::string> candidates = dataFolderCandidates(executable);
    if (const auto found = firstFolderWithGameFiles(candidates)) {
        libkub::setDataFolder(*found);
        return;
    }
    libkub::reportProblem("data files", "none of the game's files in " + listOfFolders(candidates));
    libkub::setDataFolder("data/");
}

std::filesystem::path runningExecutable(const char* fallback)
{
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return executable;
    }
    return std::filesystem::absolute(fallback != nullptr ? fallback : "", error);
}

} // namespace Kubora
