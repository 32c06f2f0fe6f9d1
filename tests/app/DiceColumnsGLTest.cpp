// Dice resting on one another drawn as one box per column: in every render mode, with columns on and
// off, the frame stays within the picture bound of the frame with every shortcut off, for towers seen
// from above, from close by at their side (the die boundaries large on screen), with dice lifted out of
// a column and one gliding past, seen low from the board's far corner, and under the spot light; in the
// vertex-buffer mode the columns are really drawn. Columns on and columns off are also compared with each
// other.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/render/EdgeMap.h"
#include "engine/scene/Camera.h"
#include "engine/resources/Model.h"
#include "engine/resources/RenderSettings.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "game/Die.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/PictureBound.h"
#include "tests/support/ShortcutPictures.h"
#include "tests/support/TowerScenes.h"

namespace {

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

using DiceColumns = kubora::test::TowerSceneTest;

TEST_P(DiceColumns, KeepTheFrameWithinTheBoundOfTheExactFrame)
{
    const auto frame = [&](bool exact, bool columns) {
        renderer.plan = exact ? libkub::FramePlan::exact() : libkub::FramePlan{};
        renderer.plan.stackColumns = columns;
        // Every die drawn, so that the statistic counts the columns of all of them (the hidden ones left
        // out, and the columns they leave, are held to the bound in HiddenObjectsGLTest).
        renderer.plan.skipHiddenObjects = false;
        renderer.render();
        renderer.render();
        return kubora::test::readFrame(width, height);
    };
    // Columns first, then the exact frame: the statistic is the exact frame's own, not left from before.
    const kubora::test::Frame withColumns = frame(false, true);
    const std::size_t copies = renderer.columnShading.copies;
    const kubora::test::ExactFrame exact{frame(true, false), libkub::drawEdgeMap(renderer, width, height)};
    EXPECT_EQ(renderer.columnShading.copies, 0u) << "the exact frame draws every die on its own";
    const kubora::test::Frame without = frame(false, false);
    EXPECT_EQ(renderer.columnShading.copies, 0u) << "columns off";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const std::string name = this->name();
    if (mode == libkub::VBO) {
        EXPECT_GT(copies, renderer.objects.size() / 2) << name << ": most dice stand in columns";
    }
    // Columns on and off each within the bound of the exact frame, and of each other: the columns may
    // not take up what the bound allows all the other shortcuts together.
    const std::string file = this->file("columns");
    EXPECT_TRUE(kubora::test::shortcutFrameWithinBound(exact, withColumns, file + "-on.png"))
        << name << ", columns on";
    EXPECT_TRUE(kubora::test::shortcutFrameWithinBound(exact, without, file + "-off.png"))
        << name << ", columns off";
    EXPECT_TRUE(
        kubora::test::shortcutFrameWithinBound(exact, without, withColumns, file + "-on-against-off.png"))
        << name << ", columns on against columns off";
}

INSTANTIATE_TEST_SUITE_P(ScenesAndModes, DiceColumns, kubora::test::everyTowerSceneInEveryMode(),
                         kubora::test::towerCaseName);

} // namespace
