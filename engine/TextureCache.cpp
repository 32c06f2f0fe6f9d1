#include "engine/TextureCache.h"

namespace libkub {

TextureCache& TextureCache::instance()
{
    static TextureCache cache;
    return cache;
}

Texture* TextureCache::find(const std::string& fileName) const
{
    const auto found = textures.find(fileName);
    return found == textures.end() ? nullptr : found->second.get();
}

Texture& TextureCache::insert(const std::string& fileName, std::unique_ptr<Texture> texture)
{
    auto& slot = textures[fileName];
    if (!slot) {
        slot = std::move(texture);
    }
    return *slot;
}

Texture& TextureCache::obtain(const std::string& fileName)
{
    if (Texture* texture = find(fileName)) {
        return *texture;
    }
    return insert(fileName, std::make_unique<Texture>(fileName, fileName));
}

} // namespace libkub
