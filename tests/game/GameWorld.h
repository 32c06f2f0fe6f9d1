#pragma once
// A board, four players, a game and a renderer list for the game's tests, with the calendar clock
// under the test's control and positions written as diagrams.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include "engine/render/SceneRenderer.h"
#include "game/Board.h"
#include "game/CalendarClock.h"
#include "game/Die.h"
#include "game/Game.h"
#include "game/Player.h"

namespace kubora::test {

// The second the game reads while a test runs; tests move it by hand.
inline std::int32_t testSecond = 1'000'000;

// Rolls the C library's generator would give after srand(second): attacker dice first, then defender.
struct ReplayedRolls {
    std::vector<std::int32_t> attacker;
    std::vector<std::int32_t> defender;
    std::int32_t attackerSum = 0;
    std::int32_t defenderSum = 0;
};

inline ReplayedRolls replayRolls(std::int32_t second, std::size_t attackerDice, std::size_t defenderDice)
{
    ReplayedRolls rolls;
    std::srand(static_cast<unsigned>(second));
    for (std::size_t i = 0; i < attackerDice; ++i) {
        rolls.attacker.push_back(std::rand() % 6 + 1);
        rolls.attackerSum += rolls.attacker.back();
    }
    for (std::size_t i = 0; i < defenderDice; ++i) {
        rolls.defender.push_back(std::rand() % 6 + 1);
        rolls.defenderSum += rolls.defender.back();
    }
    return rolls;
}

// The first second from 1,000,000 on whose rolls have the wanted sums.
inline std::int32_t secondRolling(std::size_t attackerDice, std::int32_t attackerSum,
                                  std::size_t defenderDice, std::int32_t defenderSum)
{
    for (std::int32_t second = 1'000'000; second < 1'000'000 + 5'000'000; ++second) {
        const ReplayedRolls rolls = replayRolls(second, attackerDice, defenderDice);
        if (rolls.attackerSum == attackerSum && rolls.defenderSum == defenderSum) {
            return second;
        }
    }
    ADD_FAILURE() << "no second rolls " << attackerSum << " against " << defenderSum;
    return 0;
}

class GameWorld {
  public:
    GameWorld()
    {
        Kubora::setCalendarClock([] { return testSecond; });
        board = std::make_unique<Kubora::Board>();
        players[0] = std::make_unique<Kubora::Player>(0, Kubora::Computer, 1.0f, 0.0f, 0.0f);
        players[1] = std::make_unique<Kubora::Player>(1, Kubora::Computer, 0.0f, 1.0f, 0.0f);
        players[2] = std::make_unique<Kubora::Player>(2, Kubora::Human, 0.0f, 0.0f, 1.0f);
        players[3] = std::make_unique<Kubora::Player>(3, Kubora::Computer, 1.0f, 1.0f, 0.0f);
        game = std::make_unique<Kubora::Game>(&renderer);
        board->attachToGame(*game);
    }

    ~GameWorld() { Kubora::setCalendarClock({}); }

    GameWorld(const GameWorld&) = delete;
    GameWorld& operator=(const GameWorld&) = delete;

    // The starting position of a match: every player in turn order on its corner with five dice.
    void placeStartingDice()
    {
        for (auto& player : players) {
            game->placeStartingDice(*player);
        }
    }

    // Enters the players into the turn order without giving them tiles.
    void enterPlayers()
    {
        for (auto& player : players) {
            game->players.push_back(player.get());
        }
    }

    // Eight rows of eight cells: "." for an unowned tile, or the player's letter (R, G, B, Y) and
    // the number of dice, e.g. "R5".
    void setPosition(const std::array<const char*, 8>& rows)
    {
        for (int i = 0; i < 8; ++i) {
            std::istringstream cells(rows[static_cast<std::size_t>(i)]);
            std::string cell;
            for (int j = 0; j < 8; ++j) {
                ASSERT_TRUE(cells >> cell) << "row " << i << " has fewer than 8 cells";
                Kubora::Player* owner = cell == "." ? nullptr : player(cell[0]);
                const std::size_t dice = cell == "." ? 0 : std::stoul(cell.substr(1));
                game->setTile(*tile(i, j), owner, dice);
            }
        }
    }

    Kubora::Player* player(char letter)
    {
        const std::string letters = "RGBY";
        const auto at = letters.find(letter);
        EXPECT_NE(at, std::string::npos) << "no player " << letter;
        return at == std::string::npos ? nullptr : players[at].get();
    }

    Kubora::BoardTile* tile(int row, int column) { return board->tileAt(row, column); }

    // Dice that are drawn in the scene.
    std::vector<const Kubora::Die*> diceInScene() const
    {
        std::vector<const Kubora::Die*> dice;
        for (libkub::DrawableObject* object : renderer.objects) {
            if (const auto* die = dynamic_cast<const Kubora::Die*>(object)) {
                dice.push_back(die);
            }
        }
        return dice;
    }

    // Unowned tiles that hold dice (there should be none).
    int unownedTilesWithDice() const
    {
        int count = 0;
        for (const auto& tile : board->tiles) {
            count += tile->owner == nullptr && tile->diceCount() > 0 ? 1 : 0;
        }
        return count;
    }

    // Every die in the scene stands on exactly one tile or, destroyed by this frame's action, waits
    // in a pending transfer to leave the scene at the next frame; every die on a tile is in the scene;
    // the game holds exactly the dice of the scene. Linear in the dice, with buffers kept between
    // calls, because a long game checks every frame.
    ::testing::AssertionResult everyDieOnExactlyOneTile()
    {
        std::size_t placed = 0;
        for (const auto& tile : board->tiles) {
            placed += tile->diceCount();
        }
        for (const Kubora::DiceTransfer& transfer : game->pending) {
            placed += transfer.removals.size();
        }
        std::size_t capacity = 1024;
        while (capacity < 2 * placed) {
            capacity *= 2;
        }
        places.assign(capacity, {nullptr, 0});
        for (const auto& tile : board->tiles) {
            for (const Kubora::Die* die : tile->dice) {
                if (++place(die).second > 1) {
                    return ::testing::AssertionFailure() << "a die stands on two tiles";
                }
            }
        }
        for (const Kubora::DiceTransfer& transfer : game->pending) {
            for (const Kubora::Die* die : transfer.removals) {
                if (++place(die).second > 1) {
                    return ::testing::AssertionFailure() << "a die waits for removal and stands on a tile";
                }
            }
        }
        std::size_t inScene = 0;
        for (libkub::DrawableObject* object : renderer.objects) {
            if (typeid(*object) != typeid(Kubora::Die)) {
                continue;
            }
            ++inScene;
            if (++place(static_cast<const Kubora::Die*>(object)).second != 2) {
                return ::testing::AssertionFailure()
                       << "a die in the scene stands on no tile (or is drawn twice)";
            }
        }
        if (inScene != placed || inScene != game->diceInPlay()) {
            return ::testing::AssertionFailure()
                   << placed << " dice stand on tiles or wait for removal, " << inScene
                   << " are in the scene, the game holds " << game->diceInPlay();
        }
        return ::testing::AssertionSuccess();
    }

    libkub::SceneRenderer renderer{nullptr};
    std::unique_ptr<Kubora::Board> board;
    std::array<std::unique_ptr<Kubora::Player>, 4> players;
    std::unique_ptr<Kubora::Game> game;

  private:
    // The entry of a die in the open-addressing table of places (claimed when new).
    std::pair<const Kubora::Die*, int>& place(const Kubora::Die* die)
    {
        const std::size_t mask = places.size() - 1;
        std::size_t at = (reinterpret_cast<std::uintptr_t>(die) >> 4) * 0x9E3779B97F4A7C15ull & mask;
        while (places[at].first != nullptr && places[at].first != die) {
            at = (at + 1) & mask;
        }
        places[at].first = die;
        return places[at];
    }

    std::vector<std::pair<const Kubora::Die*, int>> places;
};

} // namespace kubora::test
