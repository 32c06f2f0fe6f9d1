// The fragment counter on a real context: a window-covering quad counts about the window's pixels,
// llvmpipe counts invocations in blocks of 4 x 4 pixels and before its depth test (a hidden quad counts
// as much as a shaded one) while the samples past the depth test are exact, a frame's passes add up to one
// count around the whole frame in the plan's frame and the exact one, a depth texture kept from the frame
// before is named as drawing nothing, and a driver without the extension gets one line and no GL error.
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "engine/render/HUDElement.h"
#include "engine/render/PassFragmentCounter.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/PointLightSource.h"
#include "engine/scene/SpotLightSource.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/TestScene.h"

namespace libkub {
namespace {

using kubora::test::TestScene;

std::uint64_t windowPixels()
{
    return static_cast<std::uint64_t>(glutGet(GLUT_WINDOW_WIDTH)) *
           static_cast<std::uint64_t>(glutGet(GLUT_WINDOW_HEIGHT));
}

// A quad a little larger than the window (clipping takes the excess off) at a depth in [-1, 1], in
// clip space, in a flat colour.
void drawWindowQuad(float depth)
{
    glBegin(GL_QUADS);
    glVertex3f(-1.1f, -1.1f, depth);
    glVertex3f(1.1f, -1.1f, depth);
    glVertex3f(1.1f, 1.1f, depth);
    glVertex3f(-1.1f, 1.1f, depth);
    glEnd();
}

// The counts of one counted pass of `draw`, on a cleared window with identity matrices.
template <typename Draw> PassFragments fragmentsOf(PassFragmentCounter& counter, Draw draw)
{
    glViewport(0, 0, glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    counter.beginFrame();
    counter.beginPass("test");
    draw();
    const std::vector<PassFragments>& passes = counter.endFrame();
    EXPECT_EQ(passes.size(), 1u);
    return passes.empty() ? PassFragments{} : passes.front();
}

// Whether the invocations are about `windows` times the window's pixels: never fewer, and at most 10 %
// more (the driver shades in blocks of pixels, and where the quad's two triangles meet along its
// diagonal both shade the blocks the diagonal crosses; on this small window those are a few per cent);
// and whether the samples past the depth test are exactly `pastDepthTest` windows.
void expectWindows(const PassFragments& counts, std::uint64_t windows, std::uint64_t pastDepthTest,
                   const char* what)
{
    const std::uint64_t pixels = windowPixels() * windows;
    EXPECT_GE(counts.fragments, pixels) << what;
    EXPECT_LE(counts.fragments, pixels + pixels / 10) << what;
    EXPECT_EQ(counts.pastDepthTest, windowPixels() * pastDepthTest) << what;
}

TEST(PassFragmentCounter, AWindowCoveringQuadCountsAboutEveryPixelOnce)
{
    PassFragmentCounter counter;
    ASSERT_TRUE(counter.counts()) << "the driver offers no fragment counts";
    glDisable(GL_DEPTH_TEST);
    const PassFragments quad = fragmentsOf(counter, [] { drawWindowQuad(0.0f); });
    std::cout << "[          ] a window-covering quad: " << quad.fragments << " fragments for "
              << windowPixels() << " pixels\n";
    expectWindows(quad, 1, 1, "one quad");
    // Nothing drawn, nothing counted.
    const PassFragments nothing = fragmentsOf(counter, [] {});
    EXPECT_EQ(nothing.fragments, 0u);
    EXPECT_EQ(nothing.pastDepthTest, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

bool onLlvmpipe()
{
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return renderer != nullptr && std::string(renderer).find("llvmpipe") != std::string::npos;
}

// The colour at the window's centre.
std::vector<std::uint8_t> centrePixel()
{
    return kubora::test::readPixelsRgb(glutGet(GLUT_WINDOW_WIDTH) / 2, glutGet(GLUT_WINDOW_HEIGHT) / 2, 1, 1);
}

// What llvmpipe counts: 16 for every block of 4 x 4 pixels in which a triangle covers a pixel, counted
// before its depth test, so a fragment the depth test rejects counts as much as one it shades. Two
// window-covering quads count two windows whichever is drawn first, while the picture shows the near
// one either way. So on llvmpipe the counts say what the passes rasterise; drawing near before far
// cannot lower them, only drawing less can.
TEST(PassFragmentCounter, OnLlvmpipeFragmentsTheDepthTestRejectsAreCountedToo)
{
    if (!onLlvmpipe()) {
        GTEST_SKIP() << "another driver counts in its own way";
    }
    PassFragmentCounter counter;
    ASSERT_TRUE(counter.counts());
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    const auto quads = [](float first, float second) {
        return [=] {
            glColor3f(first < second ? 1.0f : 0.0f, first < second ? 0.0f : 1.0f, 0.0f);
            drawWindowQuad(first);
            glColor3f(first < second ? 0.0f : 1.0f, first < second ? 1.0f : 0.0f, 0.0f);
            drawWindowQuad(second);
        };
    };
    // The near quad is red, the far one green, in both orders.
    const PassFragments nearThenFar = fragmentsOf(counter, quads(-0.5f, 0.5f));
    EXPECT_EQ(centrePixel(), (std::vector<std::uint8_t>{255, 0, 0})) << "near then far";
    const PassFragments farThenNear = fragmentsOf(counter, quads(0.5f, -0.5f));
    EXPECT_EQ(centrePixel(), (std::vector<std::uint8_t>{255, 0, 0})) << "far then near";
    std::cout << "[          ] two quads: near then far " << nearThenFar.fragments << " fragments, "
              << nearThenFar.pastDepthTest << " past the depth test; far then near " << farThenNear.fragments
              << ", " << farThenNear.pastDepthTest << "\n";
    expectWindows(nearThenFar, 2, 1, "near then far: the far quad, hidden, invoked all the same");
    expectWindows(farThenNear, 2, 2, "far then near");
    // One pixel: one triangle of the square covers it, in one block.
    const PassFragments onePixel = fragmentsOf(counter, [] {
        const float width = static_cast<float>(glutGet(GLUT_WINDOW_WIDTH));
        const float height = static_cast<float>(glutGet(GLUT_WINDOW_HEIGHT));
        glRectf(-1.0f, -1.0f, -1.0f + 2.0f / width, -1.0f + 2.0f / height);
    });
    EXPECT_EQ(onePixel.fragments, 16u);
    EXPECT_EQ(onePixel.pastDepthTest, 1u);
    glColor3f(1.0f, 1.0f, 1.0f);
    glDepthFunc(GL_LEQUAL);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A HUD element that covers the window's lower half with a flat colour.
class HalfWindowBand : public HUDElement {
  public:
    void draw() override
    {
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glColor3f(0.2f, 0.3f, 0.4f);
        glRectf(-1.0f, -1.0f, 1.0f, 0.0f);
        glEnable(GL_DEPTH_TEST);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
};

// A small scene with the game's two lights, a sky and a HUD band, the spot light beside the boxes: the
// plan's camera pass is split, and its spot-light rectangle covers a part of what the camera sees.
class CountedFrame : public testing::Test {
  protected:
    void SetUp() override
    {
        glEnable(GL_DEPTH_TEST);
        scene.addPlane({0.0f, -1.0f, 0.0f}, 12.0f, {0.7f, 0.7f, 0.7f, 1.0f});
        for (int i = 0; i < 4; ++i) {
            scene.addBox({-1.5f + static_cast<float>(i), -0.5f, static_cast<float>(i % 2)},
                         {0.6f, 1.0f, 0.6f}, {0.8f, 0.2f, 0.2f, 1.0f});
        }
        const float aspect = static_cast<float>(glutGet(GLUT_WINDOW_WIDTH)) / glutGet(GLUT_WINDOW_HEIGHT);
        camera = std::make_unique<Camera>(Vector3f{-6.0f, 5.0f, -6.0f}, Vector3f{0.0f, -1.0f, 0.0f},
                                          Vector3f{0.0f, 1.0f, 0.0f}, 1.0f, 60.0f, aspect, 45.0f);
        renderer = std::make_unique<SceneRenderer>(camera.get());
        for (auto& object : scene.objects) {
            renderer->addObject(object.get());
        }
        kubora::test::configureGameLights(point, spot, 3.0f, 2.5f);
        renderer->addLight(&point);
        renderer->addLight(&spot);
        renderer->hudElements.push_back(&band);
        glViewport(0, 0, glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    }

    // One frame with the counter hooked in; returns its passes.
    std::vector<PassFragments> countedFrame()
    {
        renderer->fragmentCounter = &counter;
        renderer->render();
        renderer->fragmentCounter = nullptr;
        return counter.endFrame();
    }

    // One frame counted as a whole by a query around it, the renderer's hook left empty.
    PassFragments wholeFrame()
    {
        PassFragmentCounter whole;
        whole.beginFrame();
        whole.beginPass("whole frame");
        renderer->render();
        return PassFragmentCounter::total(whole.endFrame());
    }

    static std::vector<std::string> names(const std::vector<PassFragments>& passes)
    {
        std::vector<std::string> list;
        for (const PassFragments& pass : passes) {
            list.push_back(pass.pass);
        }
        return list;
    }

    TestScene scene;
    std::unique_ptr<Camera> camera;
    std::unique_ptr<SceneRenderer> renderer;
    PointLightSource point;
    SpotLightSource spot;
    HalfWindowBand band;
    PassFragmentCounter counter;
};

TEST_F(CountedFrame, PassesAddUpToTheWholeFrameInThePlansFrameAndTheExactOne)
{
    ASSERT_TRUE(counter.counts());
    struct Case {
        const char* name;
        FramePlan plan;
        std::vector<std::string> passes;
    };
    const std::vector<std::string> depthPasses = {"light 0 depth (point)", "light 1 depth (spot)"};
    FramePlan redrawn;
    redrawn.reuseDepthTextures = false; // every frame draws the same, so two frames can be compared
    const Case cases[] = {
        {"the plan's frame",
         redrawn,
         {depthPasses[0], depthPasses[1], "camera, spot rectangle", "camera, spotless", "sky behind scene",
          "HUD"}},
        {"the exact frame",
         FramePlan::exact(),
         {"sky first", depthPasses[0], depthPasses[1], "camera", "HUD"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        renderer->plan = test.plan;
        renderer->render(); // llvmpipe compiles its shader variants at their first use
        const std::vector<PassFragments> passes = countedFrame();
        EXPECT_EQ(names(passes), test.passes);
        for (const PassFragments& pass : passes) {
            EXPECT_TRUE(pass.drew) << pass.pass;
            EXPECT_GT(pass.fragments, 0u) << pass.pass;
        }
        if (test.plan.spotOnlyWhereItShows) {
            ASSERT_EQ(passes.size(), 6u);
            EXPECT_LT(passes[2].fragments, passes[3].fragments) << "the rectangle is a part of the window";
        }
        const PassFragments whole = wholeFrame();
        const PassFragments sum = PassFragmentCounter::total(passes);
        EXPECT_EQ(sum.fragments, whole.fragments) << PassFragmentCounter::describe(passes);
        EXPECT_EQ(sum.pastDepthTest, whole.pastDepthTest) << PassFragmentCounter::describe(passes);
        std::cout << "[          ] " << test.name << ": " << PassFragmentCounter::describe(passes)
                  << "; whole frame " << whole.fragments << "/" << whole.pastDepthTest << "\n";
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(CountedFrame, ADepthTextureKeptFromTheFrameBeforeDrawsNothing)
{
    ASSERT_TRUE(counter.counts());
    renderer->render();
    const std::vector<PassFragments> passes = countedFrame();
    ASSERT_GE(passes.size(), 2u);
    for (std::size_t light = 0; light < 2; ++light) {
        EXPECT_FALSE(passes[light].drew) << passes[light].pass;
        EXPECT_EQ(passes[light].fragments, 0u) << passes[light].pass;
    }
    EXPECT_NE(PassFragmentCounter::describe(passes).find("light 0 depth (point) drew nothing"),
              std::string::npos)
        << PassFragmentCounter::describe(passes);
}

// A driver without the extension: one line, and the counter's calls make no GL call that could fail.
TEST(PassFragmentCounter, WithoutTheExtensionSaysSoOnceAndCountsNothing)
{
    const GLboolean extension = __GLEW_ARB_pipeline_statistics_query;
    const GLboolean version = __GLEW_VERSION_4_6;
    __GLEW_ARB_pipeline_statistics_query = GL_FALSE;
    __GLEW_VERSION_4_6 = GL_FALSE;
    testing::internal::CaptureStderr();
    PassFragmentCounter counter;
    const std::string said = testing::internal::GetCapturedStderr();
    __GLEW_ARB_pipeline_statistics_query = extension;
    __GLEW_VERSION_4_6 = version;

    EXPECT_EQ(said, "kubora: fragment counts: this OpenGL offers no GL_ARB_pipeline_statistics_query; "
                    "passes are not counted\n");
    EXPECT_FALSE(counter.counts());
    counter.beginFrame();
    counter.beginPass("sky");
    counter.endPass();
    EXPECT_TRUE(counter.endFrame().empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
} // namespace libkub
