#pragma once
// Comparing a drawn frame with a reference picture kept under tests/fixtures, under the picture bound
// (PictureBound.h) with the edges of the exact frame drawn now: one level anywhere, never none (the
// reference may come from another Mesa, which rounds a few pixels by a level), and beyond that only
// edge pixels, at most the bound's share of all the frame's edge pixels.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/PictureBound.h"

namespace kubora::test {

// Compares the frame with the PNG at referencePath, with the edge map of the exact frame of the same
// scene. With the environment variable writeVariable set, the frame is written as the new reference
// instead (and the result passes). On a mismatch the frame is written to the build folder under
// failureName.
testing::AssertionResult matchesReference(const Frame& frame, const EdgeMap& edges,
                                          const std::string& referencePath, const char* writeVariable,
                                          const std::string& failureName);

} // namespace kubora::test
