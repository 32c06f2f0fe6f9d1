#pragma once
// A 2D OpenGL texture made from one PNG file, with the game's fixed sampling parameters.
#include <cstdint>
#include <string>

namespace libkub {

class Texture {
  public:
    // Decodes the file at path and uploads it; the GL context must be current. An image that cannot
    // be loaded is reported on standard error and replaced by a small magenta and black checkerboard,
    // so that the object shows up plainly instead of drawing black.
    Texture(std::string name, const std::string& path);
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    int width = 0;
    int height = 0;
    unsigned textureName = 0;    // never deleted: it lives as long as the context
    std::string name;            // the key the texture is known by
    std::int32_t loadStatus = 0; // the PngStatus of the load
};

// Deletes GL textures and counts them. GL may hand a deleted texture's name out again for another
// texture: whoever keeps facts about a texture by its name forgets them once the count has changed.
// Every texture the program deletes goes through here.
void deleteTextures(int count, const unsigned* names);
std::uint64_t texturesDeleted();

// The image uploaded in place of one that cannot be loaded: placeholderEdge x placeholderEdge RGB
// pixels in squares of magenta and black.
inline constexpr int placeholderEdge = 8;

} // namespace libkub
