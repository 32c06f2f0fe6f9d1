#include "collada/ColladaNumbers.h"

#include <charconv>
#include <cmath>

#include <fast_float/fast_float.h> // exact, correctly rounded decimal to float

namespace libkub {

namespace {

using numbers::isSpace;
using numbers::skipSpace;
using numbers::tokenEnd;

// The whole token as a float through the standard library; false when it is not a number or out
// of range. The reference for what a token means: the fast path below agrees with it on every
// token it accepts and hands everything else here.
bool readFloatSlow(const char* first, const char* last, float& value)
{
    if (*first == '+') {
        ++first;
        if (first == last || *first == '-' || *first == '+') {
            return false;
        }
    }
    const auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last;
}

// True when the digits before the exponent are all zeros: a zero that is truly zero, not a tiny
// number that rounded to it.
bool isZeroDecimal(const char* first, const char* last)
{
    for (; first != last && *first != 'e' && *first != 'E'; ++first) {
        if (*first >= '1' && *first <= '9') {
            return false;
        }
    }
    return true;
}

// Any float token through fast_float, exact and correctly rounded. Results at the edges of the
// float range (zero from a non-zero decimal, subnormal, infinite), which fast_float and the
// standard library report differently, are decided by the standard library, so that a token means
// what it always meant.
const char* readFloatGeneral(const char* start, float& value, bool& good)
{
    const char* p = start;
    if (*p == '+' && p[1] != '-' && p[1] != '+') {
        ++p; // fast_float takes no leading plus
    }
    // The token's own end bounds fast_float; a number never runs across white space.
    const char* last = tokenEnd(p);
    float result = 0.0f;
    const fast_float::from_chars_result read = fast_float::from_chars(p, last, result);
    if (read.ec == std::errc() && (*read.ptr == '\0' || isSpace(*read.ptr)) &&
        (std::isnormal(result) || (result == 0.0f && isZeroDecimal(p, read.ptr)))) {
        value = result;
        good = true;
        return read.ptr;
    }
    good = readFloatSlow(start, last, value);
    return last;
}

// Powers of ten that a float holds exactly.
constexpr float exactPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// Reads the float token starting at p; returns the end of the token, and `good` tells whether the
// whole token was a number. What exporters write (plain decimals of up to 7 significant digits,
// small exponents) is one exact float operation on an exact mantissa and an exact power of ten, which IEEE
// arithmetic rounds correctly: the same float fast_float gives, in two thirds of its instructions (measured
// with callgrind on the benchmark's 1.35 million numbers). Every other token goes to fast_float.
const char* readFloat(const char* p, float& value, bool& good)
{
    const char* start = p;
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    // Leading zeros add nothing to the mantissa, so all digits go in; more than 19 may overflow,
    // and such tokens go to fast_float.
    std::uint64_t mantissa = 0;
    int digits = 0;
    int exponent = 0;
    for (; static_cast<unsigned>(*p - '0') <= 9; ++p, ++digits) {
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    }
    if (*p == '.') {
        ++p;
        const char* fraction = p;
        for (; static_cast<unsigned>(*p - '0') <= 9; ++p) {
            mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        }
        exponent = static_cast<int>(fraction - p);
        digits += static_cast<int>(p - fraction);
    }
    bool fast = digits > 0 && digits <= 19;
    if (*p == 'e' || *p == 'E') {
        ++p;
        bool negativeExponent = false;
        if (*p == '-' || *p == '+') {
            negativeExponent = *p == '-';
            ++p;
        }
        int written = 0;
        const char* exponentDigits = p;
        for (; static_cast<unsigned>(*p - '0') <= 9; ++p) {
            if (written < 10000) {
                written = written * 10 + (*p - '0');
            }
        }
        fast = fast && p != exponentDigits;
        exponent += negativeExponent ? -written : written;
    }
    if (fast && (*p == '\0' || isSpace(*p)) && mantissa <= (1u << 24) && exponent >= -10 && exponent <= 10) {
        float result = static_cast<float>(mantissa);
        result = exponent < 0 ? result / exactPowersOfTen[-exponent] : result * exactPowersOfTen[exponent];
        value = negative ? -result : result;
        good = true;
        return p;
    }
    return readFloatGeneral(start, value, good);
}

// readFloat for a token whose first TextLookahead::span bytes are text, taking the shape exporters
// write most (an optional minus, then at most 8 digits with at most one point among them, then
// white space) from the token's first two words without a load that waits on another: the token's
// end, its sign and its point are found by byte tests on the words, the point is squeezed out, and
// the digits left are converted in one step. The result is readFloat's exact float operation.
// Every other shape is left to readFloat.
const char* readFloatWords(const char* start, float& value, bool& good)
{
    const std::uint64_t first = numbers::loadWord(start);
    const std::uint64_t second = numbers::loadWord(start + 8);
    int length = numbers::bytesBeforeBlank(first);
    if (length == 8) {
        length += numbers::bytesBeforeBlank(second);
    }
    const bool negative = (first & 0xFF) == '-';
    const int sign = negative ? 1 : 0;
    // The eight bytes after the sign, and whether the token has its point among them.
    const std::uint64_t body = negative ? (first >> 8) | (second << 56) : first;
    const int bodyLength = length - sign;
    const int point = numbers::firstByteEqual(body, '.');
    const bool hasPoint = point < 8 && point < bodyLength;
    const int digits = bodyLength - (hasPoint ? 1 : 0);
    if (digits >= 1 && digits <= 8 && isSpace(start[length])) {
        // The bytes after the point move down over it, and the byte after the eight comes in on top.
        std::uint64_t packed = body;
        if (hasPoint) {
            const std::uint64_t below = (std::uint64_t{1} << (8 * point)) - 1;
            const std::uint64_t next = negative ? second >> 8 : second;
            packed = (body & below) | ((body >> 8) & ~below) | (next << 56);
        }
        const std::uint32_t mantissa = numbers::digitsValue(packed, digits);
        if (numbers::leadingDigits(packed) >= digits && mantissa <= (1u << 24)) {
            const int fractionDigits = hasPoint ? digits - point : 0;
            const float result = static_cast<float>(mantissa) / exactPowersOfTen[fractionDigits];
            value = negative ? -result : result;
            good = true;
            return start + length;
        }
    }
    return readFloat(start, value, good);
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::size_t appendFloats(const char* p, std::vector<float>& out)
{
    // Numbers gather in a small local block and join the list a block at a time, so the inner
    // loop keeps its write position in a register.
    constexpr std::size_t blockSize = 256;
    float block[blockSize];
    std::size_t filled = 0;
    std::size_t bad = 0;
    numbers::TextLookahead ahead(p);
    while (*(p = skipSpace(p)) != '\0') {
        float value = 0.0f;
        bool good = false;
        p = ahead.covers(p) ? readFloatWords(p, value, good) : readFloat(p, value, good);
        if (!good) {
            value = 0.0f;
            ++bad;
        }
        block[filled++] = value;
        if (filled == blockSize) {
            out.insert(out.end(), block, block + filled);
            filled = 0;
        }
    }
    out.insert(out.end(), block, block + filled);
    return bad;
}

std::size_t appendUnsigned(const char* text, std::vector<std::uint32_t>& out)
{
    return forEachUnsigned(text, [&](std::uint32_t value) { out.push_back(value); });
}

std::optional<std::uint64_t> parseUnsigned64(std::string_view text)
{
    text = trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 19) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : text) {
        if (static_cast<unsigned>(c - '0') > 9) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

std::optional<std::int32_t> parseInt32(std::string_view text)
{
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::optional<std::uint64_t> magnitude = parseUnsigned64(text);
    if (!magnitude || text.empty() || !(text.front() >= '0' && text.front() <= '9') ||
        *magnitude > (negative ? 2147483648u : 2147483647u)) {
        return std::nullopt;
    }
    return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(*magnitude))
                    : static_cast<std::int32_t>(*magnitude);
}

} // namespace libkub
