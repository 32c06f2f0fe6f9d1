#pragma once
// The process-wide store of model textures, one per image file name, made on first use.
#include <map>
#include <memory>
#include <string>

#include "engine/resources/Texture.h"

namespace libkub {

class TextureCache {
  public:
    // The one cache of the process, created on first use and never emptied.
    static TextureCache& instance();

    // The texture stored under the file name, or null.
    Texture* find(const std::string& fileName) const;
    // Stores the texture under the file name (replacing nothing: an existing entry is kept and returned).
    Texture& insert(const std::string& fileName, std::unique_ptr<Texture> texture);
    // The texture of the file, loaded from that file name the first time it is asked for.
    Texture& obtain(const std::string& fileName);
    // The GL name of a 1 x 1 white texture, made the first time it is asked for: bound for a model
    // without an image, it leaves the lit material colour as it is in every render mode.
    unsigned white();

  private:
    TextureCache() = default;
    std::map<std::string, std::unique_ptr<Texture>> textures;
    unsigned whiteName = 0;
};

} // namespace libkub
