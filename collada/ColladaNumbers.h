#pragma once
// Reading the numbers of element text and attributes. Numbers are separated by XML white space;
// a token that is not a number (or is out of range) is counted as bad and read as a fixed value,
// so the positions of the numbers after it stay where the document put them. Texts are
// zero-terminated (as libxml2 keeps them), which spares measuring megabytes of numbers first; where
// the text is known to go on (TextLookahead), a token's digits are read eight at a time.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "collada/DigitWords.h"
#include "collada/TextLookahead.h"

namespace libkub {

// A bad index reads as this: past the end of any data.
inline constexpr std::uint32_t badIndex = 0xFFFFFFFFu;

// Appends the floats of the text (bad tokens read as 0); returns the number of bad tokens.
std::size_t appendFloats(const char* text, std::vector<float>& out);

// Appends the unsigned 32-bit integers of the text (bad tokens read as badIndex); returns the
// number of bad tokens.
std::size_t appendUnsigned(const char* text, std::vector<std::uint32_t>& out);

// One number filling the whole text (surrounding white space allowed), or nothing.
std::optional<std::uint64_t> parseUnsigned64(std::string_view text);
std::optional<std::int32_t> parseInt32(std::string_view text);

namespace numbers {

inline bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

inline const char* skipSpace(const char* p)
{
    while (isSpace(*p)) {
        ++p;
    }
    return p;
}

inline const char* tokenEnd(const char* p)
{
    while (*p != '\0' && !isSpace(*p)) {
        ++p;
    }
    return p;
}

// Reads an unsigned number starting at p (an optional '+', then digits) and returns the end of
// its token; `good` tells whether the whole token was a number of at most 2^32 - 1.
inline const char* readUnsigned32(const char* p, std::uint32_t& value, bool& good)
{
    if (*p == '+') {
        ++p;
    }
    const char* digits = p;
    std::uint64_t result = 0;
    for (; static_cast<unsigned>(*p - '0') <= 9 && p - digits < 19; ++p) {
        result = result * 10 + static_cast<unsigned>(*p - '0');
    }
    good = p != digits && (*p == '\0' || isSpace(*p)) && result <= 0xFFFFFFFFu;
    value = static_cast<std::uint32_t>(result);
    return good ? p : tokenEnd(p);
}

// readUnsigned32 for a token whose first TextLookahead::span bytes are text: the digits are found
// and converted a word at a time. Tokens of 16 digits or more, with a sign, or not ended by white
// space are left to readUnsigned32, which decides every token the same way.
inline const char* readUnsigned32Words(const char* p, std::uint32_t& value, bool& good)
{
    const std::uint64_t first = loadWord(p);
    const int firstDigits = leadingDigits(first);
    if (firstDigits > 0 && firstDigits < 8 && isSpace(p[firstDigits])) {
        value = digitsValue(first, firstDigits);
        good = true;
        return p + firstDigits;
    }
    if (firstDigits == 8) {
        const std::uint64_t second = loadWord(p + 8);
        const int secondDigits = leadingDigits(second);
        if (secondDigits < 8 && isSpace(p[8 + secondDigits])) {
            std::uint64_t result = digitsValue(first, 8);
            if (secondDigits > 0) {
                result = result * digitScale[secondDigits] + digitsValue(second, secondDigits);
            }
            if (result <= 0xFFFFFFFFu) {
                value = static_cast<std::uint32_t>(result);
                good = true;
                return p + 8 + secondDigits;
            }
        }
    }
    return readUnsigned32(p, value, good);
}

} // namespace numbers

// Calls take(value) for every number of the text in order; a bad token gives badIndex. Returns
// the number of bad tokens.
template <typename Take> std::size_t forEachUnsigned(const char* p, Take&& take)
{
    std::size_t bad = 0;
    numbers::TextLookahead ahead(p);
    while (*(p = numbers::skipSpace(p)) != '\0') {
        std::uint32_t value = 0;
        bool good = false;
        p = ahead.covers(p) ? numbers::readUnsigned32Words(p, value, good)
                            : numbers::readUnsigned32(p, value, good);
        if (!good) {
            value = badIndex;
            ++bad;
        }
        take(value);
    }
    return bad;
}

} // namespace libkub
