#pragma once
// The folder the game's fixed files (models, images, shader sources) are read from. It is "data/"
// in the working folder unless start-up finds the files elsewhere (beside an installed binary), so
// every loader asks here instead of spelling out the folder.
#include <string>

namespace libkub {

// The folder, ending in '/': "data/" until start-up chooses another.
const std::string& dataFolder();
// Sets the folder; a missing trailing '/' is added (an empty text means the working folder itself).
void setDataFolder(std::string folder);
// The path of one of the game's files, e.g. dataFile("tile.dae") is "data/tile.dae" by default.
std::string dataFile(const std::string& name);

} // namespace libkub
