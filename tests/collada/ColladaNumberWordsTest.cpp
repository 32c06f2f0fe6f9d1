// Numbers read a word at a time: the byte tests on 64-bit words agree with byte-by-byte tests for
// every byte at every position, and whole texts read exactly as a token-by-token reference reads
// them (tokens of every length, at word and window boundaries, at the very end of an unpadded
// text, with stray, control and high-bit bytes anywhere).
#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "collada/ColladaNumbers.h"
#include "collada/DigitWords.h"

using namespace libkub;

namespace {

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::vector<std::string> tokensOf(const std::string& text)
{
    std::vector<std::string> tokens;
    std::string token;
    for (char c : text) {
        if (isSeparator(c)) {
            if (!token.empty()) {
                tokens.push_back(token);
            }
            token.clear();
        } else {
            token += c;
        }
    }
    if (!token.empty()) {
        tokens.push_back(token);
    }
    return tokens;
}

// The reference for an index: an optional plus, 1 to 19 digits, at most 2^32 - 1.
std::uint32_t referenceUnsigned(const std::string& token, bool& good)
{
    const std::size_t first = !token.empty() && token[0] == '+' ? 1 : 0;
    const std::size_t digits = token.size() - first;
    good = digits >= 1 && digits <= 19;
    std::uint64_t value = 0;
    for (std::size_t i = first; good && i < token.size(); ++i) {
        good = isDigit(static_cast<unsigned char>(token[i]));
        value = value * 10 + static_cast<unsigned>(token[i] - '0');
    }
    good = good && value <= 0xFFFFFFFFu;
    return good ? static_cast<std::uint32_t>(value) : badIndex;
}

// The reference for a float: from_chars over the whole token (a leading plus allowed once).
float referenceFloat(const std::string& token, bool& good)
{
    const char* first = token.data();
    const char* last = first + token.size();
    if (*first == '+') {
        ++first;
        if (first == last || *first == '+' || *first == '-') {
            good = false;
            return 0.0f;
        }
    }
    float value = 0.0f;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    good = ec == std::errc() && ptr == last;
    return good ? value : 0.0f;
}

// The text in a heap block of exactly its length and the zero, so that reading past the end is
// caught by AddressSanitizer.
std::unique_ptr<char[]> unpadded(const std::string& text)
{
    auto block = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(block.get(), text.c_str(), text.size() + 1);
    return block;
}

// Both readers over the text agree with the references token by token.
void expectReadsLikeReference(const std::string& text)
{
    const std::vector<std::string> tokens = tokensOf(text);
    const std::unique_ptr<char[]> block = unpadded(text);

    std::vector<std::uint32_t> indices;
    const std::size_t badIndices = appendUnsigned(block.get(), indices);
    std::vector<float> floats;
    const std::size_t badFloats = appendFloats(block.get(), floats);
    ASSERT_EQ(indices.size(), tokens.size()) << text;
    ASSERT_EQ(floats.size(), tokens.size()) << text;
    std::size_t expectedBadIndices = 0;
    std::size_t expectedBadFloats = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        bool good = false;
        EXPECT_EQ(indices[i], referenceUnsigned(tokens[i], good)) << "token \"" << tokens[i] << "\"";
        expectedBadIndices += good ? 0 : 1;
        const float expected = referenceFloat(tokens[i], good);
        EXPECT_EQ(std::memcmp(&floats[i], &expected, sizeof(float)), 0)
            << "token \"" << tokens[i] << "\" read as " << floats[i] << ", not " << expected;
        expectedBadFloats += good ? 0 : 1;
    }
    EXPECT_EQ(badIndices, expectedBadIndices) << text;
    EXPECT_EQ(badFloats, expectedBadFloats) << text;
}

std::uint64_t wordOf(const unsigned char (&bytes)[8])
{
    char text[8];
    std::memcpy(text, bytes, 8);
    return numbers::loadWord(text);
}

} // namespace

TEST(ColladaNumberWords, ByteTestsAgreeWithByteByByteTestsForEveryByteAtEveryPosition)
{
    for (int position = 0; position < 8; ++position) {
        for (int byte = 0; byte < 256; ++byte) {
            unsigned char bytes[8] = {'1', '2', '3', '4', '5', '6', '7', '8'};
            bytes[position] = static_cast<unsigned char>(byte);
            const std::uint64_t word = wordOf(bytes);
            int digits = 0;
            while (digits < 8 && isDigit(bytes[digits])) {
                ++digits;
            }
            EXPECT_EQ(numbers::leadingDigits(word), digits) << byte << " at " << position;
            int beforeBlank = 0;
            while (beforeBlank < 8 && bytes[beforeBlank] > ' ') {
                ++beforeBlank;
            }
            EXPECT_EQ(numbers::bytesBeforeBlank(word), beforeBlank) << byte << " at " << position;
            EXPECT_EQ(numbers::firstByteEqual(word, '.'), byte == '.' ? position : 8)
                << byte << " at " << position;
        }
    }
}

TEST(ColladaNumberWords, DigitRunsConvertAtEveryLength)
{
    const char* digits = "9876543210987654";
    for (int count = 1; count <= 8; ++count) {
        for (int offset = 0; offset + count <= 16 && offset + 8 <= 16; ++offset) {
            std::uint32_t expected = 0;
            for (int i = 0; i < count; ++i) {
                expected = expected * 10 + static_cast<std::uint32_t>(digits[offset + i] - '0');
            }
            EXPECT_EQ(numbers::digitsValue(numbers::loadWord(digits + offset), count), expected)
                << count << " digits at " << offset;
        }
    }
}

TEST(ColladaNumberWords, DigitRunsOfEveryLengthAtEveryAlignment)
{
    // Runs of 1 to 20 digits (the limits of both readers lie at 8, 10, 16 and 19), with and without
    // a sign and a point, shifted by 0 to 7 bytes, in the middle of a text and as its last bytes.
    for (int length = 1; length <= 20; ++length) {
        std::string run;
        for (int i = 0; i < length; ++i) {
            run += static_cast<char>('1' + (i * 7) % 9);
        }
        const std::string shapes[] = {run,         "+" + run,
                                      "-" + run,   run.substr(0, length / 2) + "." + run.substr(length / 2),
                                      "-0." + run, std::string(static_cast<std::size_t>(length), '0'),
                                      run + ".",   "." + run};
        for (const std::string& token : shapes) {
            for (int shift = 0; shift < 8; ++shift) {
                const std::string lead(static_cast<std::size_t>(shift), ' ');
                expectReadsLikeReference(lead + token);
                expectReadsLikeReference(lead + token + " 7");
                expectReadsLikeReference(lead + "1 " + token + "\n" + token + "\t");
            }
        }
    }
}

TEST(ColladaNumberWords, StrayBytesAtEveryPositionOfAToken)
{
    // Every byte value but the terminating zero, at each of the first 18 positions of tokens that
    // the word readers take whole: the token becomes bad, shorter or split, as the reference says.
    const std::string tokens[] = {"123456789012345678", "-0.123456789012345", "4294967295123456"};
    for (const std::string& token : tokens) {
        for (std::size_t position = 0; position < token.size(); ++position) {
            for (int byte = 1; byte < 256; ++byte) {
                std::string changed = token;
                changed[position] = static_cast<char>(byte);
                expectReadsLikeReference(changed + " 5 " + changed);
            }
        }
    }
}

TEST(ColladaNumberWords, RandomTextsAcrossTheLookaheadWindow)
{
    // Long texts of short pieces, so that tokens straddle every word boundary and the kilobyte
    // windows the reader measures ahead; each ends without padding.
    const char* pieces[] = {"0",    "7",  "42",       "1234567", "89012345", ".",    ".5",
                            "-",    "+",  "e",        "E3",      "e-",       " ",    " ",
                            " ",    "\t", "\n",       "\r\n",    "\x01",     "\x0b", "\xff",
                            "\x80", "x",  "00000000", "3.14159", "-0.0001"};
    std::mt19937 random(18);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> size(1, 10000);
    for (int text = 0; text < 60; ++text) {
        std::string content;
        const int length = size(random);
        while (static_cast<int>(content.size()) < length) {
            content += pieces[pick(random)];
        }
        expectReadsLikeReference(content);
    }
}
