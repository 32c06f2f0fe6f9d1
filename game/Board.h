#pragma once
// The 8 x 8 field: owns the tiles and the board model, knows the hovered and the selected tile,
// and answers the rules' questions about the grid.
#include <array>
#include <memory>
#include <vector>

#include "engine/scene/DrawableObject.h"
#include "engine/resources/Model.h"
#include "game/BoardTile.h"

namespace Kubora {

class Game;
class Player;

class Board final : public libkub::DrawableObject {
  public:
    static constexpr int size = 8;

    Board();
    ~Board() override;
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    // Draws the board's own model; the tiles are scene objects of their own.
    void draw() override;
    libkub::Model* model() override { return boardModel.get(); }
    bool drawsOnlyItsModel() const override { return true; }

    // The tile at (row, column), or null outside 0 to 7.
    BoardTile* tileAt(int row, int column) const;
    // Moves the highlight (diffuse + (1.0, 0.3, 0.3)) to the tile; null only clears it.
    void selectTile(BoardTile* tile);
    // The tiles whose owner has the player's index, in board order.
    std::vector<BoardTile*> ownedTiles(const Player& player) const;
    // Registers the board with the game and adds the 64 tiles to the game's renderer in board order.
    void attachToGame(Game& game);

    std::array<std::unique_ptr<BoardTile>, size * size> tiles;
    // Written by the pointer-hover handler; the rules never read it.
    BoardTile* hoveredTile = nullptr;
    BoardTile* selectedTile = nullptr;
    std::unique_ptr<libkub::Model> boardModel;
};

// True when the two tiles are orthogonal neighbours on the grid.
bool areAdjacent(const BoardTile* a, const BoardTile* b);

} // namespace Kubora
