// The game inside the shell's callbacks: the idle update, the space key, left clicks on the picked
// tile only in the human's turn, the hover that moves the spot light and the board's hovered tile,
// and the frame rate handed to the status bar.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "app/InputCallbacks.h"
#include "engine/resources/RenderSettings.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/CalendarClock.h"
#include "game/Game.h"
#include "game/Player.h"
#include "hud/StatusBar.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"

namespace {

std::int32_t clockSecond = 7'000'000;

// The calendar clock under the test's control from before the scene is assembled, so that the
// first turn's timer already reads it.
struct ControlledClock {
    ControlledClock()
    {
        Kubora::setCalendarClock([] { return clockSecond; });
    }
    ~ControlledClock() { Kubora::setCalendarClock({}); }
    ControlledClock(const ControlledClock&) = delete;
    ControlledClock& operator=(const ControlledClock&) = delete;
};

class GameWiring : public testing::Test {
  protected:
    void SetUp() override
    {
        Kubora::onReshape(kubora::test::glTestWindowWidth, kubora::test::glTestWindowHeight);
    }

    void TearDown() override { libkub::RenderSettings::instance() = libkub::RenderSettings{}; }

    Kubora::Game& game() { return *application->game; }
    Kubora::BoardTile* tile(int row, int column) { return application->board->tileAt(row, column); }
    void pick(Kubora::BoardTile* picked) { application->renderer->pickedObject = picked; }

    // Space, then one idle call: the turn passes on.
    void passTurn()
    {
        Kubora::onKeyDown(' ', 0, 0);
        Kubora::onIdle();
    }

    ControlledClock clock;
    kubora::test::AssembledApplication application;
};

} // namespace

TEST_F(GameWiring, IdleAdvancesTheGameByTheFrameTime)
{
    application->frameTime = 100.0;
    Kubora::onIdle(); // red acts in its first frame: four dice set off
    EXPECT_EQ(application->statusBar->countdown, 5);
    ASSERT_EQ(game().pending.size(), 1u);
    Kubora::onIdle();
    EXPECT_EQ(game().pending[0].movements.front().elapsed, 100.0);
}

TEST_F(GameWiring, SpaceEndsTheTurnAtTheNextUpdate)
{
    Kubora::onKeyDown(' ', 0, 0);
    EXPECT_EQ(game().timer->end, 0);
    EXPECT_EQ(game().currentPlayer, application->players[0].get());
    Kubora::onIdle();
    EXPECT_EQ(game().currentPlayer, application->players[1].get());
    EXPECT_EQ(game().timer->end, clockSecond + 5);
    Kubora::onKeyUp(' ', 0, 0); // no held-key flag for space
    EXPECT_FALSE(application->moveLeft || application->moveRight || application->zoomIn ||
                 application->zoomOut);
}

TEST_F(GameWiring, LeftPressActsOnThePickedTileOnlyInTheHumansTurn)
{
    pick(tile(0, 0));
    Kubora::onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 5, 5); // red, a computer, is playing
    EXPECT_EQ(application->board->selectedTile, nullptr);

    passTurn();
    passTurn();
    ASSERT_EQ(game().currentPlayer, application->players[2].get());
    Kubora::onMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 5, 5);
    Kubora::onMouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 5, 5);
    EXPECT_EQ(application->board->selectedTile, nullptr);
    Kubora::onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 5, 5);
    EXPECT_EQ(application->board->selectedTile, tile(0, 0));
    pick(tile(1, 0));
    Kubora::onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 5, 5); // a move onto the empty neighbour
    EXPECT_EQ(application->board->selectedTile, tile(1, 0));
    EXPECT_EQ(tile(1, 0)->diceCount(), 4u);
}

TEST_F(GameWiring, LeftPressWithNothingPickedDoesNothing)
{
    passTurn();
    passTurn();
    pick(nullptr);
    Kubora::onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 5, 5);
    EXPECT_EQ(application->board->selectedTile, nullptr);
    EXPECT_TRUE(game().pending.empty());
}

TEST_F(GameWiring, HoverMarksTheTileAndHangsTheSpotLightAboveIt)
{
    pick(tile(3, 4));
    Kubora::onPointerMove(100, 120);
    EXPECT_EQ(application->board->hoveredTile, tile(3, 4));
    EXPECT_EQ(application->spotLight->position, (libkub::Color4f{9.0f, 6.0f, 12.0f, 1.0f}));
    EXPECT_EQ(application->spotLight->direction, (libkub::Vector3f{0.0f, -1.0f, 0.0f}));
    pick(nullptr);
    Kubora::onPointerMove(101, 120);
    EXPECT_EQ(application->board->hoveredTile, nullptr);
    EXPECT_EQ(application->spotLight->position, (libkub::Color4f{9.0f, 6.0f, 12.0f, 1.0f}));
}

TEST_F(GameWiring, DisplayHandsTheFrameRateToTheStatusBarWhileTheOverlayShows)
{
    Kubora::onDisplay();
    EXPECT_EQ(application->statusBar->framesPerSecond, static_cast<float>(1000.0 / application->frameTime));
    libkub::RenderSettings::instance().showOverlay = false;
    application->statusBar->framesPerSecond = 42.0f;
    Kubora::onDisplay();
    EXPECT_EQ(application->statusBar->framesPerSecond, 42.0f);
}
