#pragma once
// Writing frames read back from OpenGL as PNG files (8-bit RGB).
#include <cstdint>
#include <string>

namespace libkub {

// Writes width x height RGB pixels given bottom row first, as glReadPixels returns them with a pack
// alignment of 1; the file gets them top row first. False, with the reason, when it cannot be written.
bool writePng(const std::string& path, int width, int height, const std::uint8_t* bottomUpRgb,
              std::string* reason = nullptr);

} // namespace libkub
