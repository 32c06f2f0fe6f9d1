#pragma once
// Comparisons many tests make: a vector within a tolerance, a colour exactly (as floats).
#include <gtest/gtest.h>

#include <string>

#include "engine/math/Color4f.h"
#include "engine/math/Vector3f.h"

namespace kubora::test {

inline void expectNear(const libkub::Vector3f& actual, const libkub::Vector3f& expected, float within = 1e-4f,
                       const std::string& what = "")
{
    EXPECT_NEAR(actual.x, expected.x, within) << what;
    EXPECT_NEAR(actual.y, expected.y, within) << what;
    EXPECT_NEAR(actual.z, expected.z, within) << what;
}

inline void expectColour(const libkub::Color4f& actual, const libkub::Color4f& expected,
                         const std::string& what = "")
{
    EXPECT_FLOAT_EQ(actual.r, expected.r) << what;
    EXPECT_FLOAT_EQ(actual.g, expected.g) << what;
    EXPECT_FLOAT_EQ(actual.b, expected.b) << what;
    EXPECT_FLOAT_EQ(actual.a, expected.a) << what;
}

} // namespace kubora::test
