// Depth passes confined to what moved: while dice glide between towers of the assembled game, each
// light's depth pass draws only the texels around the gliding dice, and every frame is the same to the
// last bit as the frame with every depth pass drawn whole; a die added draws the whole pass. Checked in
// every render mode.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/render/PassFragmentCounter.h"
#include "engine/render/SceneRenderer.h"
#include "engine/resources/RenderSettings.h"
#include "engine/scene/PointLightSource.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "game/CalendarClock.h"
#include "game/Game.h"
#include "game/Player.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/PictureBound.h"

namespace {

using libkub::RenderMode;

const char* modeName(RenderMode mode)
{
    return mode == libkub::VBO ? "vbo" : mode == libkub::DisplayList ? "displaylist" : "immediate";
}

// Sets the render mode the scene's models are built for, before the application is assembled.
struct BuiltFor {
    explicit BuiltFor(RenderMode mode) { libkub::RenderSettings::instance().renderMode = mode; }
};

class ConfinedDepthRedraw : public testing::TestWithParam<RenderMode> {
  protected:
    ConfinedDepthRedraw() : builtFor(GetParam()) {}

    void SetUp() override
    {
        Kubora::setCalendarClock([] { return 7'000'000; });
        Kubora::onReshape(width, height);
        application->renderer->hudElements.clear(); // the 3D picture only
        // Every object drawn in both frames compared: the hidden ones a frame leaves out depend on what
        // moved since the frame before, and the frames compared here differ only in their depth passes.
        application->renderer->plan.skipHiddenObjects = false;
    }

    void TearDown() override
    {
        libkub::RenderSettings::instance().renderMode = libkub::VBO;
        Kubora::setCalendarClock({});
    }

    // The point light's depth pass in a frame drawn as the game draws it: its fragments, or nothing
    // when the texture was kept. The frame is then held to the same frame with every depth pass drawn
    // whole, which the next step starts from.
    std::optional<std::uint64_t> pointPassOfCheckedFrame(const std::string& step)
    {
        libkub::SceneRenderer& renderer = *application->renderer;
        renderer.fragmentCounter = &counter;
        renderer.render();
        renderer.fragmentCounter = nullptr;
        const libkub::LightSource& pointLight = *renderer.lights.front();
        leftOut = pointLight.castersLeftOut;
        casters = pointLight.casters.size();
        std::optional<std::uint64_t> point;
        for (const libkub::PassFragments& pass : counter.endFrame()) {
            if (pass.pass.rfind("light 0 depth", 0) == 0 && pass.drew) {
                point = pass.fragments;
            }
        }
        const kubora::test::Frame frame = kubora::test::readFrame(width, height);

        // Drawn whole, with every other shortcut as the game has them.
        renderer.plan.reuseDepthTextures = false;
        renderer.render();
        const kubora::test::Frame whole = kubora::test::readFrame(width, height);
        renderer.plan.reuseDepthTextures = true;
        const std::string name = std::string("confined-depth-") + modeName(GetParam()) + ".png";
        EXPECT_TRUE(kubora::test::identicalFrames(whole, frame, name)) << step;
        return point;
    }

    // The point light's depth pass drawn whole, counted.
    std::uint64_t wholePointPass()
    {
        libkub::SceneRenderer& renderer = *application->renderer;
        renderer.plan.reuseDepthTextures = false;
        renderer.fragmentCounter = &counter;
        renderer.render();
        renderer.fragmentCounter = nullptr;
        renderer.plan.reuseDepthTextures = true;
        for (const libkub::PassFragments& pass : counter.endFrame()) {
            if (pass.pass.rfind("light 0 depth", 0) == 0) {
                return pass.fragments;
            }
        }
        return 0;
    }

    Kubora::BoardTile& tile(int row, int column) { return *application->board->tileAt(row, column); }

    static constexpr int width = kubora::test::glTestWindowWidth;
    static constexpr int height = kubora::test::glTestWindowHeight;
    BuiltFor builtFor;
    kubora::test::AssembledApplication application;
    libkub::PassFragmentCounter counter;
    // The point light's casters in the last checked frame, and how many its depth pass left out.
    std::size_t casters = 0;
    std::size_t leftOut = 0;
};

TEST_P(ConfinedDepthRedraw, GlidingDiceRedrawOnlyTheirTexelsAndEachFrameIsTheWholePassesFrame)
{
    ASSERT_TRUE(counter.counts());
    Kubora::Game& game = *application->game;
    Kubora::Player& blue = *application->players[2];
    Kubora::Player& red = *application->players[0];
    // Towers around the move, so that a whole pass has much to draw and the gliding dice pass their
    // shadows over them.
    for (int row = 1; row < 7; ++row) {
        for (int column = 1; column < 7; ++column) {
            game.setTile(tile(row, column), (row + column) % 2 == 0 ? &red : &blue, 6 + row + column);
        }
    }
    game.setTile(tile(3, 3), &blue, 5);
    game.setTile(tile(4, 3), nullptr, 0);
    game.currentPlayer = &blue;
    const std::uint64_t whole = wholePointPass();
    ASSERT_GT(whole, 0u);
    application->renderer->render(); // the game's frame holds the whole passes now

    // A move: the dice glide to the empty neighbour.
    game.handleClick(&tile(3, 3));
    game.handleClick(&tile(4, 3));
    ASSERT_FALSE(game.pending.empty());
    int glidingFrames = 0;
    while (!game.pending.empty() && glidingFrames < 20) {
        game.update(50.0);
        ++glidingFrames;
        // Each gliding frame begins from the game's passes of the step before, so each draws one step.
        const std::optional<std::uint64_t> point =
            pointPassOfCheckedFrame("dice gliding, frame " + std::to_string(glidingFrames));
        if (!game.pending.empty()) {
            ASSERT_TRUE(point.has_value()) << "gliding dice change the point light's view";
            EXPECT_LT(*point * 4, whole) << "frame " << glidingFrames << ": a gliding step redraws " << *point
                                         << " of the whole pass's " << whole << " fragments";
            // Most towers stand away from the gliding dice in the light's view (in immediate mode every
            // caster is drawn).
            if (GetParam() != libkub::Immediate) {
                EXPECT_GT(leftOut * 2, casters)
                    << "frame " << glidingFrames << ": the confined pass left out " << leftOut << " of "
                    << casters << " casters";
            }
        }
    }
    EXPECT_GE(glidingFrames, 5);

    // A die added: the list of casters changed, the whole pass is drawn.
    game.addDie(tile(4, 3));
    const std::optional<std::uint64_t> added = pointPassOfCheckedFrame("a die added");
    ASSERT_TRUE(added.has_value());
    EXPECT_GT(*added * 4, whole) << "a die added redraws the whole pass";
}

INSTANTIATE_TEST_SUITE_P(EveryMode, ConfinedDepthRedraw,
                         testing::Values(libkub::VBO, libkub::DisplayList, libkub::Immediate),
                         [](const testing::TestParamInfo<RenderMode>& info) { return modeName(info.param); });

} // namespace
