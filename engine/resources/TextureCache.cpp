#include "engine/resources/TextureCache.h"

#include <GL/glew.h>

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

unsigned TextureCache::white()
{
    if (whiteName == 0) {
        const GLubyte pixel[3] = {255, 255, 255};
        glGenTextures(1, &whiteName);
        glBindTexture(GL_TEXTURE_2D, whiteName);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        // As for every model texture: it multiplies the lit colour (white leaves it unchanged).
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(GL_MODULATE));
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    }
    return whiteName;
}

} // namespace libkub
