// The sky's picture kept while the camera stands still: drawn once when the camera comes to rest and
// copied into every frame after, which then shades no sky fragment; drawn again when the camera moves.
// Every frame stays within the bound of the exact frame, and the frames of a still scene are the same
// to the last bit.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/render/KeptSkyPicture.h"
#include "engine/render/PassFragmentCounter.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/Camera.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/ShortcutPictures.h"

namespace {

class KeptSkyPicture : public testing::Test {
  protected:
    void SetUp() override { Kubora::onReshape(width, height); }

    // A frame as the game draws it, checked against the exact frame; returns the fragments of its passes
    // in the window (the depth passes left out: the exact frame drawn for the check draws them again).
    std::uint64_t checkedFrame(const std::string& step)
    {
        libkub::SceneRenderer& renderer = *application->renderer;
        renderer.fragmentCounter = &counter;
        renderer.render();
        renderer.fragmentCounter = nullptr;
        std::uint64_t fragments = 0;
        for (const libkub::PassFragments& pass : counter.endFrame()) {
            if (pass.pass.rfind("light ", 0) != 0) {
                fragments += pass.fragments;
            }
        }
        const kubora::test::Frame frame = kubora::test::readFrame(width, height);
        const kubora::test::ExactFrame exact = kubora::test::drawExactFrame(renderer, width, height);
        EXPECT_TRUE(kubora::test::shortcutFrameWithinBound(exact, frame, "kept-sky.png")) << step;
        return fragments;
    }

    static constexpr int width = kubora::test::glTestWindowWidth;
    static constexpr int height = kubora::test::glTestWindowHeight;
    kubora::test::AssembledApplication application;
    libkub::PassFragmentCounter counter;
};

TEST_F(KeptSkyPicture, IsDrawnOnceWhileTheCameraStandsStillAndAgainWhenItMoves)
{
    ASSERT_TRUE(counter.counts());
    libkub::SceneRenderer& renderer = *application->renderer;
    const libkub::KeptSkyPicture& sky = renderer.keptSkyPicture();

    const std::uint64_t first = checkedFrame("the first frame");
    const std::uint64_t drawnAtFirst = sky.drawsKept;
    EXPECT_EQ(drawnAtFirst, 1u) << "the first frame draws the sky's picture";
    const std::uint64_t still = checkedFrame("the camera still");
    renderer.render();
    const kubora::test::Frame again = kubora::test::readFrame(width, height);
    renderer.render();
    EXPECT_TRUE(
        kubora::test::identicalFrames(again, kubora::test::readFrame(width, height), "kept-sky-still.png"));
    EXPECT_EQ(sky.drawsKept, drawnAtFirst) << "frames with the camera still copy the kept picture";
    EXPECT_LT(still + static_cast<std::uint64_t>(width * height) / 2, first)
        << "a frame that copies the sky shades none of it: " << still << " fragments against " << first;

    // The sky without its kept picture, drawn behind the scene: the frame shades the sky that shows.
    renderer.plan.keepSkyPicture = false;
    const std::uint64_t behind = checkedFrame("the sky drawn behind the scene");
    renderer.plan.keepSkyPicture = true;
    EXPECT_LT(still, behind);

    application->camera->orbit(0.3f, 0.1f);
    checkedFrame("the camera orbited");
    EXPECT_EQ(sky.drawsKept, drawnAtFirst + 1) << "a moved camera draws the picture again";
    checkedFrame("the camera still again");
    EXPECT_EQ(sky.drawsKept, drawnAtFirst + 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
