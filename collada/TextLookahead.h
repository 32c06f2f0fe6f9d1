#pragma once
// Where a zero-terminated text may be read a word at a time. libxml2 keeps element text
// zero-terminated but not padded: a word loaded across the terminating zero can reach past the end
// of its allocation (a fault at the end of a page, an error under AddressSanitizer). The lookahead
// measures the text a window ahead of the reader (strnlen over a few kilobytes, which also brings
// those bytes into the cache just before the reader takes them), and says whether the `span` bytes
// from a token's start all lie before the zero. Only then is the token read in words; the last
// bytes of a text are read byte by byte. Measuring the whole text first would be a second pass
// over megabytes of it.
#include <cstddef>
#include <cstring>

namespace libkub::numbers {

class TextLookahead {
  public:
    // How many bytes from a token's start a word-at-a-time reader may touch.
    static constexpr std::ptrdiff_t span = 32;

    explicit TextLookahead(const char* text) : known_(text) {}

    // True when the span bytes from p (a position inside the text, at most its terminating zero)
    // are all text.
    bool covers(const char* p) { return known_ - p >= span || measureFrom(p); }

  private:
    static constexpr std::size_t window = 4096;

    bool measureFrom(const char* p)
    {
        if (reachedEnd_) {
            return false;
        }
        const std::size_t length = strnlen(p, window);
        known_ = p + length;
        reachedEnd_ = length < window;
        return static_cast<std::ptrdiff_t>(length) >= span;
    }

    const char* known_; // every byte before it is text, not the terminating zero
    bool reachedEnd_ = false;
};

} // namespace libkub::numbers
