// Depth textures reused while what their light sees stands still: through a sequence of frames of the
// assembled game (idle, the spot light following the hover, a selection, dice gliding, a die added, dice
// destroyed, the camera orbiting, wireframe), each frame equals the same frame drawn with every depth
// pass redrawn, and a light's pass is skipped exactly when nothing it sees changed; a new depth texture,
// a changed size, or the tiles' geometry recorded again under the same name make the next pass run.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/scene/Camera.h"
#include "engine/scene/PointLightSource.h"
#include "engine/resources/RenderSettings.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "game/CalendarClock.h"
#include "game/Game.h"
#include "game/Player.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "collada/ColladaDocument.h"
#include "engine/resources/DataFolder.h"
#include "engine/scene/DepthPassRecord.h"
#include "engine/resources/Mesh.h"
#include "engine/resources/Model.h"
#include "tests/support/PictureBound.h"

namespace {

// Which depth passes a frame drew.
struct PassesDrawn {
    bool point = false;
    bool spot = false;
};

// Sets the render mode the scene's models are built for, before the application is assembled.
struct BuiltFor {
    explicit BuiltFor(libkub::RenderMode mode) { libkub::RenderSettings::instance().renderMode = mode; }
};

class DepthTextureReuse : public testing::Test {
  protected:
    explicit DepthTextureReuse(libkub::RenderMode mode = libkub::VBO) : builtFor(mode) {}

    void SetUp() override
    {
        Kubora::setCalendarClock([] { return 7'000'000; });
        Kubora::onReshape(width, height);
        (*application).renderer->hudElements.clear(); // the 3D picture only
    }

    void TearDown() override
    {
        libkub::RenderSettings::instance().wireframe = false;
        libkub::RenderSettings::instance().renderMode = libkub::VBO;
        Kubora::setCalendarClock({});
    }

    // Draws the frame as the game does (reusing depth textures), then again with every depth pass
    // redrawn, and expects the two pictures to be the same to the last bit.
    PassesDrawn expectFrameAsRedrawn(const std::string& step)
    {
        libkub::SceneRenderer& renderer = *application->renderer;
        const std::uint64_t pointBefore = application->pointLight->depthPassesDrawn;
        const std::uint64_t spotBefore = application->spotLight->depthPassesDrawn;
        renderer.render();
        const kubora::test::Frame reused = kubora::test::readFrame(width, height);
        const PassesDrawn drawn{application->pointLight->depthPassesDrawn != pointBefore,
                                application->spotLight->depthPassesDrawn != spotBefore};

        renderer.plan.reuseDepthTextures = false;
        renderer.render();
        const kubora::test::Frame redrawn = kubora::test::readFrame(width, height);
        renderer.plan.reuseDepthTextures = true;

        EXPECT_TRUE(kubora::test::identicalFrames(redrawn, reused, "depth-texture-reuse.png")) << step;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << step;
        return drawn;
    }

    // Both lights' passes reused: the state a planted stale texture would hide in.
    void settle()
    {
        application->renderer->render();
        const PassesDrawn drawn = expectFrameAsRedrawn("settled");
        ASSERT_FALSE(drawn.point || drawn.spot);
    }

    Kubora::BoardTile& tile(int row, int column) { return *application->board->tileAt(row, column); }

    static constexpr int width = kubora::test::glTestWindowWidth;
    static constexpr int height = kubora::test::glTestWindowHeight;
    BuiltFor builtFor;
    kubora::test::AssembledApplication application;
};

TEST_F(DepthTextureReuse, EachFrameOfAPlayedSequenceEqualsTheFrameWithEveryPassRedrawn)
{
    Kubora::Game& game = *application->game;
    libkub::SpotLightSource& spot = *application->spotLight;
    Kubora::Player& blue = *application->players[2];
    Kubora::Player& red = *application->players[0];
    game.setTile(tile(3, 3), &blue, 4);
    game.setTile(tile(4, 4), &red, 3);
    game.currentPlayer = &blue;

    PassesDrawn drawn = expectFrameAsRedrawn("first frame");
    EXPECT_TRUE(drawn.point && drawn.spot) << "the first frame fills both textures";

    drawn = expectFrameAsRedrawn("nothing changed");
    EXPECT_FALSE(drawn.point || drawn.spot) << "both textures are reused while nothing moves";

    // The spot light follows the pointer over a tile, as the hover moves it.
    const libkub::Vector3f hovered = tile(3, 3).model()->mesh.translation;
    spot.position = {hovered.x, spot.position.g, hovered.z, 1.0f};
    spot.direction = {0.0f, -1.0f, 0.0f};
    drawn = expectFrameAsRedrawn("spot light moved over the hovered tile");
    EXPECT_TRUE(drawn.spot);
    EXPECT_FALSE(drawn.point) << "the point light's view did not change";

    // Selecting lights the tile up: a new colour, the same depth.
    game.handleClick(&tile(3, 3));
    ASSERT_EQ(application->board->selectedTile, &tile(3, 3));
    drawn = expectFrameAsRedrawn("tile selected");
    EXPECT_FALSE(drawn.point || drawn.spot);

    // A move: three dice glide to the empty neighbour over 400 ms of frame time.
    game.handleClick(&tile(4, 3));
    ASSERT_FALSE(game.pending.empty());
    int glidingFrames = 0;
    while (!game.pending.empty() && glidingFrames < 20) {
        game.update(50.0);
        ++glidingFrames;
        drawn = expectFrameAsRedrawn("dice gliding, frame " + std::to_string(glidingFrames));
        EXPECT_TRUE(drawn.point || game.pending.empty()) << "gliding dice change the point light's view";
    }
    EXPECT_GE(glidingFrames, 5);
    drawn = expectFrameAsRedrawn("the dice arrived");
    EXPECT_FALSE(drawn.point || drawn.spot);

    // A die added on the tile under the spot light.
    game.addDie(tile(3, 3));
    drawn = expectFrameAsRedrawn("a die added");
    EXPECT_TRUE(drawn.point && drawn.spot);

    // An attack from the moved stack: whatever the rolls, dice are destroyed and leave the scene.
    const std::size_t diceBefore = game.diceInPlay();
    game.handleClick(&tile(4, 3));
    game.handleClick(&tile(4, 4));
    for (int frame = 0; frame < 12; ++frame) {
        game.update(50.0);
        expectFrameAsRedrawn("after the attack, frame " + std::to_string(frame));
    }
    EXPECT_LT(game.diceInPlay(), diceBefore);
    drawn = expectFrameAsRedrawn("the attack settled");
    EXPECT_FALSE(drawn.point || drawn.spot);

    // The camera orbits: the lights see what they saw.
    application->camera->orbit(0.3f, 0.1f);
    drawn = expectFrameAsRedrawn("camera orbited");
    EXPECT_FALSE(drawn.point || drawn.spot);

    // Wireframe draws the depth passes in lines too: both are redrawn, and again when it goes off.
    libkub::RenderSettings::instance().wireframe = true;
    drawn = expectFrameAsRedrawn("wireframe on");
    EXPECT_TRUE(drawn.point && drawn.spot);
    libkub::RenderSettings::instance().wireframe = false;
    drawn = expectFrameAsRedrawn("wireframe off");
    EXPECT_TRUE(drawn.point && drawn.spot);
}

TEST_F(DepthTextureReuse, ANewDepthTextureOrSizeIsDrawnAndTheOldTargetReleased)
{
    settle();
    libkub::LightSource& spot = *application->spotLight;
    const GLuint oldTexture = spot.depthTexture;
    const GLuint oldFramebuffer = spot.framebuffer;
    spot.createShadowTarget();
    EXPECT_EQ(glIsTexture(oldTexture), GL_FALSE) << "the old depth texture is released";
    EXPECT_EQ(glIsFramebufferEXT(oldFramebuffer), GL_FALSE) << "the old framebuffer is released";
    // The new texture holds no pass yet, whatever name GL gave it: the frame that reuses what it can
    // must draw it, or its picture (shadows from an empty depth texture) differs from the redrawn one.
    PassesDrawn drawn = expectFrameAsRedrawn("a new spot depth texture");
    EXPECT_TRUE(drawn.spot);
    EXPECT_FALSE(drawn.point);

    settle();
    libkub::LightSource& point = *application->pointLight;
    point.setupShadowMap(point.shadowProgram, point.shadowIndex, point.camera);
    drawn = expectFrameAsRedrawn("the point light set up again");
    EXPECT_TRUE(drawn.point);
    EXPECT_FALSE(drawn.spot);

    // The size goes into the record: a pass into a texture of another size is drawn.
    settle();
    libkub::DepthPassRecord sameSize;
    libkub::DepthPassRecord otherSize;
    sameSize.begin(spot.depthTexture, 512, spot.lightProjection, spot.lightView, 0, false, true);
    otherSize.begin(spot.depthTexture, 1024, spot.lightProjection, spot.lightView, 0, false, true);
    EXPECT_FALSE(sameSize == otherSize);
}

TEST_F(DepthTextureReuse, APlanSwitchThatChangesHowThePassDrawsRedrawsIt)
{
    application->game->setTile(tile(3, 3), application->players[2].get(), 12);
    application->game->setTile(tile(4, 4), application->players[0].get(), 12);
    libkub::SceneRenderer& renderer = *application->renderer;
    // Instancing and columns decide how the casters are drawn: a texture drawn the other way is not
    // the one this frame would draw.
    for (bool libkub::FramePlan::*shortcut :
         {&libkub::FramePlan::instancing, &libkub::FramePlan::stackColumns}) {
        settle();
        renderer.plan.*shortcut = false;
        PassesDrawn drawn = expectFrameAsRedrawn("a shortcut off");
        EXPECT_TRUE(drawn.point && drawn.spot);
        renderer.plan.*shortcut = true;
        drawn = expectFrameAsRedrawn("the shortcut on again");
        EXPECT_TRUE(drawn.point && drawn.spot);
    }
    // From the exact frame back to the frame with its shortcuts: the exact frame's depth textures were
    // drawn object by object.
    settle();
    renderer.plan = libkub::FramePlan::exact();
    renderer.render();
    renderer.plan = libkub::FramePlan{};
    const PassesDrawn drawn = expectFrameAsRedrawn("after the exact frame");
    EXPECT_TRUE(drawn.point && drawn.spot);
}

class GeometryRecordedAgain : public DepthTextureReuse,
                              public testing::WithParamInterface<libkub::RenderMode> {
  protected:
    GeometryRecordedAgain() : DepthTextureReuse(GetParam()) {}
};

TEST_P(GeometryRecordedAgain, UnderTheSameNameRedrawsThePasses)
{
    application->game->setTile(tile(3, 3), application->players[2].get(), 3);
    settle();
    // Every tile twice as tall, recorded again as the mesh building functions record: the display list
    // under its own name, the vertex buffer under the name the driver gives it after the old one is
    // deleted (often the same).
    libkub::ColladaDocument document;
    ASSERT_TRUE(document.loadFromFile(libkub::dataFile("tile.dae")));
    libkub::Mesh taller;
    std::vector<libkub::Triangle> triangles = libkub::extractTriangles(document);
    for (libkub::Triangle& triangle : triangles) {
        for (libkub::Corner& corner : triangle.corners) {
            corner.position.y = corner.position.y * 2.0f + 0.2f;
        }
    }
    taller.triangles = triangles;
    libkub::Mesh& first = tile(0, 0).model()->mesh;
    if (GetParam() == libkub::VBO) {
        const unsigned old = first.vertexBuffer;
        glDeleteBuffersARB(1, &old);
        libkub::fillVertexBuffer(taller);
        for (int row = 0; row < 8; ++row) {
            for (int column = 0; column < 8; ++column) {
                tile(row, column).model()->mesh.vertexBuffer = taller.vertexBuffer;
            }
        }
    } else {
        taller.displayList = first.displayList;
        libkub::compileDisplayList(taller);
    }
    const PassesDrawn drawn = expectFrameAsRedrawn("the tiles recorded again");
    EXPECT_TRUE(drawn.point && drawn.spot);
}

INSTANTIATE_TEST_SUITE_P(BufferAndList, GeometryRecordedAgain,
                         testing::Values(libkub::VBO, libkub::DisplayList));

} // namespace
