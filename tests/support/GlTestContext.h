#pragma once
// The OpenGL context shared by all tests of a *GLTest process, and helpers to read it back.
#include <cstdint>
#include <vector>

namespace kubora::test {

// Creates the process's hidden freeglut window (once) and makes its context current.
bool openGlTestContext(int& argc, char** argv);

// Size of the test window's drawable.
inline constexpr int glTestWindowWidth = 320;
inline constexpr int glTestWindowHeight = 240;

// RGB pixels of the current read buffer, bottom row first, as glReadPixels returns them.
std::vector<std::uint8_t> readPixelsRgb(int x, int y, int width, int height);

} // namespace kubora::test
