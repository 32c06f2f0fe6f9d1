// The shipped images under data/: every one decodes, the sky faces suit the sky box's upload, and each
// status-bar die picture is a bright face showing its number of pips.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/image/PngLoader.h"
#include "tests/support/DarkSpots.h"

using libkub::loadPng;
using libkub::PngImage;

namespace {

const std::string dataFolder = std::string(KUBORA_SOURCE_DIR) + "/data/";

PngImage decoded(const std::string& name)
{
    PngImage image;
    std::string reason;
    EXPECT_EQ(loadPng(dataFolder + name, image, &reason), libkub::PngLoaded) << name << ": " << reason;
    return image;
}

// Brightness 0..255 of the pixel in column x and block row y (row 0 at the bottom).
int brightness(const PngImage& image, int x, int y)
{
    const std::uint8_t* p = image.pixels.get() + (static_cast<std::size_t>(y) * image.width + x) * 3;
    return (p[0] + p[1] + p[2]) / 3;
}

} // namespace

TEST(DataImages, EveryShippedPngDecodes)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dataFolder)) {
        if (entry.path().extension() == ".png") {
            const PngImage image = decoded(entry.path().filename().string());
            EXPECT_GT(image.width, 0) << entry.path();
            EXPECT_GT(image.height, 0) << entry.path();
            ++count;
        }
    }
    EXPECT_GE(count, 16); // six sky faces, six die pictures and the four model textures
}

TEST(DataImages, SkyFacesAreEqualSquaresWithRowsOfWholeWords)
{
    // The sky box uploads under OpenGL's default unpack alignment of 4, so rows of 3 x width bytes
    // must be a multiple of 4 bytes long: widths that are multiples of 4 pixels.
    const PngImage first = decoded("SkyBox0.png");
    for (int face = 0; face < 6; ++face) {
        const PngImage image = decoded("SkyBox" + std::to_string(face) + ".png");
        EXPECT_EQ(image.width % 4, 0) << "face " << face;
        EXPECT_EQ(image.width, image.height) << "face " << face;
        EXPECT_EQ(image.width, first.width) << "face " << face;
    }
}

TEST(DataImages, DiePicturesAreBrightFacesWithTheirPips)
{
    for (int value = 1; value <= 6; ++value) {
        const PngImage image = decoded("die" + std::to_string(value) + ".png");
        ASSERT_TRUE(image.pixels) << value;
        // The row colour multiplies the picture, so the face itself must be near white.
        EXPECT_GE(brightness(image, image.width / 2, image.height / 8), 230) << value;
        const std::vector<std::uint8_t> rgb(image.pixels.get(),
                                            image.pixels.get() + image.width * image.height * 3);
        EXPECT_EQ(kubora::test::countDarkSpots(rgb, image.width, image.height, 0.12), value)
            << "die" << value << ".png";
    }
}
