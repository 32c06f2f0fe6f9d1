#include "game/Board.h"

#include "engine/render/SceneRenderer.h"
#include "engine/resources/DataFolder.h"
#include "game/Game.h"
#include "game/Player.h"

namespace Kubora {

Board::Board() : boardModel(libkub::loadModel(libkub::dataFile("board.dae")))
{
    boardModel->box = libkub::BoundingBox{};
    for (int i = 0; i < size; ++i) {
        for (int j = 0; j < size; ++j) {
            auto tile = std::make_unique<BoardTile>(
                std::make_unique<GridCoordinates>(static_cast<float>(i), static_cast<float>(j)));
            tile->model()->setPosition(3.0f * static_cast<float>(i), -1.0f, 3.0f * static_cast<float>(j));
            tiles[static_cast<std::size_t>(i * size + j)] = std::move(tile);
        }
    }
}

Board::~Board() = default;

void Board::draw()
{
    boardModel->draw();
}

BoardTile* Board::tileAt(int row, int column) const
{
    if (static_cast<unsigned>(row) > 7u || static_cast<unsigned>(column) > 7u) {
        return nullptr;
    }
    return tiles[static_cast<std::size_t>(row * size + column)].get();
}

void Board::selectTile(BoardTile* tile)
{
    if (selectedTile != nullptr) {
        libkub::Color4f& diffuse = selectedTile->model()->material.diffuse;
        diffuse.r -= 1.0f;
        diffuse.g -= 0.3f;
        diffuse.b -= 0.3f;
    }
    selectedTile = tile;
    if (tile != nullptr) {
        libkub::Color4f& diffuse = tile->model()->material.diffuse;
        diffuse.r += 1.0f;
        diffuse.g += 0.3f;
        diffuse.b += 0.3f;
    }
}

std::vector<BoardTile*> Board::ownedTiles(const Player& player) const
{
    std::vector<BoardTile*> owned;
    for (const auto& tile : tiles) {
        if (tile->owner != nullptr && tile->owner->index == player.index) {
            owned.push_back(tile.get());
        }
    }
    return owned;
}

void Board::attachToGame(Game& game)
{
    game.board = this;
    for (int row = 0; row < size * size; row += size) {
        for (int column = 0; column < size; ++column) {
            game.renderer->addObject(tiles[static_cast<std::size_t>(row + column)].get());
        }
    }
}

bool areAdjacent(const BoardTile* a, const BoardTile* b)
{
    if (a == nullptr || b == nullptr) {
        return false;
    }
    const int ai = a->row();
    const int aj = a->column();
    const int bi = b->row();
    const int bj = b->column();
    if (static_cast<unsigned>(ai) > 7u || static_cast<unsigned>(aj) > 7u) {
        return false;
    }
    return (ai == bi && (aj == bj - 1 || aj == bj + 1)) || (aj == bj && (ai == bi - 1 || ai == bi + 1));
}

} // namespace Kubora
