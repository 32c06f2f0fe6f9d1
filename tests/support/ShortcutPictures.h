#pragma once
// The one call through which the tests of the frame's shortcuts compare a frame with the frame it is
// held to, so that a change of the picture bound is made here once.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/PictureBound.h"

namespace kubora::test {

// The frame drawn with shortcuts against the exact frame: within PictureBound::shortcuts; on failure both
// pictures are written under failureName (a .png name).
inline testing::AssertionResult shortcutFrameWithinBound(const ExactFrame& exact, const Frame& frame,
                                                         const std::string& failureName)
{
    return withinBound(exact, frame, PictureBound::shortcuts, failureName);
}

// The same, held to another shortcut frame of the same scene (columns off, say) in place of the exact
// frame's picture, with the exact frame's edges.
inline testing::AssertionResult shortcutFrameWithinBound(const ExactFrame& exact, const Frame& reference,
                                                         const Frame& frame, const std::string& failureName)
{
    return withinBound(ExactFrame{reference, exact.edges}, frame, PictureBound::shortcuts, failureName);
}

} // namespace kubora::test
