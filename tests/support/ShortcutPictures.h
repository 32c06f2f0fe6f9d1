#pragma once
// The one call through which the tests of the frame's shortcuts compare a frame with the frame it is
// held to, so that a change of the picture bound is made here once.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/PictureBound.h"

namespace kubora::test {

// The frame drawn with shortcuts against the reference (the exact frame, or the same scene drawn with
// another shortcut): within PictureBound::shortcuts; on failure both pictures are written under
// failureName (a .png name).
inline testing::AssertionResult shortcutFrameWithinBound(const Frame& reference, const Frame& frame,
                                                         const std::string& failureName)
{
    return withinBound(reference, frame, PictureBound::shortcuts, failureName);
}

} // namespace kubora::test
