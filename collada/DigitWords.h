#pragma once
// Digits eight at a time: eight bytes of a token are loaded as one 64-bit word, tested for digits
// all at once, and the leading digits converted with three multiply-and-shift steps instead of a
// multiply-add per digit. Plain C++ on 64-bit words, so it runs on any x86-64 (and elsewhere).
// Words may only be loaded where eight bytes are known to be there: see TextLookahead.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace libkub::numbers {

// Eight bytes from p, the first in the lowest byte of the word.
inline std::uint64_t loadWord(const char* p)
{
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    if constexpr (std::endian::native == std::endian::big) {
        word = __builtin_bswap64(word);
    }
    return word;
}

// How many digits ('0' to '9') the word starts with: 0 to 8, the first non-digit byte ending the run.
inline int leadingDigits(std::uint64_t word)
{
    // A byte is a digit when, xor '0', its high nibble is zero and its low nibble plus 6 does not
    // reach 16. Each test stays inside its byte (no carry crosses into the next one), so every
    // byte of `nonDigit` is zero exactly for a digit and the lowest non-zero byte is the run's end.
    constexpr std::uint64_t highNibbles = 0xF0F0F0F0F0F0F0F0u;
    const std::uint64_t x = word ^ 0x3030303030303030u;
    const std::uint64_t nonDigit = (x | ((x & ~highNibbles) + 0x0606060606060606u)) & highNibbles;
    return std::countr_zero(nonDigit) / 8; // 64 / 8 when all eight are digits
}

// How many bytes the word starts with before its first byte of at most ' ' (white space, the
// terminating zero, a control character): the length of a token that ends within the word, or 8.
inline int bytesBeforeBlank(std::uint64_t word)
{
    // Bytes of 0x80 and above are not blank; for the others, adding 0x5F reaches 0x80 exactly from
    // 0x21 on, without a carry into the next byte.
    constexpr std::uint64_t highBits = 0x8080808080808080u;
    const std::uint64_t notBlank = (((word & ~highBits) + 0x5F5F5F5F5F5F5F5Fu) | word) & highBits;
    return std::countr_zero(notBlank ^ highBits) / 8;
}

// The position of the first byte equal to c, or 8 when there is none.
inline int firstByteEqual(std::uint64_t word, char c)
{
    // Bytes equal to c become zero; a zero byte is the only one that, with its high bit cleared
    // and 0x7F added, stays below 0x80 while its own high bit is clear.
    constexpr std::uint64_t highBits = 0x8080808080808080u;
    const std::uint64_t x = word ^ (0x0101010101010101u * static_cast<unsigned char>(c));
    const std::uint64_t nonZero = (((x & ~highBits) + 0x7F7F7F7F7F7F7F7Fu) | x) & highBits;
    return std::countr_zero(nonZero ^ highBits) / 8;
}

// The value of the first `count` (1 to 8) bytes of the word, which are digits.
inline std::uint32_t digitsValue(std::uint64_t word, int count)
{
    // Shifting the digits to the top puts zeros in front of them, which keeps the value; the
    // bytes after them (and any borrow they cause in the subtraction) are shifted out.
    std::uint64_t v = (word - 0x3030303030303030u) << (64 - 8 * count);
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFu;            // pairs of digits, 0 to 99
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFu;          // fours, 0 to 9999
    return static_cast<std::uint32_t>(v * 10000 + (v >> 32)); // all eight
}

// 10^n for a run of n digits (0 to 8) appended to a number.
inline constexpr std::uint32_t digitScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

} // namespace libkub::numbers
