// The game's own models look exactly as before: the start scene, drawn in each render mode without the
// overlay, equals the reference picture under tests/fixtures/models pixel for pixel.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/RenderSettings.h"
#include "engine/PngLoader.h"
#include "engine/SceneRenderer.h"
#include "game/CalendarClock.h"
#include "hud/StatusBar.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/PngWriter.h"

namespace {

// The start scene as start-up assembles it, one frame, top row first.
std::vector<std::uint8_t> startPicture(libkub::RenderMode mode)
{
    const int width = kubora::test::glTestWindowWidth;
    const int height = kubora::test::glTestWindowHeight;
    // The overlay names the render mode; without it the three modes must give one picture.
    libkub::RenderSettings::instance().renderMode = mode;
    libkub::RenderSettings::instance().showOverlay = false;
    Kubora::setCalendarClock([] { return std::int32_t{5'000'000}; });
    std::vector<std::uint8_t> bottomUp;
    {
        kubora::test::AssembledApplication application;
        Kubora::onReshape(width, height);
        application->statusBar->framesPerSecond = 60.0f;
        application->renderer->render();
        glFinish();
        glReadBuffer(GL_BACK);
        bottomUp = kubora::test::readPixelsRgb(0, 0, width, height);
    }
    Kubora::setCalendarClock({});
    libkub::RenderSettings::instance().renderMode = libkub::VBO;
    libkub::RenderSettings::instance().showOverlay = true;

    std::vector<std::uint8_t> topDown(bottomUp.size());
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>((height - 1 - y) * rowBytes), rowBytes,
                    topDown.begin() + static_cast<std::ptrdiff_t>(y * rowBytes));
    }
    return topDown;
}

} // namespace

TEST(ModelStartPicture, GameDataDrawExactlyAsTheReference)
{
    const std::string reference = KUBORA_SOURCE_DIR "/tests/fixtures/models/start-picture.png";
    const std::pair<libkub::RenderMode, const char*> modes[] = {
        {libkub::VBO, "vbo"}, {libkub::Immediate, "immediate"}, {libkub::DisplayList, "display-list"}};
    for (const auto& [mode, name] : modes) {
        const std::vector<std::uint8_t> picture = startPicture(mode);
        // Written beside the build for a look when the comparison fails.
        const std::string written = std::string(KUBORA_BUILD_DIR "/start-picture-") + name + ".png";
        kubora::test::writeRgbPng(written, kubora::test::glTestWindowWidth, kubora::test::glTestWindowHeight,
                                  picture);
        libkub::PngImage expected;
        ASSERT_EQ(libkub::loadPng(reference, expected), libkub::PngLoaded) << reference;
        ASSERT_EQ(expected.width, kubora::test::glTestWindowWidth);
        ASSERT_EQ(expected.height, kubora::test::glTestWindowHeight);
        // loadPng gives rows bottom-up.
        const std::size_t rowBytes = static_cast<std::size_t>(expected.width) * 3;
        std::size_t differing = 0;
        for (int y = 0; y < expected.height; ++y) {
            const std::uint8_t* want = expected.pixels.get() + (expected.height - 1 - y) * rowBytes;
            const std::uint8_t* got = picture.data() + y * rowBytes;
            for (std::size_t i = 0; i < rowBytes; i += 3) {
                differing += std::equal(want + i, want + i + 3, got + i) ? 0 : 1;
            }
        }
        EXPECT_EQ(differing, 0u) << name << ": see " << written;
    }
}
