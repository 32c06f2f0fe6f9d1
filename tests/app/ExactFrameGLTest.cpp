// The frame with every shortcut off: in each render mode it draws both depth passes every frame, shades
// with one program, and shows the start scene as the frame with its shortcuts does, within the picture
// bound.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/render/EdgeMap.h"
#include "engine/scene/PointLightSource.h"
#include "engine/resources/RenderSettings.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/PictureBound.h"

namespace {

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

class ExactFrame : public testing::TestWithParam<libkub::RenderMode> {
  protected:
    void TearDown() override { libkub::RenderSettings::instance().renderMode = libkub::VBO; }
};

TEST_P(ExactFrame, RedrawsEveryPassWithOneProgramAndShowsTheSameScene)
{
    libkub::RenderSettings::instance().renderMode = GetParam();
    kubora::test::AssembledApplication application;
    Kubora::onReshape(width, height);
    libkub::SceneRenderer& renderer = *application->renderer;
    renderer.hudElements.clear();

    renderer.render();
    renderer.render();
    const kubora::test::Frame withShortcuts = kubora::test::readFrame(width, height);

    renderer.plan = libkub::FramePlan::exact();
    for (int frame = 0; frame < 2; ++frame) {
        const std::uint64_t point = application->pointLight->depthPassesDrawn;
        const std::uint64_t spot = application->spotLight->depthPassesDrawn;
        renderer.render();
        EXPECT_EQ(application->pointLight->depthPassesDrawn, point + 1) << "frame " << frame;
        EXPECT_EQ(application->spotLight->depthPassesDrawn, spot + 1) << "frame " << frame;
        EXPECT_EQ(renderer.spotShading.where, libkub::SceneRenderer::SpotShading::Everywhere);
    }
    const kubora::test::ExactFrame exact{kubora::test::readFrame(width, height),
                                         libkub::drawEdgeMap(renderer, width, height)};
    renderer.plan = libkub::FramePlan{};
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const std::string name = "exact-frame-" + std::to_string(static_cast<int>(GetParam())) + ".png";
    EXPECT_TRUE(kubora::test::withinBound(exact, withShortcuts, kubora::test::PictureBound::shortcuts, name));
}

INSTANTIATE_TEST_SUITE_P(AllModes, ExactFrame,
                         testing::Values(libkub::VBO, libkub::Immediate, libkub::DisplayList));

} // namespace
