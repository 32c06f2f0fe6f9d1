// The status bar and debug overlay drawn pixel for pixel as the reference pictures in
// tests/fixtures/hud/ show them: both players, marks, both rolls, every overlay word, two sizes.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/resources/RenderSettings.h"
#include "engine/image/PngLoader.h"
#include "engine/image/PngWriter.h"
#include "hud/StatusBar.h"
#include "engine/resources/OffscreenFrame.h"

using libkub::OffscreenFrame;

namespace {

struct HudState {
    const char* name;
    Kubora::PlayerKind kind;
    std::int32_t countdown;
    std::vector<std::int32_t> upper;
    std::vector<std::int32_t> lower;
    bool overlay;
    libkub::RenderMode mode;
    bool wireframe;
    bool culling;
    float framesPerSecond;
};

const HudState states[] = {
    {"human-quiet", Kubora::Human, 0, {}, {}, false, libkub::VBO, false, false, 0.0f},
    {"cpu-marks-rolls",
     Kubora::Computer,
     25,
     {6, 5, 4, 0, 3, 2, 1, 6},
     {1, 2, 3},
     false,
     libkub::VBO,
     false,
     false,
     0.0f},
    {"human-overlay-vbo", Kubora::Human, 7, {2, 4}, {6}, true, libkub::VBO, false, false, 59.9f},
    {"cpu-overlay-immediate", Kubora::Computer, 12, {}, {5, 5}, true, libkub::Immediate, true, true, 1234.5f},
    {"human-overlay-displaylist", Kubora::Human, 3, {1}, {}, true, libkub::DisplayList, false, true, -7.0f},
    {"nobody-overlay-unknown-mode",
     static_cast<Kubora::PlayerKind>(2),
     0,
     {},
     {},
     true,
     static_cast<libkub::RenderMode>(5),
     true,
     false,
     8.0f},
};

struct Size {
    int width;
    int height;
};

const Size sizes[] = {{1024, 768}, {640, 480}};

// A background with a different colour at every pixel, so that the text's blending shows.
void drawBackground()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glBegin(GL_QUADS);
    glColor3f(0.9f, 0.1f, 0.3f);
    glVertex2f(-1.0f, -1.0f);
    glColor3f(0.1f, 0.8f, 0.2f);
    glVertex2f(1.0f, -1.0f);
    glColor3f(0.2f, 0.3f, 0.9f);
    glVertex2f(1.0f, 1.0f);
    glColor3f(0.7f, 0.7f, 0.6f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glEnable(GL_DEPTH_TEST);
}

std::vector<std::uint8_t> drawState(Kubora::StatusBar& bar, const HudState& state, Size size)
{
    libkub::RenderSettings& settings = libkub::RenderSettings::instance();
    settings.showOverlay = state.overlay;
    settings.renderMode = state.mode;
    settings.wireframe = state.wireframe;
    settings.frustumCulling = state.culling;
    bar.currentKind = state.kind;
    bar.countdown = state.countdown;
    bar.markColour = {0.9f, 0.6f, 0.1f};
    bar.framesPerSecond = state.framesPerSecond;
    bar.setRolls({state.upper, 0, {0.3f, 1.0f, 0.5f}}, {state.lower, 0, {1.0f, 0.2f, 0.2f}});

    OffscreenFrame frame(size.width, size.height);
    EXPECT_TRUE(frame.complete());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawBackground();
    // The frame leaves the scene's polygon mode set while the HUD draws.
    glPolygonMode(GL_FRONT_AND_BACK, state.wireframe ? GL_LINE : GL_FILL);
    bar.draw();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glFinish();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return frame.pixels();
}

std::string referencePath(const HudState& state, Size size)
{
    return "tests/fixtures/hud/" + std::string(state.name) + "-" + std::to_string(size.width) + "x" +
           std::to_string(size.height) + ".png";
}

struct HudReference : ::testing::Test {
    ~HudReference() override { libkub::RenderSettings::instance() = libkub::RenderSettings{}; }
};

} // namespace

// The pictures are compared exactly: the text is the same font's pixels at the same places,
// blended with the same colour, so no pixel may differ.
TEST_F(HudReference, EveryStateMatchesItsPicture)
{
    // KUBORA_WRITE_HUD_REFERENCES=1 captures the pictures anew instead of comparing.
    const bool write = std::getenv("KUBORA_WRITE_HUD_REFERENCES") != nullptr;
    Kubora::StatusBar bar;
    for (const Size size : sizes) {
        for (const HudState& state : states) {
            const std::string path = referencePath(state, size);
            const std::vector<std::uint8_t> pixels = drawState(bar, state, size);
            if (write) {
                EXPECT_TRUE(libkub::writePng(path, size.width, size.height, pixels.data())) << path;
                continue;
            }
            libkub::PngImage reference;
            std::string reason;
            ASSERT_EQ(libkub::loadPng(path, reference, &reason), libkub::PngLoaded) << path << ": " << reason;
            ASSERT_EQ(reference.width, size.width) << path;
            ASSERT_EQ(reference.height, size.height) << path;
            int differing = 0;
            int largest = 0;
            for (std::size_t i = 0; i < pixels.size(); ++i) {
                const int difference = std::abs(pixels[i] - reference.pixels[i]);
                differing += difference != 0 ? 1 : 0;
                largest = std::max(largest, difference);
            }
            EXPECT_EQ(differing, 0) << path << ": largest difference " << largest;
            if (differing != 0) {
                const std::string actual = std::string(KUBORA_BUILD_DIR) + "/" + std::string(state.name) +
                                           "-" + std::to_string(size.width) + ".png";
                libkub::writePng(actual, size.width, size.height, pixels.data());
            }
        }
    }
}
