// The game's own costs: one new die (every die loads data/die.dae anew), one frame of Game::update on
// a full board of four computer players with 5, 50 and 200 dice per tile (the clock seam advances one
// second per frame, so every frame is a turn's second: actions, glides, reinforcements), and one
// status bar with 25 marks, two rows of 8 dice and the overlay, finished with glFinish.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "engine/render/SceneRenderer.h"
#include "game/Board.h"
#include "game/CalendarClock.h"
#include "game/Die.h"
#include "game/Game.h"
#include "game/Player.h"
#include "hud/StatusBar.h"

namespace {

std::int32_t benchSecond = 8'000'000;

void newDie(benchmark::State& state)
{
    for (auto _ : state) {
        auto die = std::make_unique<Kubora::Die>();
        benchmark::DoNotOptimize(die->model());
    }
}

void gameFrame(benchmark::State& state)
{
    Kubora::setCalendarClock([] { return benchSecond; });
    libkub::SceneRenderer renderer(nullptr);
    Kubora::Board board;
    Kubora::StatusBar statusBar;
    std::array<Kubora::Player, 4> players{{{0, Kubora::Computer, 1.0f, 0.0f, 0.0f},
                                           {1, Kubora::Computer, 0.0f, 1.0f, 0.0f},
                                           {2, Kubora::Computer, 0.0f, 0.0f, 1.0f},
                                           {3, Kubora::Computer, 1.0f, 1.0f, 0.0f}}};
    Kubora::Game game(&renderer);
    board.attachToGame(game);
    game.turnDisplay = &statusBar;
    for (Kubora::Player& player : players) {
        game.players.push_back(&player);
    }
    // Quarters of the board, one per player, so that every player has borders to attack across.
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            game.setTile(*board.tileAt(row, column),
                         &players[static_cast<std::size_t>(row / 4 * 2 + column / 4)],
                         static_cast<std::size_t>(state.range(0)));
        }
    }
    game.start();
    for (auto _ : state) {
        game.update(16.0);
        ++benchSecond;
    }
    state.counters["dice at the end"] = static_cast<double>(game.diceInPlay());
    Kubora::setCalendarClock({});
}

void statusBarDraw(benchmark::State& state)
{
    Kubora::StatusBar statusBar;
    statusBar.countdown = 25;
    statusBar.markColour = {0.75f, 0.0f, 0.0f};
    statusBar.framesPerSecond = 59.9f;
    statusBar.setRolls({{6, 5, 4, 3, 2, 1, 6, 5}, 32, {0.75f, 0.0f, 0.0f}},
                       {{1, 2, 3, 4, 5, 6, 1, 2}, 24, {0.0f, 0.0f, 0.75f}});
    for (auto _ : state) {
        statusBar.draw();
        glFinish();
    }
}

} // namespace

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(1024, 768);
    glutCreateWindow("Kubora game benchmark");
    glutHideWindow();
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::fprintf(stderr, "GameBench: GLEW cannot load the OpenGL entry points\n");
        return 1;
    }
    benchmark::AddCustomContext("GL_RENDERER", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    benchmark::RegisterBenchmark("NewDie", newDie)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("GameFrame", gameFrame)
        ->Arg(5)
        ->Arg(50)
        ->Arg(200)
        ->Iterations(400)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("StatusBarDraw", statusBarDraw)->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
