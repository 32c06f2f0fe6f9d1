#pragma once
// Writing small PNG files of any colour type through libpng, so tests make the images they read.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kubora::test {

struct PngPicture {
    int width = 0;
    int height = 0;
    int colourType = 2; // a PNG_COLOR_TYPE_* value; 2 is RGB
    int bitDepth = 8;
    // Packed rows exactly as stored in the file, top row first (16-bit samples big-endian).
    std::vector<std::uint8_t> rows;
    std::vector<std::array<std::uint8_t, 3>> palette;
    std::vector<std::uint8_t> transparency; // tRNS: alpha per palette entry
    bool interlaced = false;
};

// Writes the picture; false when the file cannot be created or libpng refuses the data.
bool writePng(const std::string& path, const PngPicture& picture);

// An 8-bit RGB picture from top-first RGB triples.
bool writeRgbPng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

// A fresh folder of this test process under the system's temporary folder, created on first use.
std::string temporaryFolder();

// The whole content of a file, or empty when it cannot be read.
std::vector<std::uint8_t> readFileBytes(const std::string& path);

// Writes bytes to a file; false on failure.
bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace kubora::test
