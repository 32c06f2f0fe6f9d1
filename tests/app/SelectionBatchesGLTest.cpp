// An evening of clicks in the real game: selecting and deselecting tiles moves their colour by float
// rounding, and still the frame keeps only the instanced batches that the scene's colours need, as a
// fresh game does.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/scene/DrawableObject.h"
#include "engine/render/InstancedBatches.h"
#include "engine/resources/Model.h"
#include "engine/render/SceneRenderer.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "game/Game.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/QuarterBoard.h"

namespace {

// The batches a frame of these objects needs: one per vertex buffer, texture and material among the
// objects drawn as instances.
std::size_t batchesNeeded(const std::vector<libkub::DrawableObject*>& objects)
{
    std::vector<const libkub::Model*> distinct;
    for (libkub::DrawableObject* object : objects) {
        const libkub::Model& model = *object->model();
        if (!object->drawsOnlyItsModel() || !libkub::InstancedBatches::batchable(model)) {
            continue;
        }
        const bool known = std::any_of(distinct.begin(), distinct.end(), [&](const libkub::Model* other) {
            return other->mesh.vertexBuffer == model.mesh.vertexBuffer && other->textures == model.textures &&
                   std::memcmp(&other->material, &model.material, sizeof(libkub::Material)) == 0;
        });
        if (!known) {
            distinct.push_back(&model);
        }
    }
    return distinct.size();
}

TEST(SelectionBatches, ManySelectionsLeaveOnlyTheBatchesTheScenesColoursNeed)
{
    kubora::test::AssembledApplication application;
    Kubora::onReshape(kubora::test::glTestWindowWidth, kubora::test::glTestWindowHeight);
    libkub::SceneRenderer& renderer = *application->renderer;
    Kubora::Game& game = *application->game;
    Kubora::Board& board = *application->board;
    kubora::test::giveEachPlayerAQuarter(*application, 1);
    ASSERT_TRUE(renderer.instancedBatches().available());

    const auto frames = [&](int count) {
        for (int i = 0; i < count; ++i) {
            renderer.render();
        }
    };
    // A click on a tile of the player whose turn it is selects it (and deselects the last one).
    const auto click = [&](int row, int column) {
        Kubora::BoardTile& tile = *board.tileAt(row, column);
        game.currentPlayer = tile.owner;
        game.handleClick(&tile);
    };
    click(1, 1);
    frames(libkub::InstancedBatches::framesKept + 2);
    const std::size_t fresh = renderer.instancedBatches().batchCount();
    ASSERT_EQ(fresh, batchesNeeded(renderer.objects));

    // Every player's tiles in turn: each selected colour is needed only while its tile is selected.
    std::size_t most = fresh;
    const int tiles[][2] = {{1, 1}, {2, 5}, {6, 2}, {5, 6}, {0, 3}, {3, 7}, {7, 0}, {4, 4}};
    for (int i = 0; i < 400; ++i) {
        click(tiles[i % 8][0], tiles[i % 8][1]);
        renderer.render();
        most = std::max(most, renderer.instancedBatches().batchCount());
    }
    click(1, 1);
    EXPECT_GT(most, fresh) << "the other players' selected colours are batches of their own for a while";

    frames(libkub::InstancedBatches::framesKept + 2);
    // As in a fresh game, only the batches this scene's colours need; a tile whose colour came back a
    // rounding step from its neighbours' needs one of its own, as it would in a fresh game.
    EXPECT_EQ(renderer.instancedBatches().batchCount(), batchesNeeded(renderer.objects));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
