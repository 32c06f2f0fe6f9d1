// The game's own models look as before: the start scene, drawn in each render mode without the overlay,
// matches the reference picture under tests/fixtures/models under the picture bound.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/resources/RenderSettings.h"
#include "engine/image/PngLoader.h"
#include "engine/render/EdgeMap.h"
#include "engine/render/SceneRenderer.h"
#include "game/CalendarClock.h"
#include "hud/StatusBar.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/ReferencePicture.h"

namespace {

struct StartPicture {
    kubora::test::Frame frame;
    kubora::test::EdgeMap edges;
};

// The start scene as start-up assembles it, one frame, with the edge map of its exact frame.
StartPicture startPicture(libkub::RenderMode mode)
{
    const int width = kubora::test::glTestWindowWidth;
    const int height = kubora::test::glTestWindowHeight;
    // The overlay names the render mode; without it the three modes must give one picture.
    libkub::RenderSettings::instance().renderMode = mode;
    libkub::RenderSettings::instance().showOverlay = false;
    Kubora::setCalendarClock([] { return std::int32_t{5'000'000}; });
    StartPicture picture;
    {
        kubora::test::AssembledApplication application;
        Kubora::onReshape(width, height);
        application->statusBar->framesPerSecond = 60.0f;
        application->renderer->render();
        picture.frame = kubora::test::readFrame(width, height);
        picture.edges = libkub::drawEdgeMap(*application->renderer, width, height);
    }
    Kubora::setCalendarClock({});
    libkub::RenderSettings::instance().renderMode = libkub::VBO;
    libkub::RenderSettings::instance().showOverlay = true;

    return picture;
}

} // namespace

TEST(ModelStartPicture, GameDataDrawAsTheReference)
{
    const std::string reference = KUBORA_SOURCE_DIR "/tests/fixtures/models/start-picture.png";
    const std::pair<libkub::RenderMode, const char*> modes[] = {
        {libkub::VBO, "vbo"}, {libkub::Immediate, "immediate"}, {libkub::DisplayList, "display-list"}};
    for (const auto& [mode, name] : modes) {
        const StartPicture picture = startPicture(mode);
        EXPECT_TRUE(kubora::test::matchesReference(picture.frame, picture.edges, reference,
                                                   "KUBORA_WRITE_START_PICTURE",
                                                   std::string("start-picture-") + name + ".png"))
            << name;
    }
}
