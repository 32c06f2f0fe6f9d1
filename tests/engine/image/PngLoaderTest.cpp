// loadPng over files the tests write: every colour type converts to bottom-up 8-bit RGB; bad files fail.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>

#include "engine/image/PngLoader.h"
#include "tests/support/PngWriter.h"

using kubora::test::PngPicture;
using kubora::test::temporaryFolder;
using kubora::test::writePng;
using libkub::loadPng;
using libkub::PngImage;

namespace {

PngPicture makePicture(int width, int height, int colourType, int bitDepth, std::vector<std::uint8_t> rows)
{
    PngPicture result;
    result.width = width;
    result.height = height;
    result.colourType = colourType;
    result.bitDepth = bitDepth;
    result.rows = std::move(rows);
    return result;
}

std::string pathFor(const std::string& name)
{
    return temporaryFolder() + "/" + name;
}

// The RGB triple at (x, y) of a decoded image, y counted in the block's rows (0 = bottom).
std::vector<int> pixelAt(const PngImage& image, int x, int row)
{
    const std::uint8_t* p = image.pixels.get() + (static_cast<std::size_t>(row) * image.width + x) * 3;
    return {p[0], p[1], p[2]};
}

PngImage decode(const std::string& name, const PngPicture& picture)
{
    const std::string path = pathFor(name);
    EXPECT_TRUE(writePng(path, picture));
    PngImage image;
    std::string reason;
    EXPECT_EQ(loadPng(path, image, &reason), libkub::PngLoaded) << reason;
    return image;
}

} // namespace

TEST(PngLoaderConversion, RgbaLosesItsAlpha)
{
    PngPicture picture = makePicture(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {10, 20, 30, 0, 40, 50, 60, 255});
    const PngImage image = decode("rgba.png", picture);
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(pixelAt(image, 1, 0), (std::vector<int>{40, 50, 60}));
}

TEST(PngLoaderConversion, SixteenBitSamplesBecomeEightBit)
{
    PngPicture picture = makePicture(1, 1, PNG_COLOR_TYPE_RGB, 16, {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF});
    const PngImage image = decode("rgb16.png", picture);
    ASSERT_TRUE(image.pixels);
    // libpng's strip keeps the high byte.
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<int>{0x12, 0xAB, 0xFF}));
}

TEST(PngLoaderConversion, SixteenBitRgbaLosesAlphaAndLowBytes)
{
    PngPicture picture = makePicture(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0x80, 0, 0x40, 0, 0x20, 0, 0, 0});
    const PngImage image = decode("rgba16.png", picture);
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<int>{0x80, 0x40, 0x20}));
}

TEST(PngLoaderConversion, PaletteExpandsToRgb)
{
    PngPicture picture = makePicture(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {2, 0, 1});
    picture.palette = {{{255, 0, 0}}, {{0, 255, 0}}, {{0, 0, 255}}};
    const PngImage image = decode("palette.png", picture);
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(pixelAt(image, 1, 0), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(pixelAt(image, 2, 0), (std::vector<int>{0, 255, 0}));
}

TEST(PngLoaderConversion, PaletteWithTransparencyBecomesOpaqueRgb)
{
    PngPicture picture = makePicture(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1});
    picture.palette = {{{200, 100, 50}}, {{1, 2, 3}}};
    picture.transparency = {0, 128};
    const PngImage image = decode("palette-trns.png", picture);
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<int>{200, 100, 50}));
    EXPECT_EQ(pixelAt(image, 1, 0), (std::vector<int>{1, 2, 3}));
}

TEST(PngLoaderConversion, LowBitPaletteExpandsToRgb)
{
    // Two-bit indices 3, 2, 1, 0 packed into one byte.
    PngPicture picture = makePicture(4, 1, PNG_COLOR_TYPE_PALETTE, 2, {0b11100100});
    picture.palette = {{{0, 0, 0}}, {{10, 10, 10}}, {{20, 20, 20}}, {{30, 30, 30}}};
    const PngImage image = decode("palette2.png", picture);
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<int>{30, 30, 30}));
    EXPECT_EQ(pixelAt(image, 3, 0), (std::vector<int>{0, 0, 0}));
}

TEST(PngLoaderConversion, GreyBecomesGreyTriples)
{
    PngPicture picture = makePicture(2, 1, PNG_COLOR_TYPE_GRAY, 8, {0x40, 0xC0});
    const PngImage image = decode("grey.png", picture);
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<int>{0x40, 0x40, 0x40}));
    EXPECT_EQ(pixelAt(image, 1, 0), (std::vector<int>{0xC0, 0xC0, 0xC0}));
}

TEST(PngLoaderConversion, GreyWithAlphaLosesAlpha)
{
    PngPicture picture = makePicture(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0x33, 0x00});
    const PngImage image = decode("grey-alpha.png", picture);
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<int>{0x33, 0x33, 0x33}));
}

TEST(PngLoaderConversion, LowBitGreyScalesToFullRange)
{
    // One-bit grey 1, 0, 1, 1 and four-bit grey 0xF, 0x0.
    const PngImage one = decode("grey1.png", makePicture(4, 1, PNG_COLOR_TYPE_GRAY, 1, {0b10110000}));
    ASSERT_TRUE(one.pixels);
    EXPECT_EQ(pixelAt(one, 0, 0), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(pixelAt(one, 1, 0), (std::vector<int>{0, 0, 0}));
    const PngImage four = decode("grey4.png", makePicture(2, 1, PNG_COLOR_TYPE_GRAY, 4, {0xF0}));
    ASSERT_TRUE(four.pixels);
    EXPECT_EQ(pixelAt(four, 0, 0), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(pixelAt(four, 1, 0), (std::vector<int>{0, 0, 0}));
}

TEST(PngLoaderConversion, GreyWithTransparencyStaysThreeBytesAPixel)
{
    PngPicture picture = makePicture(2, 1, PNG_COLOR_TYPE_GRAY, 4, {0x5A});
    const std::string path = pathFor("grey4-trns.png");
    // A grey tRNS chunk names one grey value as transparent; libpng takes it through png_set_tRNS's colour.
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_init_io(png, file);
    png_set_IHDR(png, info, 2, 1, 4, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color_16 transparentGrey{};
    transparentGrey.gray = 5;
    png_set_tRNS(png, info, nullptr, 0, &transparentGrey);
    png_write_info(png, info);
    png_bytep row = picture.rows.data();
    png_write_rows(png, &row, 1);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);

    PngImage image;
    ASSERT_EQ(loadPng(path, image), libkub::PngLoaded);
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<int>{0x55, 0x55, 0x55}));
    EXPECT_EQ(pixelAt(image, 1, 0), (std::vector<int>{0xAA, 0xAA, 0xAA}));
}

TEST(PngLoaderLayout, FirstFileRowLandsInLastBlockRow)
{
    // Top row red, bottom row blue; top-left pixel white.
    const std::vector<std::uint8_t> rgb = {255, 255, 255, 255, 0, 0, 0, 0, 255, 0, 0, 255};
    ASSERT_TRUE(kubora::test::writeRgbPng(pathFor("rows.png"), 2, 2, rgb));
    PngImage image;
    ASSERT_EQ(loadPng(pathFor("rows.png"), image), libkub::PngLoaded);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(pixelAt(image, 0, 1), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(pixelAt(image, 1, 1), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(pixelAt(image, 0, 0), (std::vector<int>{0, 0, 255}));
}

TEST(PngLoaderLayout, FivePixelWideRowsArePackedWithoutPadding)
{
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            rgb.insert(rgb.end(), {static_cast<std::uint8_t>(x * 50), static_cast<std::uint8_t>(y * 100), 7});
        }
    }
    ASSERT_TRUE(kubora::test::writeRgbPng(pathFor("five.png"), 5, 3, rgb));
    PngImage image;
    ASSERT_EQ(loadPng(pathFor("five.png"), image), libkub::PngLoaded);
    for (int row = 0; row < 3; ++row) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(pixelAt(image, x, row), (std::vector<int>{x * 50, (2 - row) * 100, 7}))
                << "x " << x << " row " << row;
        }
    }
}

TEST(PngLoaderLayout, InterlacedImageDecodesWhole)
{
    PngPicture picture = makePicture(9, 9, PNG_COLOR_TYPE_GRAY, 8, {});
    for (int i = 0; i < 81; ++i) {
        picture.rows.push_back(static_cast<std::uint8_t>(i * 3));
    }
    picture.interlaced = true;
    const PngImage image = decode("interlaced.png", picture);
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(pixelAt(image, 4, 8), (std::vector<int>{12, 12, 12}));
    EXPECT_EQ(pixelAt(image, 8, 0), (std::vector<int>{240, 240, 240}));
}

TEST(PngLoaderFailure, MissingFileIsNotLoaded)
{
    PngImage image;
    std::string reason;
    EXPECT_EQ(loadPng(pathFor("no-such.png"), image, &reason), libkub::PngNotLoaded);
    EXPECT_EQ(reason, "cannot be opened (No such file or directory)");
    EXPECT_FALSE(image.pixels);
}

TEST(PngLoaderFailure, NonPngIsNotLoaded)
{
    ASSERT_TRUE(
        kubora::test::writeFileBytes(pathFor("text.png"), {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r'}));
    ASSERT_TRUE(kubora::test::writeFileBytes(pathFor("short.png"), {0x89, 'P', 'N'}));
    PngImage image;
    std::string reason;
    EXPECT_EQ(loadPng(pathFor("text.png"), image, &reason), libkub::PngNotLoaded);
    EXPECT_EQ(reason, "not a PNG image");
    EXPECT_EQ(loadPng(pathFor("short.png"), image, &reason), libkub::PngNotLoaded);
    EXPECT_FALSE(image.pixels);
}

TEST(PngLoaderFailure, TruncatedFileIsNotLoadedButKeepsItsHeaderSize)
{
    std::vector<std::uint8_t> rgb(16 * 16 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        rgb[i] = static_cast<std::uint8_t>(i * 37);
    }
    ASSERT_TRUE(kubora::test::writeRgbPng(pathFor("whole.png"), 16, 16, rgb));
    std::vector<std::uint8_t> bytes = kubora::test::readFileBytes(pathFor("whole.png"));
    ASSERT_GT(bytes.size(), 100u);

    // Cut inside the image data, and right after the signature.
    for (const std::size_t length : {bytes.size() - 20, std::size_t{60}, std::size_t{8}}) {
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
        ASSERT_TRUE(kubora::test::writeFileBytes(pathFor("cut.png"), cut));
        PngImage image;
        std::string reason;
        EXPECT_EQ(loadPng(pathFor("cut.png"), image, &reason), libkub::PngNotLoaded) << length;
        EXPECT_FALSE(image.pixels);
        EXPECT_EQ(reason.rfind("broken PNG data", 0), 0u) << reason;
        if (length > 33) {
            EXPECT_EQ(image.width, 16); // the header was read before the data ran out
        }
    }
}

TEST(PngLoaderFailure, OversizedHeaderIsRefusedBeforeAllocating)
{
    PngPicture picture = makePicture(libkub::pngMaxEdge + 1, 1, PNG_COLOR_TYPE_GRAY, 1, {});
    picture.rows.assign(static_cast<std::size_t>((libkub::pngMaxEdge + 8) / 8), 0);
    ASSERT_TRUE(writePng(pathFor("wide.png"), picture));
    PngImage image;
    std::string reason;
    EXPECT_EQ(loadPng(pathFor("wide.png"), image, &reason), libkub::PngNotLoaded);
    EXPECT_EQ(reason, "broken PNG data (Invalid IHDR data: Image width exceeds user limit in IHDR)");
}
