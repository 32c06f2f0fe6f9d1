// Frustum culling keeps what is on screen, in each render mode: a box outside the camera's view still
// throws its shadow into it, and the game's board is drawn at every pose of a close orbit while any of
// it shows (culled and unculled frames are the same pixels).
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/resources/RenderSettings.h"
#include "engine/scene/Camera.h"
#include "engine/math/Frustum.h"
#include "engine/resources/Model.h"
#include "engine/scene/PointLightSource.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SkyBox.h"
#include "engine/scene/SpotLightSource.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/TestScene.h"

namespace libkub {
namespace {

using kubora::test::ModelObject;
using kubora::test::TestScene;

class Culling : public testing::TestWithParam<RenderMode> {
  protected:
    void SetUp() override
    {
        RenderSettings::instance().renderMode = GetParam();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glEnable(GL_DEPTH_TEST);
    }
    void TearDown() override
    {
        RenderSettings::instance().renderMode = VBO;
        RenderSettings::instance().frustumCulling = false;
    }

    // One frame drawn with culling on or off, read back from the window.
    std::vector<std::uint8_t> frame(SceneRenderer& renderer, bool culling)
    {
        RenderSettings::instance().frustumCulling = culling;
        renderer.render();
        glFinish();
        glReadBuffer(GL_BACK);
        return kubora::test::readPixelsRgb(0, 0, width, height);
    }

    int brightnessAtCentre(const std::vector<std::uint8_t>& pixels) const
    {
        const std::size_t at = (static_cast<std::size_t>(height / 2) * width + width / 2) * 3;
        return pixels[at] + pixels[at + 1] + pixels[at + 2];
    }

    const int width = glutGet(GLUT_WINDOW_WIDTH);
    const int height = glutGet(GLUT_WINDOW_HEIGHT);
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
};

TEST_P(Culling, ABoxOutsideTheViewStillCastsItsShadowIntoIt)
{
    TestScene scene;
    scene.addPlane({12.0f, -1.0f, 12.0f}, 24.0f, {0.8f, 0.8f, 0.8f, 1.0f});
    // Straight under the point light and above the top of the camera's view: its shadow falls on the
    // plane at the view's centre.
    ModelObject& box = scene.addBox({12.0f, 5.0f, 12.0f}, {1.5f, 1.5f, 1.5f}, {0.8f, 0.2f, 0.2f, 1.0f});
    Camera camera({12.0f, 1.0f, 2.0f}, {12.0f, -1.0f, 12.0f}, {0.0f, 1.0f, 0.0f}, 1.0f, 90.0f, aspect, 45.0f);
    ASSERT_EQ(camera.frustum->classifyBox(box.model()->drawnBounds()), Outside);
    SceneRenderer renderer(&camera);
    for (auto& object : scene.objects) {
        renderer.addObject(object.get());
    }
    PointLightSource point;
    SpotLightSource spot;
    kubora::test::configureGameLights(point, spot, -30.0f, -30.0f); // the spot light far off
    renderer.addLight(&point);
    renderer.addLight(&spot);

    // The first frame sets the lights while the modelview holds whatever came before; from the second
    // on it holds the camera's view.
    frame(renderer, false);
    const auto unculled = frame(renderer, false);
    const auto culled = frame(renderer, true);
    EXPECT_EQ(culled, unculled);
    // The shadow: the centre is darker than the lit plane a little below it on screen.
    const std::size_t lower = (static_cast<std::size_t>(height / 8) * width + width / 2) * 3;
    const int lit = culled[lower] + culled[lower + 1] + culled[lower + 2];
    EXPECT_LT(brightnessAtCentre(culled), lit * 3 / 4);
}

TEST_P(Culling, TheBoardIsDrawnAtEveryPoseOfACloseOrbitWhileAnyOfItShows)
{
    // The board as the game places it, seen from close by its corner while the camera circles.
    ModelObject board(loadModel("data/board.dae"));
    board.model()->box = BoundingBox{};
    board.model()->setSize(16.8f, 3.0f, 16.8f);
    board.model()->setPosition(10.0f, -2.0f, 9.0f);
    Camera camera({-4.0f, 1.0f, -4.0f}, {-1.0f, -1.5f, -1.0f}, {0.0f, 1.0f, 0.0f}, 1.0f, 90.0f, aspect,
                  45.0f);
    SceneRenderer renderer(&camera);
    renderer.addObject(&board);
    renderer.skyBox.reset(); // black around the board
    int posesShowingIt = 0;
    for (int step = 0; step < 16; ++step) {
        camera.orbit(0.3926991f, step % 4 == 0 ? 0.2f : 0.0f); // a sixteenth of a turn, now and then tilted
        const auto unculled = frame(renderer, false);
        const auto culled = frame(renderer, true);
        EXPECT_EQ(culled, unculled) << "pose " << step;
        bool shows = false;
        for (const std::uint8_t value : unculled) {
            shows = shows || value != 0;
        }
        posesShowingIt += shows ? 1 : 0;
    }
    EXPECT_GT(posesShowingIt, 8);
}

// An object whose model stands out of view but that also draws something else, in view: what it draws
// beyond its model has no bounds the camera could test.
class ModelAndMore : public DrawableObject {
  public:
    ModelAndMore(ModelObject& ownModel, ModelObject& more) : own(ownModel), extra(more) {}
    void draw() override
    {
        own.draw();
        extra.draw();
    }
    Model* model() override { return own.model(); }

  private:
    ModelObject& own;
    ModelObject& extra;
};

TEST_P(Culling, AnObjectThatDrawsMoreThanItsModelIsNeverCulled)
{
    TestScene scene;
    ModelObject& outOfView = scene.addBox({12.0f, 5.0f, 12.0f}, {1.0f, 1.0f, 1.0f}, {0.8f, 0.2f, 0.2f, 1.0f});
    ModelObject& inView = scene.addBox({12.0f, -1.0f, 12.0f}, {3.0f, 3.0f, 3.0f}, {0.9f, 0.9f, 0.9f, 1.0f});
    Camera camera({12.0f, 1.0f, 2.0f}, {12.0f, -1.0f, 12.0f}, {0.0f, 1.0f, 0.0f}, 1.0f, 90.0f, aspect, 45.0f);
    ASSERT_EQ(camera.frustum->classifyBox(outOfView.model()->drawnBounds()), Outside);
    ModelAndMore object(outOfView, inView);
    SceneRenderer renderer(&camera);
    renderer.skyBox.reset(); // black around the box
    renderer.addObject(&object);
    PointLightSource point;
    SpotLightSource spot;
    kubora::test::configureGameLights(point, spot, 12.0f, 12.0f);
    renderer.addLight(&point);
    renderer.addLight(&spot);

    // In the exact frame too: frustum culling is no shortcut of the plan, and the plain frame must show
    // what the object draws.
    for (const FramePlan plan : {FramePlan{}, FramePlan::exact()}) {
        renderer.plan = plan;
        frame(renderer, false);
        const auto unculled = frame(renderer, false);
        const auto culled = frame(renderer, true);
        EXPECT_GT(brightnessAtCentre(unculled), 0) << "the box in view is drawn";
        EXPECT_EQ(culled, unculled) << (plan.isExact() ? "exact frame" : "frame with its shortcuts");
    }
}

INSTANTIATE_TEST_SUITE_P(RenderModes, Culling, testing::Values(VBO, Immediate, DisplayList));

} // namespace
} // namespace libkub
