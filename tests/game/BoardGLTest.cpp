// Board geometry: tile places and boxes, neighbours, tileAt bounds, the selection highlight,
// ownedTiles by index, and the tiles entering the scene.
#include <gtest/gtest.h>

#include "engine/scene/SelectableObject.h"
#include "tests/game/GameWorld.h"

using Kubora::areAdjacent;
using Kubora::Board;
using Kubora::BoardTile;
using kubora::test::GameWorld;

namespace {

int neighbourCount(const Board& board, const BoardTile* tile)
{
    int count = 0;
    for (const auto& other : board.tiles) {
        count += areAdjacent(tile, other.get()) ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(Board, TilesStandThreeApartWithFlatBoxesAndShinyMaterial)
{
    Board board;
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 8; ++j) {
            BoardTile* tile = board.tileAt(i, j);
            ASSERT_EQ(tile, board.tiles[static_cast<std::size_t>(i * 8 + j)].get());
            EXPECT_EQ(tile->row(), i);
            EXPECT_EQ(tile->column(), j);
            const libkub::BoundingBox box = tile->model()->bounds();
            const libkub::Vector3f place{3.0f * static_cast<float>(i), -1.0f, 3.0f * static_cast<float>(j)};
            EXPECT_EQ(tile->position(), place);
            EXPECT_EQ(box.centre, place);
            EXPECT_EQ(box.size, (libkub::Vector3f{2.0f, 0.4f, 2.0f}));
            EXPECT_EQ(box.min, (place - libkub::Vector3f{1.0f, 0.2f, 1.0f}));
            EXPECT_EQ(box.max, (place + libkub::Vector3f{1.0f, 0.2f, 1.0f}));
            EXPECT_EQ(tile->model()->material.specular, (libkub::Color4f{0.5f, 0.5f, 0.5f, 1.0f}));
            EXPECT_EQ(tile->model()->material.shininess, 64.0f);
            EXPECT_EQ(tile->owner, nullptr);
            EXPECT_EQ(tile->diceCount(), 0u);
        }
    }
    EXPECT_EQ(board.selectedTile, nullptr);
    EXPECT_EQ(board.hoveredTile, nullptr);
}

TEST(Board, CornersHaveTwoNeighboursEdgesThreeInnerTilesFour)
{
    Board board;
    EXPECT_EQ(neighbourCount(board, board.tileAt(0, 0)), 2);
    EXPECT_EQ(neighbourCount(board, board.tileAt(7, 7)), 2);
    EXPECT_EQ(neighbourCount(board, board.tileAt(0, 3)), 3);
    EXPECT_EQ(neighbourCount(board, board.tileAt(5, 7)), 3);
    EXPECT_EQ(neighbourCount(board, board.tileAt(3, 4)), 4);
    EXPECT_TRUE(areAdjacent(board.tileAt(3, 4), board.tileAt(2, 4)));
    EXPECT_TRUE(areAdjacent(board.tileAt(3, 4), board.tileAt(3, 5)));
    EXPECT_FALSE(areAdjacent(board.tileAt(0, 0), board.tileAt(1, 1)));
    EXPECT_FALSE(areAdjacent(board.tileAt(3, 4), board.tileAt(3, 4)));
    EXPECT_FALSE(areAdjacent(board.tileAt(3, 4), board.tileAt(3, 6)));
    EXPECT_FALSE(areAdjacent(board.tileAt(0, 7), board.tileAt(1, 0))); // neighbours in memory only
    EXPECT_FALSE(areAdjacent(nullptr, board.tileAt(0, 0)));
    EXPECT_FALSE(areAdjacent(board.tileAt(0, 0), nullptr));
}

TEST(Board, TileAtAnswersNullOffTheBoard)
{
    Board board;
    EXPECT_EQ(board.tileAt(8, 0), nullptr);
    EXPECT_EQ(board.tileAt(0, 8), nullptr);
    EXPECT_EQ(board.tileAt(-1, 3), nullptr);
    EXPECT_EQ(board.tileAt(3, -1), nullptr);
    EXPECT_EQ(board.tileAt(7, 7), board.tiles.back().get());
}

TEST(Board, SelectionRaisesDiffuseAndRestoresItWhenMoved)
{
    Board board;
    BoardTile* a = board.tileAt(2, 3);
    BoardTile* b = board.tileAt(5, 1);
    const libkub::Color4f before = a->model()->material.diffuse;
    const libkub::Color4f beforeB = b->model()->material.diffuse;

    board.selectTile(a);
    EXPECT_EQ(board.selectedTile, a);
    EXPECT_FLOAT_EQ(a->model()->material.diffuse.r, before.r + 1.0f);
    EXPECT_FLOAT_EQ(a->model()->material.diffuse.g, before.g + 0.3f);
    EXPECT_FLOAT_EQ(a->model()->material.diffuse.b, before.b + 0.3f);
    EXPECT_FLOAT_EQ(a->model()->material.diffuse.a, before.a);

    board.selectTile(a); // re-selecting leaves the highlight as it was
    EXPECT_FLOAT_EQ(a->model()->material.diffuse.r, before.r + 1.0f);

    board.selectTile(b);
    EXPECT_FLOAT_EQ(a->model()->material.diffuse.r, before.r);
    EXPECT_FLOAT_EQ(a->model()->material.diffuse.g, before.g);
    EXPECT_FLOAT_EQ(a->model()->material.diffuse.b, before.b);
    EXPECT_FLOAT_EQ(b->model()->material.diffuse.r, beforeB.r + 1.0f);
    EXPECT_FLOAT_EQ(b->model()->material.diffuse.g, beforeB.g + 0.3f);

    board.selectTile(nullptr);
    EXPECT_EQ(board.selectedTile, nullptr);
    EXPECT_FLOAT_EQ(b->model()->material.diffuse.r, beforeB.r);
}

TEST(Board, OwnedTilesComparesPlayersByIndexInBoardOrder)
{
    Board board;
    Kubora::Player red(0, Kubora::Computer, 1.0f, 0.0f, 0.0f);
    Kubora::Player redAgain(0, Kubora::Human, 0.0f, 0.0f, 1.0f); // another record with index 0
    Kubora::Player green(1, Kubora::Computer, 0.0f, 1.0f, 0.0f);
    board.tileAt(6, 2)->owner = &red;
    board.tileAt(1, 5)->owner = &redAgain;
    board.tileAt(3, 3)->owner = &green;

    const std::vector<BoardTile*> owned = board.ownedTiles(red);
    ASSERT_EQ(owned.size(), 2u);
    EXPECT_EQ(owned[0], board.tileAt(1, 5));
    EXPECT_EQ(owned[1], board.tileAt(6, 2));
    Kubora::Player yellow(3, Kubora::Computer, 1.0f, 1.0f, 0.0f);
    EXPECT_TRUE(board.ownedTiles(yellow).empty());
}

TEST(Board, AttachingAddsTheTilesToBothSceneListsInBoardOrder)
{
    GameWorld world;
    EXPECT_EQ(world.game->board, world.board.get());
    ASSERT_EQ(world.renderer.objects.size(), 64u);
    ASSERT_EQ(world.renderer.selectables.size(), 64u);
    for (std::size_t k = 0; k < 64; ++k) {
        EXPECT_EQ(world.renderer.objects[k], world.board->tiles[k].get());
        EXPECT_EQ(world.renderer.selectables[k],
                  static_cast<libkub::SelectableObject*>(world.board->tiles[k].get()));
    }
}
