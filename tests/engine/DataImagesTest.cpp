// The shipped images under data/: every one decodes, the sky faces suit the sky box's upload, and each
// status-bar die picture is a bright face showing its number of pips.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/PngLoader.h"

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

// Counts the dark spots (4-connected pixels darker than a threshold) inside the central square that
// spans from margin to 1 - margin of the picture.
int darkSpots(const PngImage& image, double margin)
{
    const int x0 = static_cast<int>(image.width * margin);
    const int x1 = static_cast<int>(image.width * (1.0 - margin));
    const int y0 = static_cast<int>(image.height * margin);
    const int y1 = static_cast<int>(image.height * (1.0 - margin));
    std::vector<bool> seen(static_cast<std::size_t>(image.width) * image.height, false);
    int spots = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (seen[y * image.width + x] || brightness(image, x, y) >= 100) {
                continue;
            }
            ++spots;
            std::vector<std::pair<int, int>> open{{x, y}};
            seen[y * image.width + x] = true;
            while (!open.empty()) {
                const auto [px, py] = open.back();
                open.pop_back();
                for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const int nx = px + dx;
                    const int ny = py + dy;
                    if (nx >= x0 && nx < x1 && ny >= y0 && ny < y1 && !seen[ny * image.width + nx] &&
                        brightness(image, nx, ny) < 100) {
                        seen[ny * image.width + nx] = true;
                        open.push_back({nx, ny});
                    }
                }
            }
        }
    }
    return spots;
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
        EXPECT_EQ(darkSpots(image, 0.12), value) << "die" << value << ".png";
    }
}
