// The HUD's texts: the two formats, the four overlay lines for every switch, the frame-rate figure.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/resources/RenderSettings.h"
#include "hud/DebugOverlay.h"
#include "hud/HudText.h"

using Kubora::formatTextNumber;
using Kubora::formatTextPair;
using Kubora::overlayLines;
using Kubora::shownFrameRate;

TEST(HudText, FormatsJoinWithTwoSpacesAndCutAt199Characters)
{
    EXPECT_EQ(formatTextPair("", "Player"), "  Player");
    EXPECT_EQ(formatTextPair("", "CPU"), "  CPU");
    EXPECT_EQ(formatTextPair("Render Mode:", ""), "Render Mode:  ");
    EXPECT_EQ(formatTextNumber("FPS:", 59), "FPS:  59 (F2)");
    EXPECT_EQ(formatTextNumber("FPS:", -3), "FPS:  -3 (F2)");
    const std::string long1(150, 'a');
    const std::string long2(150, 'b');
    const std::string cut = formatTextPair(long1, long2);
    EXPECT_EQ(cut.size(), 199u);
    EXPECT_EQ(cut, long1 + "  " + std::string(47, 'b'));
}

TEST(HudText, OverlayLinesForTheDefaultSettings)
{
    const libkub::RenderSettings settings;
    const auto lines = overlayLines(settings, 59.9f);
    EXPECT_EQ(lines[0].text, "Polygon Mode  Fill (F3)");
    EXPECT_EQ(lines[1].text, "Frustum Culling:  deactivated (F8)");
    EXPECT_EQ(lines[2].text, "Render Mode:  VBO (Befehlsargument)");
    EXPECT_EQ(lines[3].text, "FPS:  59 (F2)");
    EXPECT_EQ(lines[0].y, -8.0f);
    EXPECT_EQ(lines[1].y, -8.5f);
    EXPECT_EQ(lines[2].y, -9.0f);
    EXPECT_EQ(lines[3].y, -9.5f);
}

TEST(HudText, OverlayLinesFollowEverySwitch)
{
    libkub::RenderSettings settings;
    settings.wireframe = true;
    settings.frustumCulling = true;
    settings.renderMode = libkub::Immediate;
    auto lines = overlayLines(settings, 0.0f);
    EXPECT_EQ(lines[0].text, "Polygon Mode  Wireframe (F3)");
    EXPECT_EQ(lines[1].text, "Frustum Culling:  activated (F8)");
    EXPECT_EQ(lines[2].text, "Render Mode:  Immediate (F7)");
    EXPECT_EQ(lines[3].text, "FPS:  0 (F2)");
    settings.renderMode = libkub::DisplayList;
    EXPECT_EQ(overlayLines(settings, 0.0f)[2].text, "Render Mode:  DisplayList (F7)");
    settings.renderMode = static_cast<libkub::RenderMode>(7);
    EXPECT_EQ(overlayLines(settings, 0.0f)[2].text, "Render Mode:  ");
}

TEST(HudText, FrameRateIsTruncatedAndHeldInRange)
{
    EXPECT_EQ(shownFrameRate(59.9f), 59);
    EXPECT_EQ(shownFrameRate(0.99f), 0);
    EXPECT_EQ(shownFrameRate(-2.5f), -2);
    EXPECT_EQ(shownFrameRate(2147483520.0f), 2147483520);
    // A frame measured at 0 ms gives 1000 / 0.
    EXPECT_EQ(shownFrameRate(std::numeric_limits<float>::infinity()),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(shownFrameRate(-std::numeric_limits<float>::infinity()),
              std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(shownFrameRate(std::nanf("")), 0);
}
