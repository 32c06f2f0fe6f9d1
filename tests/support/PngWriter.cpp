#include "tests/support/PngWriter.h"

#include <png.h>

#include <unistd.h> // getpid: one temporary folder per test process

#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kubora::test {

namespace {

// Only trivially destructible locals here: libpng errors long-jump back into this frame.
bool writeRows(png_structp png, png_infop info, std::FILE* file, const PngPicture& picture,
               std::vector<png_color>& colours, std::vector<png_bytep>& rowPointers)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height),
                 picture.bitDepth, picture.colourType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!colours.empty()) {
        png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    }
    if (!picture.transparency.empty()) {
        png_set_tRNS(png, info, picture.transparency.data(), static_cast<int>(picture.transparency.size()),
                     nullptr);
    }
    png_write_info(png, info);
    png_set_interlace_handling(png);
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool writePng(const std::string& path, const PngPicture& picture)
{
    if (picture.height <= 0 || picture.rows.size() % static_cast<std::size_t>(picture.height) != 0) {
        return false;
    }
    const std::size_t rowBytes = picture.rows.size() / static_cast<std::size_t>(picture.height);
    std::vector<png_bytep> rowPointers;
    for (int y = 0; y < picture.height; ++y) {
        rowPointers.push_back(const_cast<png_bytep>(picture.rows.data()) + y * rowBytes);
    }
    std::vector<png_color> colours;
    for (const auto& entry : picture.palette) {
        colours.push_back({entry[0], entry[1], entry[2]});
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool written = info != nullptr && writeRows(png, info, file, picture, colours, rowPointers);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return written;
}

bool writeRgbPng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb)
{
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.rows = rgb;
    return writePng(path, picture);
}

namespace {

// Removes the folder with everything the tests wrote into it when the process ends.
struct TemporaryFolder {
    std::filesystem::path path;
    TemporaryFolder()
        : path(std::filesystem::temp_directory_path() / ("kubora-tests-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(path);
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

} // namespace

std::string temporaryFolder()
{
    static const TemporaryFolder folder;
    return folder.path.string();
}

std::vector<std::uint8_t> readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace kubora::test
