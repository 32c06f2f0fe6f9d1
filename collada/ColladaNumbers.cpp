#include "collada/ColladaNumbers.h"

#include <charconv>
#include <limits>

namespace libkub {

namespace {

inline bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Calls take(token) for every white-space separated token.
template <typename Take> void forEachToken(std::string_view text, Take take)
{
    const char* p = text.data();
    const char* end = p + text.size();
    while (true) {
        while (p != end && isSpace(*p)) {
            ++p;
        }
        if (p == end) {
            return;
        }
        const char* start = p;
        while (p != end && !isSpace(*p)) {
            ++p;
        }
        take(start, p);
    }
}

bool readFloat(const char* first, const char* last, float& value)
{
    if (*first == '+') {
        ++first;
        if (first == last || *first == '-' || *first == '+') {
            return false;
        }
    }
    auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last;
}

bool readUnsigned(const char* first, const char* last, std::uint64_t limit, std::uint64_t& value)
{
    if (*first == '+') {
        ++first;
    }
    if (first == last) {
        return false;
    }
    std::uint64_t result = 0;
    for (; first != last; ++first) {
        const unsigned digit = static_cast<unsigned char>(*first) - '0';
        if (digit > 9) {
            return false;
        }
        if (result > (limit - digit) / 10) {
            return false;
        }
        result = result * 10 + digit;
    }
    value = result;
    return true;
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

std::size_t appendFloats(std::string_view text, std::vector<float>& out)
{
    std::size_t bad = 0;
    forEachToken(text, [&](const char* first, const char* last) {
        float value = 0.0f;
        if (!readFloat(first, last, value)) {
            value = 0.0f;
            ++bad;
        }
        out.push_back(value);
    });
    return bad;
}

std::size_t appendUnsigned(std::string_view text, std::vector<std::uint32_t>& out)
{
    std::size_t bad = 0;
    forEachToken(text, [&](const char* first, const char* last) {
        std::uint64_t value = 0;
        if (!readUnsigned(first, last, std::numeric_limits<std::uint32_t>::max(), value)) {
            value = badIndex;
            ++bad;
        }
        out.push_back(static_cast<std::uint32_t>(value));
    });
    return bad;
}

std::optional<std::uint64_t> parseUnsigned64(std::string_view text)
{
    text = trim(text);
    std::uint64_t value = 0;
    if (text.empty() || !readUnsigned(text.data(), text.data() + text.size(),
                                      std::numeric_limits<std::uint64_t>::max(), value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int32_t> parseInt32(std::string_view text)
{
    text = trim(text);
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    std::uint64_t value = 0;
    const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    if (text.empty() || !readUnsigned(text.data(), text.data() + text.size(), limit, value)) {
        return std::nullopt;
    }
    return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value))
                    : static_cast<std::int32_t>(value);
}

} // namespace libkub
