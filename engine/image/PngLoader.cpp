#include "engine/image/PngLoader.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <new>

namespace libkub {

namespace {

// Everything the decoder touches lives here, in the caller's frame, so that a long jump out of
// libpng skips no destructor and leaves no local of the jumping frame in an undefined state.
struct ReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool headerRead = false;
    int width = 0;
    int height = 0;
    std::unique_ptr<std::uint8_t[]> pixels;
    std::unique_ptr<png_bytep[]> rows;
    bool outOfMemory = false;
    bool unsupported = false;
    char error[160] = {};
    char warning[160] = {}; // the last warning; libpng explains a refused header only through warnings
};

// libpng's messages are kept for the caller's one-line report instead of being printed.
void onPngError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<ReadState*>(png_get_error_ptr(png));
    std::snprintf(state->error, sizeof state->error, "%s", message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp png, png_const_charp message)
{
    auto* state = static_cast<ReadState*>(png_get_error_ptr(png));
    std::snprintf(state->warning, sizeof state->warning, "%s", message);
}

// The libpng calls proper. Every libpng error returns here through the long jump.
PngStatus decode(ReadState& state, std::FILE* file)
{
    if (setjmp(png_jmpbuf(state.png)) != 0) {
        return PngNotLoaded;
    }
    png_init_io(state.png, file);
    png_set_sig_bytes(state.png, 8);
    png_set_user_limits(state.png, pngMaxEdge, pngMaxEdge);
    png_read_info(state.png, state.info);

    const png_uint_32 width = png_get_image_width(state.png, state.info);
    const png_uint_32 height = png_get_image_height(state.png, state.info);
    const int bitDepth = png_get_bit_depth(state.png, state.info);
    const int colourType = png_get_color_type(state.png, state.info);
    state.width = static_cast<int>(width);
    state.height = static_cast<int>(height);
    state.headerRead = true;

    if ((colourType & PNG_COLOR_MASK_ALPHA) != 0) {
        png_set_strip_alpha(state.png);
    }
    if (bitDepth > 8) {
        png_set_strip_16(state.png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        if (bitDepth < 8) {
            png_set_expand_gray_1_2_4_to_8(state.png);
        }
        png_set_gray_to_rgb(state.png);
    }
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        // Expanding a palette also turns a transparency chunk into an alpha channel: drop it again.
        png_set_palette_to_rgb(state.png);
        if (png_get_valid(state.png, state.info, PNG_INFO_tRNS) != 0) {
            png_set_strip_alpha(state.png);
        }
    }
    png_set_interlace_handling(state.png);
    png_read_update_info(state.png, state.info);

    const std::size_t rowBytes = png_get_rowbytes(state.png, state.info);
    if (png_get_channels(state.png, state.info) != 3 || png_get_bit_depth(state.png, state.info) != 8 ||
        rowBytes != 3u * static_cast<std::size_t>(width)) {
        state.unsupported = true;
        return PngNotLoaded;
    }

    state.pixels.reset(new (std::nothrow) std::uint8_t[rowBytes * height]);
    if (!state.pixels) {
        state.outOfMemory = true;
        return PngOutOfMemory;
    }
    state.rows.reset(new (std::nothrow) png_bytep[height]);
    if (!state.rows) {
        state.pixels.reset();
        state.outOfMemory = true;
        return PngOutOfMemory;
    }
    // The file's first row goes to the end of the block: OpenGL expects the bottom row first.
    for (png_uint_32 k = 0; k < height; ++k) {
        state.rows[k] = state.pixels.get() + (height - 1 - k) * rowBytes;
    }
    png_read_image(state.png, state.rows.get());
    return PngLoaded;
}

std::string describeFailure(const ReadState& state, PngStatus status)
{
    if (status == PngOutOfMemory) {
        return "out of memory while decoding the PNG image";
    }
    if (state.unsupported) {
        return "PNG pixel format that does not convert to 8-bit RGB";
    }
    std::string text = "broken PNG data";
    if (state.error[0] != '\0') {
        text += std::string(" (") + state.error;
        if (state.warning[0] != '\0') {
            text += std::string(": ") + state.warning;
        }
        text += ")";
    }
    return text;
}

} // namespace

PngStatus loadPng(std::FILE* file, PngImage& image, std::string* reason)
{
    png_byte signature[8];
    if (std::fread(signature, 1, sizeof signature, file) != sizeof signature ||
        png_sig_cmp(signature, 0, sizeof signature) != 0) {
        if (reason != nullptr) {
            *reason = "not a PNG image";
        }
        return PngNotLoaded;
    }

    ReadState state;
    state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, onPngError, onPngWarning);
    if (state.png == nullptr) {
        if (reason != nullptr) {
            *reason = "out of memory while decoding the PNG image";
        }
        return PngOutOfMemory;
    }
    state.info = png_create_info_struct(state.png);
    if (state.info == nullptr) {
        png_destroy_read_struct(&state.png, nullptr, nullptr);
        if (reason != nullptr) {
            *reason = "out of memory while decoding the PNG image";
        }
        return PngOutOfMemory;
    }

    const PngStatus status = decode(state, file);
    png_destroy_read_struct(&state.png, &state.info, nullptr);

    if (state.headerRead) {
        image.width = state.width;
        image.height = state.height;
    }
    if (status == PngLoaded) {
        image.pixels = std::move(state.pixels);
    } else if (reason != nullptr) {
        *reason = describeFailure(state, status);
    }
    return status;
}

PngStatus loadPng(const std::string& path, PngImage& image, std::string* reason)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        if (reason != nullptr) {
            *reason = std::string("cannot be opened (") + std::strerror(errno) + ")";
        }
        return PngNotLoaded;
    }
    const PngStatus status = loadPng(file, image, reason);
    std::fclose(file);
    return status;
}

} // namespace libkub
