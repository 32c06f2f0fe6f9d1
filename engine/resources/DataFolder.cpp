#include "engine/resources/DataFolder.h"

#include <utility>

namespace libkub {

namespace {

std::string& currentFolder()
{
    static std::string folder = "data/";
    return folder;
}

} // namespace

const std::string& dataFolder()
{
    return currentFolder();
}

void setDataFolder(std::string folder)
{
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    currentFolder() = std::move(folder);
}

std::string dataFile(const std::string& name)
{
    return currentFolder() + name;
}

} // namespace libkub
