#include "engine/resources/ProgramCache.h"

namespace libkub {

ProgramCache& ProgramCache::instance()
{
    static ProgramCache cache;
    return cache;
}

ShaderProgram* ProgramCache::find(const std::string& passName) const
{
    const auto found = programs.find(passName);
    return found == programs.end() ? nullptr : found->second.get();
}

ShaderProgram& ProgramCache::obtain(const std::string& passName, const std::string& vertexFile,
                                    const std::string& fragmentFile)
{
    auto& slot = programs[passName];
    if (!slot) {
        slot = std::make_unique<ShaderProgram>(vertexFile, passName, fragmentFile);
        slot->link();
    }
    return *slot;
}

} // namespace libkub
