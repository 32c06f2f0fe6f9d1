#pragma once
// Decoding PNG files into tightly packed 8-bit RGB rows in OpenGL's bottom-up order.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace libkub {

// Results of loadPng.
enum PngStatus : std::int32_t {
    PngNotLoaded = 0,   // cannot be opened, not a PNG, broken, or a format the loader cannot convert
    PngLoaded = 1,      // decoded
    PngOutOfMemory = 4, // the decoder or the pixel block could not be allocated
};

// Images wider or taller than this are refused: no texture the game uses comes near it, and a
// forged header must not make the loader allocate gigabytes.
inline constexpr int pngMaxEdge = 8192;

// The decoded picture: height rows of 3 x width bytes, row 0 being the bottom row of the picture.
struct PngImage {
    int width = 0;
    int height = 0;
    std::unique_ptr<std::uint8_t[]> pixels;
};

// Decodes the PNG file at path. Width and height are filled once the header has been read, the
// pixels only on success. Every input converts to 8-bit RGB: alpha is dropped, 16-bit samples are
// cut to 8, grey (of any depth) and palettes (with or without transparency) become RGB triples.
// When reason is given, a failure writes a short description of what went wrong into it.
PngStatus loadPng(const std::string& path, PngImage& image, std::string* reason = nullptr);

// The same over an open stream positioned at the start of the PNG data; the stream stays open.
PngStatus loadPng(std::FILE* file, PngImage& image, std::string* reason = nullptr);

} // namespace libkub
