// Near before far: in every render mode, for every board of towers, the frame with every shortcut stays
// within the picture bound of the exact frame and of the same frame with only near-before-far off; and
// where rows of towers stand in front of one another, seen from where the list holds the far rows first,
// it lets at least a tenth fewer fragments through the depth test than that frame does, and each depth
// pass fewer. (Those are the
// fragments llvmpipe shades: it tests depth before it shades. Its count of fragment shader invocations is
// taken before that test and drops with no order.)
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <string>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/render/DepthPass.h"
#include "engine/render/EdgeMap.h"
#include "engine/render/FramePlan.h"
#include "engine/render/SceneRenderer.h"
#include "engine/resources/RenderSettings.h"
#include "engine/scene/LightSource.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/PictureBound.h"
#include "tests/support/ShortcutPictures.h"
#include "tests/support/TowerScenes.h"

namespace {

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

// A frame drawn under one plan: its picture and the samples that passed the depth test while it was
// drawn (the depth passes included, though a frame that follows one of the same scene reuses them).
struct PlannedFrame {
    kubora::test::Frame picture;
    GLuint samplesPassed = 0;
};

PlannedFrame drawUnder(libkub::SceneRenderer& renderer, const libkub::FramePlan& plan)
{
    renderer.plan = plan;
    renderer.render();
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_SAMPLES_PASSED, query);
    renderer.render();
    glEndQuery(GL_SAMPLES_PASSED);
    PlannedFrame frame;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &frame.samplesPassed);
    glDeleteQueries(1, &query);
    frame.picture = kubora::test::readFrame(width, height);
    return frame;
}

// The samples that pass the depth test in the light's depth pass, drawn afresh under the plan.
GLuint depthPassSamples(libkub::SceneRenderer& renderer, libkub::LightSource& light, libkub::FramePlan plan)
{
    plan.reuseDepthTextures = false;
    renderer.plan = plan;
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_SAMPLES_PASSED, query);
    libkub::drawDepthPass(renderer, light);
    glEndQuery(GL_SAMPLES_PASSED);
    GLuint samples = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
    glDeleteQueries(1, &query);
    return samples;
}

using NearBeforeFar = kubora::test::TowerSceneTest;

TEST_P(NearBeforeFar, KeepsTheFrameWithinTheBoundAndLetsFewerFragmentsThroughThanListOrder)
{
    libkub::FramePlan listOrder;
    listOrder.nearBeforeFar = false;
    const PlannedFrame nearFirst = drawUnder(renderer, libkub::FramePlan{});
    const PlannedFrame inListOrder = drawUnder(renderer, listOrder);
    const kubora::test::ExactFrame exact{drawUnder(renderer, libkub::FramePlan::exact()).picture,
                                         libkub::drawEdgeMap(renderer, width, height)};
    renderer.plan = libkub::FramePlan{};
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const std::string name = this->name();
    const std::string file = this->file("near-before-far");
    EXPECT_TRUE(kubora::test::shortcutFrameWithinBound(exact, nearFirst.picture, file + ".png")) << name;
    EXPECT_TRUE(kubora::test::shortcutFrameWithinBound(exact, inListOrder.picture, nearFirst.picture,
                                                       file + "-against-list-order.png"))
        << name;
    if (scene.listHoldsFarTowersFirst) {
        // At least a tenth fewer: the order has to turn away a good share of the hidden fragments, not
        // win by chance.
        EXPECT_LT(nearFirst.samplesPassed, inListOrder.samplesPassed - inListOrder.samplesPassed / 10)
            << name << ": nearest first " << nearFirst.samplesPassed << ", in list order "
            << inListOrder.samplesPassed;
        // The lights look down on the towers, whatever the view: their depth passes write fewer
        // depths nearest the light first, the tops of the towers before what they hide. (Not a promise
        // for every board: at the start, six dice a tile, the point light's pass writes more in the
        // immediate and display-list modes.)
        for (libkub::LightSource* light : renderer.lights) {
            const GLuint nearLight = depthPassSamples(renderer, *light, libkub::FramePlan{});
            const GLuint listLight = depthPassSamples(renderer, *light, listOrder);
            EXPECT_LT(nearLight, listLight) << name << ", light " << light->shadowIndex;
        }
        renderer.plan = libkub::FramePlan{};
    }
}

INSTANTIATE_TEST_SUITE_P(ScenesAndModes, NearBeforeFar, kubora::test::everyTowerSceneInEveryMode(),
                         kubora::test::towerCaseName);

} // namespace
