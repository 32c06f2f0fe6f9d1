#pragma once
// The die the benchmarks move a step of a glide: the top die of the lowest stack, one in view of the
// camera and of both lights even on a board of towers.
#include "app/Application.h"
#include "engine/math/Vector3f.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "game/Die.h"

namespace kubora::bench {

// Where that die stands (its mesh's translation, which a glide moves); null when no die is in play.
inline libkub::Vector3f* glidingDiePlace(Kubora::Application& application)
{
    Kubora::BoardTile* lowest = nullptr;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            Kubora::BoardTile* tile = application.board->tileAt(row, column);
            if (tile->diceCount() > 0 && (lowest == nullptr || tile->diceCount() < lowest->diceCount())) {
                lowest = tile;
            }
        }
    }
    return lowest == nullptr ? nullptr : &lowest->dice.back()->model()->mesh.translation;
}

} // namespace kubora::bench
