#include "engine/image/PngWriter.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <vector>

namespace libkub {

namespace {

void onWriteError(png_structp png, png_const_charp message)
{
    auto* text = static_cast<char*>(png_get_error_ptr(png));
    std::snprintf(text, 160, "%s", message);
    png_longjmp(png, 1);
}

void onWriteWarning(png_structp, png_const_charp) {}

// Only trivially destructible locals here: libpng errors long-jump back into this frame.
bool encode(png_structp png, png_infop info, std::FILE* file, int width, int height, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool writePng(const std::string& path, int width, int height, const std::uint8_t* bottomUpRgb,
              std::string* reason)
{
    if (width <= 0 || height <= 0) {
        if (reason != nullptr) {
            *reason = "an empty picture cannot be written";
        }
        return false;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (int k = 0; k < height; ++k) {
        rows[static_cast<std::size_t>(k)] = const_cast<png_bytep>(bottomUpRgb) + (height - 1 - k) * rowBytes;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        if (reason != nullptr) {
            *reason = std::string("cannot be created (") + std::strerror(errno) + ")";
        }
        return false;
    }
    char error[160] = "out of memory";
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, error, onWriteError, onWriteWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool written = info != nullptr && encode(png, info, file, width, height, rows.data());
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file) == 0;
    if ((!written || !closed) && reason != nullptr) {
        *reason = written ? std::string("cannot be written (") + std::strerror(errno) + ")"
                          : std::string("cannot be encoded (") + error + ")";
    }
    return written && closed;
}

} // namespace libkub
