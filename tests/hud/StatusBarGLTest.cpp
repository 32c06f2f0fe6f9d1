// The status bar as drawn into a real frame and read back: band, countdown marks, dice rows with
// gaps and tint, square pictures, the player label and the overlay lines.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/resources/RenderSettings.h"
#include "hud/StatusBar.h"
#include "engine/resources/OffscreenFrame.h"

using Kubora::StatusBar;
using libkub::OffscreenFrame;
using libkub::Rgb;

namespace {

// The frame has the test window's 4:3 shape, so the pictures (sized by the window's aspect) are
// square here too; one HUD unit is 128 pixels across and 96 down.
constexpr int frameWidth = 1280;
constexpr int frameHeight = 960;

// Pixel columns and rows counted from the top left, as the HUD's units run.
struct Box {
    int left;
    int top;
    int right; // exclusive
    int bottom;
};

class HudPicture {
  public:
    HudPicture(StatusBar& bar, Rgb clear)
    {
        OffscreenFrame frame(frameWidth, frameHeight);
        EXPECT_TRUE(frame.complete());
        glClearColor(clear.r / 255.0f, clear.g / 255.0f, clear.b / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        bar.draw();
        glFinish();
        pixels = frame.pixels();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    Rgb at(int x, int yFromTop) const
    {
        const std::size_t offset = (static_cast<std::size_t>(frameHeight - 1 - yFromTop) * frameWidth +
                                    static_cast<std::size_t>(x)) *
                                   3;
        return {pixels[offset], pixels[offset + 1], pixels[offset + 2]};
    }

    // Pixels in the box that differ from the colour by more than the tolerance in some channel.
    int countDiffering(const Box& box, Rgb colour, int tolerance = 6) const
    {
        int count = 0;
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < box.right; ++x) {
                count += differs(at(x, y), colour, tolerance) ? 1 : 0;
            }
        }
        return count;
    }

    // The smallest box around the pixels that differ from the colour, within the search box.
    Box extentDiffering(const Box& search, Rgb colour, int tolerance = 6) const
    {
        Box found{search.right, search.bottom, search.left - 1, search.top - 1};
        for (int y = search.top; y < search.bottom; ++y) {
            for (int x = search.left; x < search.right; ++x) {
                if (differs(at(x, y), colour, tolerance)) {
                    found = {std::min(found.left, x), std::min(found.top, y), std::max(found.right, x + 1),
                             std::max(found.bottom, y + 1)};
                }
            }
        }
        return found;
    }

    static bool differs(Rgb a, Rgb b, int tolerance)
    {
        return std::abs(a.r - b.r) > tolerance || std::abs(a.g - b.g) > tolerance ||
               std::abs(a.b - b.b) > tolerance;
    }

    std::vector<std::uint8_t> pixels;
};

constexpr Rgb white{255, 255, 255};
constexpr Rgb black{0, 0, 0};

// The band's (0.1, 0.1, 0.1) at alpha 0.8 over a background grey.
std::uint8_t bandOver(std::uint8_t background)
{
    return static_cast<std::uint8_t>(std::lround(0.1 * 0.8 * 255.0 + 0.2 * background));
}

int textWidth(const char* text)
{
    return glutBitmapLength(GLUT_BITMAP_HELVETICA_18, reinterpret_cast<const unsigned char*>(text));
}

// A bar that draws only its band: no marks, no dice, no label, no overlay.
struct QuietBar : ::testing::Test {
    QuietBar()
    {
        bar.currentKind = static_cast<Kubora::PlayerKind>(2);
        libkub::RenderSettings::instance().showOverlay = false;
    }
    ~QuietBar() override { libkub::RenderSettings::instance() = libkub::RenderSettings{}; }

    StatusBar bar;
};

using StatusBarPicture = QuietBar;

// One die picture's place: slot k of the upper (row 0) or lower (row 1) row.
Box diePlace(int row, int k)
{
    const double left = (5.625 + 0.5 * k) * 128.0;
    const double top = (0.1 + 0.625 * row) * 96.0;
    return {static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)),
            static_cast<int>(std::lround(left + 0.4 * 128.0)),
            static_cast<int>(std::lround(top + 0.4 * 4.0 / 3.0 * 96.0))};
}

Box inset(Box box, int by)
{
    return {box.left + by, box.top + by, box.right - by, box.bottom - by};
}

} // namespace

TEST(StatusBarStart, NoMarksBlackNoFrameRateHumanAndEmptyRows)
{
    StatusBar bar;
    EXPECT_EQ(bar.countdown, 0);
    EXPECT_EQ(bar.markColour, (std::array<float, 3>{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(bar.framesPerSecond, 0.0f);
    EXPECT_EQ(bar.currentKind, Kubora::Human);
    EXPECT_TRUE(bar.upperRow.rolls.empty());
    EXPECT_TRUE(bar.lowerRow.rolls.empty());
    ASSERT_EQ(bar.dieTextures.size(), 6u);
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(bar.dieTextures[static_cast<std::size_t>(k)]->name, std::to_string(k + 1));
    }
}

TEST_F(StatusBarPicture, BandCoversTheTopFifteenPercentTranslucently)
{
    const HudPicture picture(bar, white);
    const Rgb band{bandOver(255), bandOver(255), bandOver(255)};
    EXPECT_EQ(picture.countDiffering({0, 0, frameWidth, 143}, band, 2), 0);
    EXPECT_EQ(picture.countDiffering({0, 145, frameWidth, frameHeight}, white, 0), 0);
    const HudPicture overBlack(bar, black);
    EXPECT_EQ(
        overBlack.countDiffering({0, 0, frameWidth, 143}, Rgb{bandOver(0), bandOver(0), bandOver(0)}, 2), 0);
}

TEST_F(StatusBarPicture, DrawingRestoresTheGlState)
{
    GLint projectionDepth = 0;
    GLint modelviewDepth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewDepth);
    bar.upperRow.rolls = {1, 2};
    libkub::RenderSettings::instance().showOverlay = true;
    const HudPicture picture(bar, black);
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, modelviewDepth);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(StatusBarPicture, CountdownMarksOneSixthApart)
{
    const Rgb band{bandOver(0), bandOver(0), bandOver(0)};
    const int row = 77; // y = -0.8, the middle of the marks
    bar.markColour = {1.0f, 0.5f, 0.0f};
    for (const int countdown : {0, -4}) {
        bar.countdown = countdown;
        const HudPicture picture(bar, black);
        EXPECT_EQ(picture.countDiffering({0, 0, frameWidth, 144}, band), 0) << countdown << " marks";
    }

    bar.countdown = 25;
    const HudPicture picture(bar, black);
    std::vector<std::pair<int, int>> runs; // [first, last] columns of each mark
    for (int x = 0; x < frameWidth; ++x) {
        if (HudPicture::differs(picture.at(x, row), band, 6)) {
            if (runs.empty() || runs.back().second != x - 1) {
                runs.emplace_back(x, x);
            } else {
                runs.back().second = x;
            }
        }
    }
    ASSERT_EQ(runs.size(), 25u);
    EXPECT_EQ(runs.front().first, 0);
    EXPECT_NEAR(runs.back().second, 4.15 * 128.0, 1.5);
    for (std::size_t k = 0; k < runs.size(); ++k) {
        EXPECT_NEAR(runs[k].first, k * 128.0 / 6.0, 1.0);
        EXPECT_NEAR(runs[k].second - runs[k].first + 1, 0.15 * 128.0, 1.5);
    }
    // Colour (1, 0.5, 0) at alpha 0.6 over the band; 0.8 high from y = -0.4 to -1.2.
    const Rgb mark = picture.at(8, row);
    EXPECT_NEAR(mark.r, 0.6 * 255 + 0.4 * band.r, 2);
    EXPECT_NEAR(mark.g, 0.6 * 128 + 0.4 * band.g, 2);
    EXPECT_NEAR(mark.b, 0.4 * band.b, 2);
    const Box extent = picture.extentDiffering({0, 0, 40, 144}, band);
    EXPECT_NEAR(extent.top, 0.4 * 96.0, 1.0);
    EXPECT_NEAR(extent.bottom, 1.2 * 96.0, 1.0);
}

TEST_F(StatusBarPicture, ARollOfZeroLeavesAGapAndPicturesAreSquareAndTinted)
{
    const Rgb band{bandOver(255), bandOver(255), bandOver(255)};
    bar.setRolls({{3, 0, 5}, 8, {0.0f, 1.0f, 0.0f}}, {});
    const HudPicture picture(bar, white);

    const Box first = diePlace(0, 0);
    EXPECT_EQ(picture.countDiffering(inset(diePlace(0, 1), -4), band), 0) << "the place of the 0";
    const Box third = inset(diePlace(0, 2), 2);
    EXPECT_EQ(picture.countDiffering(third, band), (third.right - third.left) * (third.bottom - third.top));
    // The picture fills its place exactly, as many pixels high as wide.
    const Box extent = picture.extentDiffering(inset(first, -6), band);
    EXPECT_NEAR(extent.left, 720, 1);
    EXPECT_NEAR(extent.top, 0.1 * 96.0, 1);
    EXPECT_NEAR(extent.right - extent.left, 51.2, 1.5);
    EXPECT_NEAR(extent.bottom - extent.top, extent.right - extent.left, 1.5);
    // The face is modulated by the row colour: drawn once in white and once tinted, every pixel of
    // the tinted picture is the white one times the tint.
    bar.upperRow.colour = {1.0f, 1.0f, 1.0f};
    const HudPicture plain(bar, white);
    bar.upperRow.colour = {0.5f, 1.0f, 0.25f};
    const HudPicture tinted(bar, white);
    int mismatches = 0;
    for (int y = first.top + 1; y < first.bottom - 1; ++y) {
        for (int x = first.left + 1; x < first.right - 1; ++x) {
            const Rgb p = plain.at(x, y);
            const Rgb t = tinted.at(x, y);
            mismatches +=
                std::abs(t.r - p.r * 0.5) > 2 || std::abs(t.g - p.g) > 2 || std::abs(t.b - p.b * 0.25) > 2;
        }
    }
    EXPECT_EQ(mismatches, 0);
    // No lower row was given: nothing below the upper row.
    EXPECT_EQ(picture.countDiffering({700, 66, frameWidth, 144}, band), 0);
}

TEST_F(StatusBarPicture, AnEmptyUpperRowLeavesTheLowerRowInItsPlace)
{
    const Rgb band{bandOver(255), bandOver(255), bandOver(255)};
    bar.setRolls({{}, 0, {0.0f, 1.0f, 0.0f}}, {{2, 4}, 6, {1.0f, 0.0f, 0.0f}});
    const HudPicture picture(bar, white);
    EXPECT_EQ(picture.countDiffering({700, 0, frameWidth, 66}, band), 0);
    const Box extent = picture.extentDiffering({700, 62, frameWidth, 144}, band);
    EXPECT_NEAR(extent.left, 720, 1);
    EXPECT_NEAR(extent.top, 0.725 * 96.0, 1);
    EXPECT_NEAR(extent.right, diePlace(1, 1).right, 1);
    EXPECT_NEAR(extent.bottom, diePlace(1, 1).bottom, 1.5);
    const Box gapBetween{diePlace(1, 0).right + 2, 80, diePlace(1, 1).left - 2, 110};
    EXPECT_EQ(picture.countDiffering(gapBetween, band), 0);
}

TEST_F(StatusBarPicture, LabelReadsPlayerOrCpuByKind)
{
    const Box labelArea{540, 55, 1000, 100};
    const Rgb band{bandOver(0), bandOver(0), bandOver(0)};
    const int x = 576; // raster x = 4.5
    const int spaces = textWidth("  ");

    bar.currentKind = Kubora::Human;
    const Box player = HudPicture(bar, black).extentDiffering(labelArea, band, 40);
    EXPECT_GE(player.left, x + spaces);
    EXPECT_LE(player.left, x + spaces + 3);
    EXPECT_LE(player.right, x + textWidth("  Player"));
    EXPECT_GE(player.right, x + textWidth("  Playe"));
    EXPECT_NEAR(player.bottom, 0.9 * 96.0 + 5, 6); // the y descends below the baseline

    bar.currentKind = Kubora::Computer;
    const Box cpu = HudPicture(bar, black).extentDiffering(labelArea, band, 40);
    EXPECT_GE(cpu.left, x + spaces);
    EXPECT_LE(cpu.right, x + textWidth("  CPU"));
    EXPECT_GE(cpu.right, x + textWidth("  CP"));
    // Half-white text over the band.
    bar.currentKind = static_cast<Kubora::PlayerKind>(2);
    EXPECT_EQ(HudPicture(bar, black).countDiffering(labelArea, band, 40), 0);
}

TEST_F(StatusBarPicture, OverlayLinesAppearOnlyWithShowOverlay)
{
    libkub::RenderSettings& settings = libkub::RenderSettings::instance();
    settings.showOverlay = true;
    settings.wireframe = true;
    settings.renderMode = libkub::DisplayList;
    bar.framesPerSecond = 59.9f;
    const HudPicture shown(bar, black);
    const char* texts[4] = {"Polygon Mode  Wireframe (F3)", "Frustum Culling:  deactivated (F8)",
                            "Render Mode:  DisplayList (F7)", "FPS:  59 (F2)"};
    for (int line = 0; line < 4; ++line) {
        const int baseline = static_cast<int>(std::lround((8.0 + 0.5 * line) * 96.0));
        const Box extent = shown.extentDiffering({0, baseline - 20, frameWidth, baseline + 1}, black, 40);
        EXPECT_GE(extent.left, 64) << texts[line];
        EXPECT_LE(extent.left, 66) << texts[line];
        EXPECT_LE(extent.right, 64 + textWidth(texts[line])) << texts[line];
        EXPECT_GE(extent.right, 64 + textWidth(texts[line]) - 8) << texts[line];
        int brightest = 0;
        for (int y = extent.top; y < extent.bottom; ++y) {
            for (int x = extent.left; x < extent.right; ++x) {
                brightest = std::max<int>(brightest, shown.at(x, y).r);
            }
        }
        EXPECT_NEAR(brightest, 128, 3) << "half-white over black";
    }

    settings.showOverlay = false;
    bar.currentKind = Kubora::Human;
    const HudPicture hidden(bar, black);
    EXPECT_EQ(hidden.countDiffering({0, 144, frameWidth, frameHeight}, black, 0), 0);
    EXPECT_GT(hidden.countDiffering({540, 55, 1000, 100}, Rgb{bandOver(0), bandOver(0), bandOver(0)}, 40), 0);
}
