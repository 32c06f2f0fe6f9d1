// RenderSettings: defaults, the console line of setRenderMode, toggles.
#include <gtest/gtest.h>

#include "engine/resources/RenderSettings.h"

using libkub::RenderSettings;

TEST(RenderSettings, SetRenderModePrintsItsLineEvenWhenUnchanged)
{
    RenderSettings settings;
    testing::internal::CaptureStdout();
    settings.setRenderMode(libkub::VBO);
    settings.setRenderMode(libkub::DisplayList);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "changed RenderMode to: 0\nchanged RenderMode to: 2\n");
    EXPECT_EQ(settings.renderMode, libkub::DisplayList);
}

TEST(RenderSettings, DefaultsAreVboWithOverlayAndNoCullingOrWireframe)
{
    const RenderSettings settings;
    EXPECT_EQ(settings.renderMode, libkub::VBO);
    EXPECT_TRUE(settings.showOverlay);
    EXPECT_FALSE(settings.frustumCulling);
    EXPECT_FALSE(settings.wireframe);
}
