#pragma once
// Finding the game's files at start-up: data/ in the working folder, as always; when that does not
// hold them, the folders beside the executable where a build or an installation puts them.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace Kubora {

// The folders to try, in order, each ending in '/': "data/", then <executable's folder>/../data/ (the
// source tree of a build folder), <executable's folder>/../share/kubora/ (a prefix laid out like other
// programs) and <executable's folder>/../share/games/kubora/ (the games layout of the installed
// package: /usr/games/kubora reads /usr/share/games/kubora/). Folders that name the same place appear once.
std::vector<std::string> dataFolderCandidates(const std::filesystem::path& executable);

// The first candidate that holds at least one of the game's files. One file is enough: a damaged
// folder is still the game's folder, and its missing files are then named one by one by their loaders.
std::optional<std::string> firstFolderWithGameFiles(const std::vector<std::string>& candidates);

// The folders as one phrase for a console line: "a, b or c".
std::string listOfFolders(const std::vector<std::string>& folders);

// Points the loaders at the folder found for this executable. When none holds the game's files, one
// line says where it looked and the loaders keep "data/", so the game runs on with an empty world.
void chooseDataFolder(const std::filesystem::path& executable);

// This process's executable (from /proc/self/exe), or the given fallback (argv[0]) where that fails.
std::filesystem::path runningExecutable(const char* fallback);

} // namespace Kubora
