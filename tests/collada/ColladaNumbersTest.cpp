// Number reading: the fast decimal path rounds exactly as from_chars does, and bad tokens keep
// their places with defined values.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "collada/ColladaNumbers.h"

using namespace libkub;

TEST(ColladaNumbers, FloatsRoundExactlyLikeFromChars)
{
    // Decimals as exporters print them (%g with 1 to 9 digits, fixed and scientific), each
    // compared bit for bit with the correctly rounded reading.
    std::mt19937 random(1234);
    std::uniform_real_distribution<double> magnitude(-8.0, 8.0);
    std::uniform_int_distribution<int> precision(1, 9);
    std::string text;
    std::vector<float> expected;
    char buffer[64];
    for (int i = 0; i < 200000; ++i) {
        const double value = std::pow(10.0, magnitude(random)) * (i % 2 == 0 ? 1 : -1);
        const char* format = i % 3 == 0 ? "%.*e" : (i % 3 == 1 ? "%.*g" : "%.*f");
        const int length = std::snprintf(buffer, sizeof buffer, format, precision(random), value);
        float correct = 0.0f;
        std::from_chars(buffer, buffer + length, correct);
        expected.push_back(correct);
        text.append(buffer, static_cast<std::size_t>(length));
        text += i % 7 == 0 ? "\n\t" : " ";
    }
    std::vector<float> read;
    EXPECT_EQ(appendFloats(text.c_str(), read), 0u);
    ASSERT_EQ(read.size(), expected.size());
    std::size_t differences = 0;
    for (std::size_t i = 0; i < read.size(); ++i) {
        differences += std::memcmp(&read[i], &expected[i], sizeof(float)) != 0 ? 1 : 0;
    }
    EXPECT_EQ(differences, 0u);
}

TEST(ColladaNumbers, TokensAtTheEdgesOfTheFloatRangeReadAsFromCharsReadsThem)
{
    // Zeros, subnormals, underflow and overflow, where converters differ in what they report.
    const char* tokens[] = {"0",      "-0",      "0.000",   "0e999",      "000.000e-5",   "1e-38",  "1.2e-38",
                            "1e-40",  "1.4e-45", "1e-46",   "1e-50",      "3.4028235e38", "3.5e38", "1e39",
                            "-1e-50", "-1e-40",  "1e-4000", "0.0000e+12", "nan",          "-inf"};
    for (const char* token : tokens) {
        std::vector<float> read;
        const std::size_t bad = appendFloats(token, read);
        float expected = 0.0f;
        const auto [ptr, ec] = std::from_chars(token, token + std::strlen(token), expected);
        const bool good = ec == std::errc() && *ptr == '\0';
        ASSERT_EQ(read.size(), 1u) << token;
        EXPECT_EQ(bad, good ? 0u : 1u) << token;
        if (!good) {
            expected = 0.0f;
        }
        if (std::isnan(expected)) {
            EXPECT_TRUE(std::isnan(read[0])) << token;
        } else {
            EXPECT_EQ(std::memcmp(&read[0], &expected, sizeof(float)), 0) << token << " read as " << read[0];
        }
    }
}

TEST(ColladaNumbers, FloatTokensOfEveryShape)
{
    std::vector<float> read;
    const std::size_t bad = appendFloats(" 1 +2 -3 .5 5. 1e3 1E-3 -0 0.0000001 16777217 123456789012 inf "
                                         "1,5 x 1e 1e999 - + -+1 0x10",
                                         read);
    ASSERT_EQ(read.size(), 20u);
    EXPECT_EQ((std::vector<float>(read.begin(), read.begin() + 11)),
              (std::vector<float>{1, 2, -3, 0.5f, 5, 1000, 0.001f, 0, 1e-7f, 16777216.0f, 123456789012.0f}));
    EXPECT_TRUE(std::signbit(read[7]));
    EXPECT_TRUE(std::isinf(read[11]));
    EXPECT_EQ(bad, 8u); // "1,5", "x", "1e", "1e999", "-", "+", "-+1", "0x10" (the last reads 0 and "x10")
    for (std::size_t i = 12; i < read.size(); ++i) {
        EXPECT_EQ(read[i], 0.0f) << i;
    }
}

TEST(ColladaNumbers, UnsignedTokensAndAttributes)
{
    std::vector<std::uint32_t> read;
    EXPECT_EQ(appendUnsigned("0 +7 4294967295 4294967296 -1 3x 99999999999999999999999 12", read), 4u);
    EXPECT_EQ(read,
              (std::vector<std::uint32_t>{0, 7, 4294967295u, badIndex, badIndex, badIndex, badIndex, 12}));
    EXPECT_EQ(appendUnsigned("", read), 0u);
    EXPECT_EQ(read.size(), 8u);

    EXPECT_EQ(parseUnsigned64(" 42 "), 42u);
    EXPECT_EQ(parseUnsigned64("+42"), 42u);
    EXPECT_EQ(parseUnsigned64("18446744073709551615"), std::nullopt); // 20 digits: beyond any count read
    EXPECT_EQ(parseUnsigned64("-1"), std::nullopt);
    EXPECT_EQ(parseUnsigned64("1 2"), std::nullopt);
    EXPECT_EQ(parseUnsigned64(""), std::nullopt);
    EXPECT_EQ(parseInt32("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(parseInt32("2147483648"), std::nullopt);
    EXPECT_EQ(parseInt32("-+5"), std::nullopt);
    EXPECT_EQ(parseInt32(" 3 "), 3);
}
