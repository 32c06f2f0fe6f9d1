#include "bench/AssembledMatch.h"

#include <GL/glew.h> // before any other GL header

#include <cstdint>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "app/InputCallbacks.h"
#include "app/SceneAssembly.h"
#include "engine/resources/RenderSettings.h"
#include "game/CalendarClock.h"
#include "game/Game.h"
#include "game/TurnTimer.h"

namespace kubora::bench {

namespace {

constexpr double spaceEveryMs = 400.0;
constexpr double frameMs = 1000.0 / 30.0;
constexpr std::int32_t firstSecond = 1'000'000;

// Milliseconds of simulated time since the match began; the calendar second the game reads follows it.
double simulatedMs = 0.0;

} // namespace

void useSimulatedCalendar()
{
    Kubora::setCalendarClock([] { return firstSecond + static_cast<std::int32_t>(simulatedMs / 1000.0); });
}

void useRealCalendar()
{
    Kubora::setCalendarClock({});
}

std::unique_ptr<Kubora::Application> assembledGame()
{
    libkub::RenderSettings::instance().renderMode = libkub::VBO;
    auto application = std::make_unique<Kubora::Application>();
    Kubora::Application::makeCurrent(application.get());
    Kubora::onReshape(matchWindowWidth, matchWindowHeight); // as GLUT does when the window first shows
    Kubora::assembleScene();
    Kubora::onDisplay();
    return application;
}

void hoverCentre()
{
    for (int frame = 0; frame < 3; ++frame) {
        Kubora::onPointerMove(matchWindowWidth / 2, matchWindowHeight / 2);
        Kubora::onDisplay();
    }
    glFinish();
}

std::size_t playTurns(Kubora::Application& application, int endedTurns)
{
    Kubora::Game& game = *application.game;
    const Kubora::Player* current = game.currentPlayer;
    int ended = 0;
    double nextSpace = simulatedMs + spaceEveryMs;
    while (ended < endedTurns) {
        game.update(frameMs);
        simulatedMs += frameMs;
        if (game.currentPlayer != current) {
            current = game.currentPlayer;
            ++ended;
        }
        if (simulatedMs >= nextSpace && ended < endedTurns) {
            game.timer->end = 0; // what the space key does: the next update ends the turn
            nextSpace += spaceEveryMs;
        }
    }
    // The glides under way finish without more turns: only the transfers are stepped.
    while (!game.pending.empty()) {
        game.processTransfers(frameMs);
    }
    return game.diceInPlay();
}

} // namespace kubora::bench
