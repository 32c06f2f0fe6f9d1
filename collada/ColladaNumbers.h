#pragma once
// Reading the numbers of element text and attributes. Numbers are separated by XML white space;
// a token that is not a number (or is out of range) is counted as bad and read as a fixed value,
// so the positions of the numbers after it stay where the document put them.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace libkub {

// A bad index reads as this: past the end of any data.
inline constexpr std::uint32_t badIndex = 0xFFFFFFFFu;

// Appends the floats of the text (bad tokens read as 0); returns the number of bad tokens.
std::size_t appendFloats(std::string_view text, std::vector<float>& out);

// Appends the unsigned 32-bit integers of the text (bad tokens read as badIndex); returns the
// number of bad tokens.
std::size_t appendUnsigned(std::string_view text, std::vector<std::uint32_t>& out);

// One number filling the whole text (surrounding white space allowed), or nothing.
std::optional<std::uint64_t> parseUnsigned64(std::string_view text);
std::optional<std::int32_t> parseInt32(std::string_view text);

} // namespace libkub
