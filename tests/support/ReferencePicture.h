#pragma once
// Reading the drawn frame back and comparing it with a reference picture kept under tests/fixtures.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kubora::test {

// How far a frame may stray from its reference.
struct PictureTolerance {
    int channelLevels = 0;      // a channel may differ by this much anywhere
    double differingShare = 0.; // and this share of the pixels by more
};

// Vertex-buffer frames draw copies of one mesh instanced, their normals transformed along another path
// than the reference was. A channel may then differ by up to 2 levels anywhere (the same lighting
// computed from a normal a last bit off), and at most 0.1 % of the pixels (77 of 320 x 240) by more: a
// triangle edge exactly on a pixel centre may fall to the neighbouring pixel. A missing die, shadow or
// rim edge changes far more pixels than either allowance. (Frames compared with the exact frame use
// the picture bound of PictureBound.h instead.)
inline constexpr PictureTolerance instancedDrawTolerance{2, 0.001};

// The back buffer after the frame, RGB, top row first.
std::vector<std::uint8_t> readFrameTopDown(int width, int height);

// Compares a top-first RGB picture with the PNG at referencePath. With the environment variable
// writeVariable set, the picture is written as the new reference instead (and the result passes).
// On a mismatch the picture is written to the build folder under failureName.
testing::AssertionResult matchesReference(const std::vector<std::uint8_t>& picture, int width, int height,
                                          const std::string& referencePath, PictureTolerance tolerance,
                                          const char* writeVariable, const std::string& failureName);

} // namespace kubora::test
