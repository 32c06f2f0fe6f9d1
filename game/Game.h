#pragma once
// The match: players in turn order, the current turn and its timer, the dice in play and their
// pending transfers, the human's clicks and the computer players' moves.
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "game/CandidateMove.h"
#include "game/DiceTransfer.h"
#include "game/TurnTimer.h"

namespace libkub {
class SceneRenderer;
}

namespace Kubora {

class Board;
class BoardTile;
class Die;
class Player;
class TurnDisplay;

class Game {
  public:
    explicit Game(libkub::SceneRenderer* renderer);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Opens the match: the first player's turn and its timer.
    void start();
    // Hands the turn to the player at the next position and tells the turn display.
    void nextPlayer();
    // Once per frame with the last frame's duration in milliseconds.
    void update(double dt);
    // Reinforces the player whose turn ends, passes the turn on and restarts the timer.
    void endTurn();
    // One new die per owned tile, each dropped on a random own tile.
    void reinforce(Player& player);
    // A computer player's random action.
    void computerMove();
    // Every own tile paired with each of its orthogonal neighbours on the board.
    std::vector<CandidateMove> candidateMoves() const;
    // The human's left click on a tile, judged against the selected tile.
    void handleClick(BoardTile* clicked);
    // Enters the player into the turn order and gives it its corner tile with five dice.
    void placeStartingDice(Player& player);
    // Steps every pending transfer; takes removed dice out of the scene and frees them; drops
    // transfers that are finished.
    void processTransfers(double dt);

    // Sets up a tile directly: the owner (null for none, which also clears the dice) and a stack of
    // new dice in place of the old ones, painted with the owner's colour; an unowned tile gets no dice.
    // For building positions.
    void setTile(BoardTile& tile, Player* owner, std::size_t diceCount);
    // A new die owned by the game, standing on top of the tile and added to the scene.
    Die* addDie(BoardTile& tile);
    // Appends a transfer to the pending list.
    void keep(DiceTransfer transfer);
    // Number of dice the game holds (on tiles or waiting to leave the scene).
    std::size_t diceInPlay() const { return dice.size(); }

    std::int32_t lastComputerSecond = 0;
    libkub::SceneRenderer* renderer = nullptr;
    Board* board = nullptr;
    Player* currentPlayer = nullptr;
    std::unique_ptr<TurnTimer> timer;
    TurnDisplay* turnDisplay = nullptr; // not owned; none in tests of the rules alone
    std::vector<Player*> players;
    std::size_t nextPosition = 0;
    std::vector<DiceTransfer> pending;

  private:
    // Takes a destroyed die out of the scene, stops any glide still pointing at it and frees it.
    void destroyDie(Die* die);

    std::unordered_map<const Die*, std::unique_ptr<Die>> dice;
};

} // namespace Kubora
