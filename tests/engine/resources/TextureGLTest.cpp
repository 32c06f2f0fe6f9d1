// Textures on a real context: uploads without skew and in the right orientation, a visible
// placeholder for images that cannot be loaded, and one texture per file name in the cache.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include "engine/image/PngLoader.h"
#include "engine/resources/Texture.h"
#include "engine/resources/TextureCache.h"
#include "engine/resources/OffscreenFrame.h"
#include "tests/support/PngWriter.h"

using kubora::test::temporaryFolder;
using libkub::OffscreenFrame;
using libkub::Rgb;

namespace {

// Draws the bound texture over the whole viewport, texture coordinate (0, 0) at the bottom left.
void drawTexturedViewport(unsigned textureName)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureName);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

// A 5 x 3 picture (rows of 15 bytes) whose every pixel is distinct; returned top row first.
std::vector<std::uint8_t> distinctPicture()
{
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            rgb.insert(rgb.end(),
                       {static_cast<std::uint8_t>(40 + x * 50), static_cast<std::uint8_t>(30 + y * 90),
                        static_cast<std::uint8_t>(200 - x * 20 - y * 10)});
        }
    }
    return rgb;
}

} // namespace

TEST(TextureUpload, FiveWideImageShowsUnskewedWithTopLeftAtTopLeft)
{
    const std::string path = temporaryFolder() + "/five-by-three.png";
    const std::vector<std::uint8_t> rgb = distinctPicture();
    ASSERT_TRUE(kubora::test::writeRgbPng(path, 5, 3, rgb));

    // Another upload may have left the alignment at the default; the texture must not rely on it.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    const libkub::Texture texture("five", path);
    EXPECT_EQ(texture.loadStatus, libkub::PngLoaded);
    EXPECT_EQ(texture.width, 5);
    EXPECT_EQ(texture.height, 3);
    EXPECT_EQ(texture.name, "five");
    ASSERT_NE(texture.textureName, 0u);

    // One fragment per texel: the frame shows the texture texel for texel (linear filtering at
    // texel centres returns the texel itself).
    OffscreenFrame frame(5, 3);
    ASSERT_TRUE(frame.complete());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    drawTexturedViewport(texture.textureName);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const std::uint8_t* file = rgb.data() + ((2 - y) * 5 + x) * 3; // frame row y is file row 2 - y
            EXPECT_EQ(frame.pixel(x, y), (Rgb{file[0], file[1], file[2]})) << "x " << x << " y " << y;
        }
    }
}

TEST(TextureUpload, UsesClampedLinearSamplingAndModulate)
{
    const std::string path = temporaryFolder() + "/params.png";
    ASSERT_TRUE(kubora::test::writeRgbPng(path, 1, 1, {1, 2, 3}));
    glActiveTexture(GL_TEXTURE0);
    const libkub::Texture texture(path, path);
    glBindTexture(GL_TEXTURE_2D, texture.textureName);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TextureUpload, UnloadableImageIsReportedAndShowsPlaceholder)
{
    const std::string path = temporaryFolder() + "/not-an-image.png";
    ASSERT_TRUE(kubora::test::writeFileBytes(path, {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}));
    testing::internal::CaptureStderr();
    const libkub::Texture texture(path, path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kubora: " + path + ": not a PNG image; drawing a placeholder texture instead\n");
    EXPECT_EQ(texture.loadStatus, libkub::PngNotLoaded);
    EXPECT_EQ(texture.width, libkub::placeholderEdge);
    EXPECT_EQ(texture.height, libkub::placeholderEdge);

    OffscreenFrame frame(libkub::placeholderEdge, libkub::placeholderEdge);
    drawTexturedViewport(texture.textureName);
    EXPECT_EQ(frame.pixel(0, 0), (Rgb{255, 0, 255}));
    EXPECT_EQ(frame.pixel(2, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(frame.pixel(2, 2), (Rgb{255, 0, 255}));
}

TEST(TextureCacheSharing, SameFileGivesSameTextureName)
{
    const std::string first = temporaryFolder() + "/shared-a.png";
    const std::string second = temporaryFolder() + "/shared-b.png";
    ASSERT_TRUE(kubora::test::writeRgbPng(first, 1, 1, {9, 9, 9}));
    ASSERT_TRUE(kubora::test::writeRgbPng(second, 1, 1, {8, 8, 8}));
    auto& cache = libkub::TextureCache::instance();
    EXPECT_EQ(cache.find(first), nullptr);
    libkub::Texture& a = cache.obtain(first);
    libkub::Texture& again = cache.obtain(first);
    libkub::Texture& b = cache.obtain(second);
    EXPECT_EQ(&a, &again);
    EXPECT_EQ(a.textureName, again.textureName);
    EXPECT_NE(a.textureName, b.textureName);
    EXPECT_EQ(a.name, first);
    EXPECT_EQ(cache.find(first), &a);
}
