#include "engine/resources/Texture.h"

#include <GL/glew.h>

#include <utility>

#include "engine/resources/Diagnostics.h"
#include "engine/image/PngLoader.h"

namespace libkub {

namespace {

PngImage placeholderImage()
{
    PngImage image;
    image.width = placeholderEdge;
    image.height = placeholderEdge;
    image.pixels = std::make_unique<std::uint8_t[]>(placeholderEdge * placeholderEdge * 3);
    for (int y = 0; y < placeholderEdge; ++y) {
        for (int x = 0; x < placeholderEdge; ++x) {
            std::uint8_t* pixel = image.pixels.get() + (y * placeholderEdge + x) * 3;
            const bool magenta = ((x / 2) + (y / 2)) % 2 == 0;
            pixel[0] = magenta ? 255 : 0;
            pixel[1] = 0;
            pixel[2] = magenta ? 255 : 0;
        }
    }
    return image;
}

} // namespace

Texture::Texture(std::string textureKey, const std::string& path) : name(std::move(textureKey))
{
    PngImage image;
    std::string reason;
    loadStatus = loadPng(path, image, &reason);
    if (loadStatus != PngLoaded) {
        reportProblem(path, reason + "; drawing a placeholder texture instead");
        image = placeholderImage();
    }
    width = image.width;
    height = image.height;

    glGenTextures(1, &textureName);
    glBindTexture(GL_TEXTURE_2D, textureName);
    // Rows are 3 x width bytes, not padded to 4; this alignment stays in force for later uploads.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // The texture multiplies the lit material colour. This is state of the active texture unit.
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(GL_MODULATE));
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, image.pixels.get());
}

namespace {
std::uint64_t deletedTextures = 0;
} // namespace

void deleteTextures(int count, const unsigned* names)
{
    glDeleteTextures(count, names);
    deletedTextures += static_cast<std::uint64_t>(count);
}

std::uint64_t texturesDeleted()
{
    return deletedTextures;
}

} // namespace libkub
