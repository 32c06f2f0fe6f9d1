#pragma once
// Reading the numbers of element text and attributes. Numbers are separated by XML white space;
// a token that is not a number (or is out of range) is counted as bad and read as a fixed value,
// so the positions of the numbers after it stay where the document put them. Texts are
// zero-terminated (as libxml2 keeps them), which spares measuring megabytes of numbers first.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

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

} // namespace numbers

// Calls take(value) for every number of the text in order; a bad token gives badIndex. Returns
// the number of bad tokens.
template <typename Take> std::size_t forEachUnsigned(const char* p, Take&& take)
{
    std::size_t bad = 0;
    while (*(p = numbers::skipSpace(p)) != '\0') {
        std::uint32_t value = 0;
        bool good = false;
        p = numbers::readUnsigned32(p, value, good);
        if (!good) {
            value = badIndex;
            ++bad;
        }
        take(value);
    }
    return bad;
}

} // namespace libkub
