#include "game/Game.h"

#include <cstdlib>

#include "engine/resources/Model.h"
#include "engine/render/SceneRenderer.h"
#include "game/Action.h"
#include "game/Attack.h"
#include "game/Board.h"
#include "game/CalendarClock.h"
#include "game/Die.h"
#include "game/Player.h"
#include "game/TurnDisplay.h"

namespace Kubora {

namespace {

// The corner each player starts on, by index.
BoardTile* startingTile(const Board& board, std::int32_t index)
{
    switch (index) {
    case 0:
        return board.tileAt(7, 7);
    case 1:
        return board.tileAt(7, 0);
    case 2:
        return board.tileAt(0, 0);
    case 3:
        return board.tileAt(0, 7);
    default:
        return nullptr;
    }
}

} // namespace

Game::Game(libkub::SceneRenderer* sceneRenderer)
    : renderer(sceneRenderer), timer(std::make_unique<TurnTimer>())
{
}

Game::~Game() = default;

void Game::start()
{
    nextPosition = 0;
    nextPlayer();
    if (currentPlayer != nullptr) {
        timer->restart(currentPlayer->kind, calendarSeconds());
    }
}

void Game::nextPlayer()
{
    if (players.empty()) {
        return;
    }
    if (nextPosition >= players.size()) {
        nextPosition = 0;
    }
    currentPlayer = players[nextPosition];
    const libkub::Color4f& colour = currentPlayer->refreshColour();
    ++nextPosition;
    if (turnDisplay != nullptr) {
        turnDisplay->showTurn({colour.r, colour.g, colour.b}, currentPlayer->kind);
    }
}

void Game::update(double dt)
{
    processTransfers(dt);
    if (currentPlayer == nullptr) {
        return;
    }
    const std::int32_t remaining = timer->end - calendarSeconds();
    if (remaining % 2 != 0 && remaining != lastComputerSecond && currentPlayer->kind == Computer) {
        computerMove();
        lastComputerSecond = remaining;
    }
    if (remaining > 0) {
        if (turnDisplay != nullptr) {
            turnDisplay->showSecondsAndRolls(remaining, currentPlayer->attackerSummary(),
                                             currentPlayer->defenderSummary());
        }
    } else {
        endTurn();
    }
}

void Game::endTurn()
{
    reinforce(*currentPlayer);
    nextPlayer();
    currentPlayer->clearRolls();
    timer->restart(currentPlayer->kind, calendarSeconds());
}

void Game::reinforce(Player& player)
{
    board->selectTile(nullptr);
    const std::vector<BoardTile*> tiles = board->ownedTiles(player);
    const std::size_t n = tiles.size();
    seedWithCalendarSecond();
    for (std::size_t i = 0; i < n; ++i) {
        addDie(*tiles[static_cast<std::size_t>(std::rand()) % n]);
    }
}

void Game::computerMove()
{
    seedWithCalendarSecond();
    const std::vector<CandidateMove> candidates = candidateMoves();
    if (candidates.empty()) {
        return;
    }
    const CandidateMove& c = candidates[static_cast<std::size_t>(std::rand()) % candidates.size()];
    BoardTile* from = board->tileAt(static_cast<int>(c.fromRow), static_cast<int>(c.fromColumn));
    BoardTile* to = board->tileAt(static_cast<int>(c.toRow), static_cast<int>(c.toColumn));
    switch (chooseAction(currentPlayer, from, to)) {
    case Action::Attack:
        keep(attack(*currentPlayer, *from, *to));
        break;
    case Action::Move:
        currentPlayer->clearRolls();
        keep(moveDice(*from, *currentPlayer, *to));
        break;
    case Action::Select:
    case Action::Nothing:
        break;
    }
}

std::vector<CandidateMove> Game::candidateMoves() const
{
    std::vector<CandidateMove> candidates;
    for (BoardTile* own : board->ownedTiles(*currentPlayer)) {
        const float i = own->coordinates->first;
        const float j = own->coordinates->second;
        const float neighbours[4][2] = {{i + 1.0f, j}, {i - 1.0f, j}, {i, j + 1.0f}, {i, j - 1.0f}};
        for (const auto& [row, column] : neighbours) {
            BoardTile* neighbour = board->tileAt(static_cast<int>(row), static_cast<int>(column));
            if (neighbour != nullptr && areAdjacent(own, neighbour)) {
                candidates.push_back({i, j, row, column});
            }
        }
    }
    return candidates;
}

void Game::handleClick(BoardTile* clicked)
{
    if (clicked == nullptr || currentPlayer == nullptr) {
        return;
    }
    BoardTile* selected = board->selectedTile;
    switch (chooseAction(currentPlayer, selected, clicked)) {
    case Action::Select:
        board->selectTile(clicked);
        break;
    case Action::Attack:
        keep(attack(*currentPlayer, *selected, *clicked));
        board->selectTile(clicked);
        break;
    case Action::Move:
        currentPlayer->clearRolls();
        keep(moveDice(*selected, *currentPlayer, *clicked));
        board->selectTile(clicked);
        break;
    case Action::Nothing:
        break;
    }
}

void Game::placeStartingDice(Player& player)
{
    players.push_back(&player);
    BoardTile* tile = startingTile(*board, player.index);
    if (tile == nullptr) {
        return;
    }
    tile->owner = &player;
    tile->model()->material.ambient = player.refreshColour();
    for (int i = 0; i < 5; ++i) {
        addDie(*tile);
    }
}

void Game::processTransfers(double dt)
{
    for (std::size_t t = 0; t < pending.size(); ++t) {
        for (DieMove& move : pending[t].movements) {
            if (!move.done) {
                move.advance(dt);
            }
        }
        // Taken by value: destroying a die edits the movement lists, never the removals.
        const std::vector<Die*> removals = std::move(pending[t].removals);
        pending[t].removals.clear();
        for (Die* die : removals) {
            destroyDie(die);
        }
    }
    std::erase_if(pending, [](const DiceTransfer& transfer) { return transfer.finished(); });
}

void Game::setTile(BoardTile& tile, Player* owner, std::size_t diceCount)
{
    while (Die* die = tile.takeTopDie()) {
        destroyDie(die);
    }
    tile.owner = owner;
    if (owner == nullptr) {
        return;
    }
    tile.model()->material.ambient = owner->refreshColour();
    for (std::size_t i = 0; i < diceCount; ++i) {
        addDie(tile);
    }
}

Die* Game::addDie(BoardTile& tile)
{
    auto die = std::make_unique<Die>();
    Die* placed = die.get();
    tile.placeDie(placed);
    renderer->addObject(placed);
    dice.emplace(placed, std::move(die));
    return placed;
}

void Game::keep(DiceTransfer transfer)
{
    pending.push_back(std::move(transfer));
}

void Game::destroyDie(Die* die)
{
    renderer->removeObject(die);
    for (DiceTransfer& transfer : pending) {
        transfer.movements.remove_if([die](const DieMove& move) { return move.die == die; });
    }
    dice.erase(die);
}

} // namespace Kubora
