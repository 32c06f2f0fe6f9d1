// Depth textures reused while what their light sees stands still: through a sequence of frames of the
// assembled game (idle, the spot light following the hover, a selection, dice gliding, a die added, dice
// destroyed, the camera orbiting, wireframe), each frame equals the same frame drawn with every depth
// pass redrawn, and a light's pass is skipped exactly when nothing it sees changed.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/Camera.h"
#include "engine/PointLightSource.h"
#include "engine/RenderSettings.h"
#include "engine/SceneRenderer.h"
#include "engine/SpotLightSource.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "game/CalendarClock.h"
#include "game/Game.h"
#include "game/Player.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/ReferencePicture.h"

namespace {

// Which depth passes a frame drew.
struct PassesDrawn {
    bool point = false;
    bool spot = false;
};

class DepthTextureReuse : public testing::Test {
  protected:
    void SetUp() override
    {
        Kubora::setCalendarClock([] { return 7'000'000; });
        Kubora::onReshape(width, height);
        (*application).renderer->hudElements.clear(); // the 3D picture only
    }

    void TearDown() override
    {
        libkub::RenderSettings::instance().wireframe = false;
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
        const std::vector<std::uint8_t> reused = kubora::test::readFrameTopDown(width, height);
        const PassesDrawn drawn{application->pointLight->depthPassesDrawn != pointBefore,
                                application->spotLight->depthPassesDrawn != spotBefore};

        renderer.reuseDepthTextures = false;
        renderer.render();
        const std::vector<std::uint8_t> redrawn = kubora::test::readFrameTopDown(width, height);
        renderer.reuseDepthTextures = true;

        std::size_t differing = 0;
        for (std::size_t i = 0; i < reused.size(); i += 3) {
            differing +=
                reused[i] != redrawn[i] || reused[i + 1] != redrawn[i + 1] || reused[i + 2] != redrawn[i + 2]
                    ? 1
                    : 0;
        }
        EXPECT_EQ(differing, 0u) << step << ": pixels that differ from the frame with every pass redrawn";
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << step;
        return drawn;
    }

    Kubora::BoardTile& tile(int row, int column) { return *application->board->tileAt(row, column); }

    static constexpr int width = kubora::test::glTestWindowWidth;
    static constexpr int height = kubora::test::glTestWindowHeight;
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

} // namespace
