#pragma once
// A late-match board for picture tests: each player holds the quarter of the board around its corner,
// with the same number of dice on every tile.
#include <cstddef>

#include "app/Application.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/Player.h"

namespace kubora::test {

inline void giveEachPlayerAQuarter(Kubora::Application& application, std::size_t dicePerTile)
{
    Kubora::Game& game = *application.game;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const int owner = (row < 4 ? 0 : 1) + (column < 4 ? 2 : 0);
            game.setTile(*application.board->tileAt(row, column), application.players[owner].get(),
                         dicePerTile);
        }
    }
}

} // namespace kubora::test
