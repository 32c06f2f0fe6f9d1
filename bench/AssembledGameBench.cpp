// The assembled game at 1024 x 768 in a hidden window: start-up to the first frame; the frame and its
// passes (sky, both shadow passes, camera pass, HUD) for the start scene, a full board (all 64 tiles
// owned, 6 dice each) and tall stacks (94 dice a tile, 6,016 dice, as after a long match) in each
// render mode; the frame in which a player owning all 64 tiles is reinforced (64 dice loaded at once)
// beside the frames around it; and the memory each die in play costs. Frames are the display
// callback's (render, pick ray, swap) ended by glFinish; every figure is the median (and the minimum)
// over 7 repetitions of 5 frames. First of all the floor (bench/ShadingFloor.h): one window-covering
// quad through the shadow program, swapped and ended by glFinish like a frame; every start-scene
// figure also gives its rate as a multiple of the floor's measured in the same run ("floorRatio").
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "app/GlExtensions.h"
#include "engine/resources/RenderSettings.h"
#include "app/SceneAssembly.h"
#include "bench/BenchTiming.h"
#include "bench/GlidingDie.h"
#include "bench/ShadingFloor.h"
#include "engine/scene/PointLightSource.h"
#include "engine/render/DepthPass.h"
#include "engine/render/FramePlan.h"
#include "engine/render/HUDElement.h"
#include "engine/render/SceneRenderer.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/scene/SkyBox.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/Player.h"
#include "hud/DebugOverlay.h"
#include "hud/HudProjection.h"
#include "hud/HudText.h"
#include "hud/StatusBar.h"

namespace {

using kubora::bench::measure;
using libkub::RenderMode;

constexpr int windowWidth = 1024;
constexpr int windowHeight = 768;

enum class Position { Start, FullBoard, TallStacks };

// Dice a tile on a full board and on the tall-stack board.
std::size_t diceOnEachTile(Position position)
{
    return position == Position::TallStacks ? 94 : 6;
}

// Each player takes a quarter of the board, as in a late match.
void fillBoard(Kubora::Application& application, std::size_t dice)
{
    Kubora::Board& board = *application.board;
    for (int row = 0; row < Kubora::Board::size; ++row) {
        for (int column = 0; column < Kubora::Board::size; ++column) {
            const int owner = (row < 4 ? 0 : 1) + (column < 4 ? 0 : 2);
            application.game->setTile(*board.tileAt(row, column), application.players[owner].get(), dice);
        }
    }
}

// One assembled game, made current for the callbacks, in a render mode and a position.
struct BenchGame {
    BenchGame(RenderMode mode, Position position)
    {
        libkub::RenderSettings::instance().renderMode = mode;
        application = std::make_unique<Kubora::Application>();
        Kubora::Application::makeCurrent(application.get());
        Kubora::onReshape(windowWidth, windowHeight); // as GLUT does when the window first shows
        Kubora::assembleScene();
        if (position != Position::Start) {
            fillBoard(*application, diceOnEachTile(position));
        }
        Kubora::onDisplay(); // warm up: llvmpipe compiles its shader variants lazily
        glFinish();
    }

    std::unique_ptr<Kubora::Application> application;
};

BenchGame& gameFor(RenderMode mode, Position position)
{
    static std::map<std::pair<int, int>, std::unique_ptr<BenchGame>> games;
    const std::pair<int, int> key{mode, static_cast<int>(position)};
    if (auto found = games.find(key); found != games.end()) {
        libkub::RenderSettings::instance().renderMode = mode;
        Kubora::Application::makeCurrent(found->second->application.get());
        return *found->second;
    }
    games.clear(); // one game at a time; benchmarks run grouped by game
    auto& fresh = games[key];
    fresh = std::make_unique<BenchGame>(mode, position);
    return *fresh;
}

// The floor's wall-clock time per frame, one figure per repetition. The floor runs before any
// start-scene benchmark, so these are from the same run as the figures compared with them.
std::vector<double>& floorMilliseconds()
{
    static std::vector<double> figures;
    return figures;
}

double median(std::vector<double> figures)
{
    std::sort(figures.begin(), figures.end());
    const std::size_t middle = figures.size() / 2;
    return figures.size() % 2 == 1 ? figures[middle] : (figures[middle - 1] + figures[middle]) / 2.0;
}

// A start-scene figure's rate as a multiple of the floor's (the floor's time over this one's): the
// start frame should run at 1.3 times the floor's rate or more, which reads "floorRatio >= 1.3". Left
// out when the floor has not run (a filter that skips it).
void compareWithFloor(benchmark::State& state, Position position, double milliseconds)
{
    if (position != Position::Start || floorMilliseconds().empty() || milliseconds <= 0.0) {
        return;
    }
    state.counters["floorRatio"] = median(floorMilliseconds()) / milliseconds;
}

// The floor, after a game frame has left the lights' state and depth textures as the quad reads them.
void BM_Floor(benchmark::State& state)
{
    Kubora::Application& app = *gameFor(libkub::VBO, Position::Start).application;
    Kubora::onDisplay();
    glFinish();
    floorMilliseconds().push_back(measure(state, [&] {
        kubora::bench::drawShadingFloor(app);
        glutSwapBuffers();
    }));
}

void shadowPass(libkub::SceneRenderer& renderer, libkub::LightSource& light)
{
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    // Timed as drawn: the frame itself redraws a depth texture only when what the light sees changed.
    renderer.plan.reuseDepthTextures = false;
    libkub::drawDepthPass(renderer, light);
    renderer.plan.reuseDepthTextures = true;
    glDisable(GL_CULL_FACE);
}

// The game's frames through the display callback, timed, and compared with the floor.
void timeFrames(benchmark::State& state, Position position)
{
    compareWithFloor(state, position, measure(state, [] { Kubora::onDisplay(); }));
}

// The frame with one shortcut of the plan off, for comparing in one run what it buys.
void timeFramesWithout(benchmark::State& state, RenderMode mode, Position position,
                       bool libkub::FramePlan::*shortcut)
{
    libkub::FramePlan& plan = gameFor(mode, position).application->renderer->plan;
    plan.*shortcut = false;
    timeFrames(state, position);
    plan.*shortcut = true;
}

void BM_Frame(benchmark::State& state, RenderMode mode, Position position)
{
    gameFor(mode, position);
    timeFrames(state, position);
}

// A frame in which what the lights see changed (dice gliding, a die added): both depth passes are
// drawn again, as they are in every frame while something moves.
void BM_FrameMoving(benchmark::State& state, RenderMode mode, Position position)
{
    timeFramesWithout(state, mode, position, &libkub::FramePlan::reuseDepthTextures);
}

// A frame in which one die (bench/GlidingDie.h) has taken a step of a glide (to and fro, a twentieth of a
// tile each frame). The depth passes are drawn again as the game draws them while a die glides (only the
// texels it covered and covers, where the plan confines them).
void BM_FrameGliding(benchmark::State& state, RenderMode mode, Position position)
{
    Kubora::Application& app = *gameFor(mode, position).application;
    libkub::Vector3f* glidingDie = kubora::bench::glidingDiePlace(app);
    if (glidingDie == nullptr) {
        state.SkipWithError("no die on the board");
        return;
    }
    libkub::Vector3f& place = *glidingDie;
    const libkub::Vector3f before = place;
    float step = 0.05f;
    compareWithFloor(state, position, measure(state, [&] {
                         place.x += step;
                         step = -step;
                         Kubora::onDisplay();
                     }));
    place = before;
    Kubora::onDisplay();
}

// The frame with every die drawn on its own, not in columns.
void BM_FrameColumnsOff(benchmark::State& state, RenderMode mode, Position position)
{
    timeFramesWithout(state, mode, position, &libkub::FramePlan::stackColumns);
}

// The frame with every shown object drawn, hidden or not.
void BM_FrameHiddenDrawn(benchmark::State& state, RenderMode mode, Position position)
{
    timeFramesWithout(state, mode, position, &libkub::FramePlan::skipHiddenObjects);
}

// The frame with the sky left out, and with the HUD left out: what each costs the whole frame, read
// beside `Frame` (SkyPass and HudPass time a pass alone, without the frame's other work around it).
void BM_FrameWithoutSky(benchmark::State& state, RenderMode mode, Position position)
{
    libkub::SceneRenderer& renderer = *gameFor(mode, position).application->renderer;
    std::unique_ptr<libkub::SkyBox> sky = std::move(renderer.skyBox);
    timeFrames(state, position);
    renderer.skyBox = std::move(sky);
}

void BM_FrameWithoutHud(benchmark::State& state, RenderMode mode, Position position)
{
    libkub::SceneRenderer& renderer = *gameFor(mode, position).application->renderer;
    std::vector<libkub::HUDElement*> hud;
    hud.swap(renderer.hudElements);
    timeFrames(state, position);
    hud.swap(renderer.hudElements);
}

void BM_ShadowPass1024(benchmark::State& state, RenderMode mode, Position position)
{
    Kubora::Application& app = *gameFor(mode, position).application;
    compareWithFloor(state, position, measure(state, [&] { shadowPass(*app.renderer, *app.pointLight); }));
}

void BM_ShadowPass512(benchmark::State& state, RenderMode mode, Position position)
{
    Kubora::Application& app = *gameFor(mode, position).application;
    compareWithFloor(state, position, measure(state, [&] { shadowPass(*app.renderer, *app.spotLight); }));
}

void BM_SkyPass(benchmark::State& state, RenderMode mode, Position position)
{
    Kubora::Application& app = *gameFor(mode, position).application;
    app.renderer->render();
    compareWithFloor(state, position, measure(state, [&] { app.renderer->skyBox->draw(); }));
}

// The objects once under the shadow program after a frame has prepared lights and matrices, as the
// frame draws them (the spot light's share only where it shows, copies instanced).
void BM_CameraPass(benchmark::State& state, RenderMode mode, Position position)
{
    Kubora::Application& app = *gameFor(mode, position).application;
    app.renderer->render();
    compareWithFloor(state, position, measure(state, [&] {
                         glClear(GL_DEPTH_BUFFER_BIT);
                         app.renderer->drawLitCameraPass();
                         glUseProgram(0);
                     }));
}

void BM_HudPass(benchmark::State& state, RenderMode mode, Position position)
{
    Kubora::Application& app = *gameFor(mode, position).application;
    app.renderer->render();
    compareWithFloor(state, position, measure(state, [&] { app.statusBar->draw(); }));
}

// The HUD's texts alone, as the status bar draws them (the label and the four overlay lines, blended
// over the frame), to tell the text's share of the HUD pass from the band's and the dice rows'. Each
// iteration draws them ten times before its glFinish, so that the cost of ending a pass (about as
// large as the text itself on llvmpipe) is spread; the figures are per ten.
void BM_HudText(benchmark::State& state)
{
    Kubora::Application& app = *gameFor(libkub::VBO, Position::Start).application;
    app.renderer->render();
    const libkub::RenderSettings& settings = libkub::RenderSettings::instance();
    measure(state, [&] {
        Kubora::beginHudProjection();
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        for (int time = 0; time < 10; ++time) {
            Kubora::drawTextPair("", "Player", 4.5f, -0.9f);
            Kubora::drawOverlayLines(settings, 59.0f);
        }
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    });
}

// Red owns all 64 tiles with one die each. A plain frame, then the frame in which red is reinforced
// (64 dice created and added to the scene, then drawn), then a plain frame again; between rounds the
// board goes back to one die a tile, untimed.
void BM_Reinforcement(benchmark::State& state, RenderMode mode, int which)
{
    BenchGame& bench = gameFor(mode, Position::Start);
    Kubora::Application& app = *bench.application;
    Kubora::Player& red = *app.players[0];
    const auto reset = [&] {
        for (auto& tile : app.board->tiles) {
            app.game->setTile(*tile, &red, 1);
        }
        Kubora::onDisplay();
        glFinish();
    };
    double cpuSpent = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        reset();
        if (which == 2) {
            app.game->reinforce(red);
            Kubora::onDisplay();
            glFinish();
        }
        state.ResumeTiming();
        const double start = kubora::bench::processCpuMilliseconds();
        if (which == 1) {
            app.game->reinforce(red);
        }
        Kubora::onDisplay();
        glFinish();
        cpuSpent += kubora::bench::processCpuMilliseconds() - start;
    }
    state.counters["processCpuMs"] = benchmark::Counter(cpuSpent / static_cast<double>(state.iterations()));
}

// What the dice in play cost in memory: from the start scene (20 dice) to the tall-stack board, with
// frames drawn at both ends so that the driver's share is counted too. Reported per 1,000 dice as
// the growth of the process's resident size and of the heap in use, the heap's also split into
// placing the dice and drawing them.
void BM_DiceMemory(benchmark::State& state, RenderMode mode)
{
    for (auto _ : state) {
        BenchGame game(mode, Position::Start);
        const std::size_t startDice = game.application->game->diceInPlay();
        const kubora::bench::MemoryUse before = kubora::bench::memoryUse();
        fillBoard(*game.application, diceOnEachTile(Position::TallStacks));
        const kubora::bench::MemoryUse placed = kubora::bench::memoryUse();
        Kubora::onDisplay();
        glFinish();
        Kubora::onDisplay();
        glFinish();
        const kubora::bench::MemoryUse drawn = kubora::bench::memoryUse();
        const double thousands =
            static_cast<double>(game.application->game->diceInPlay() - startDice) / 1000.0;
        const auto perThousand = [&](std::int64_t from, std::int64_t to) {
            return static_cast<double>(to - from) / thousands;
        };
        state.counters["dice"] = static_cast<double>(game.application->game->diceInPlay());
        state.counters["rssKBPer1000Dice"] = perThousand(before.residentKilobytes, drawn.residentKilobytes);
        state.counters["heapKBPer1000Dice"] = perThousand(before.heapKilobytes, drawn.heapKilobytes);
        // The same growth split: the dice themselves (rules, models) and what drawing them adds.
        state.counters["placedHeapKBPer1000Dice"] = perThousand(before.heapKilobytes, placed.heapKilobytes);
        state.counters["drawnHeapKBPer1000Dice"] = perThousand(placed.heapKilobytes, drawn.heapKilobytes);
    }
}

void configure(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Iterations(5)
        ->Repetitions(7)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics(
            "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

void registerAll()
{
    using Pass = void (*)(benchmark::State&, RenderMode, Position);
    const std::pair<RenderMode, const char*> modes[] = {
        {libkub::VBO, "VBO"}, {libkub::Immediate, "Immediate"}, {libkub::DisplayList, "DisplayList"}};
    const std::pair<Position, const char*> positions[] = {
        {Position::Start, "Start"}, {Position::FullBoard, "FullBoard"}, {Position::TallStacks, "TallStacks"}};
    configure(benchmark::RegisterBenchmark("Floor/VBO", BM_Floor));
    for (const auto& [position, positionName] : positions) {
        for (const auto& [mode, modeName] : modes) {
            for (const auto& [pass, function] : std::initializer_list<std::pair<const char*, Pass>>{
                     {"Frame", BM_Frame},
                     {"FrameMoving", BM_FrameMoving},
                     {"FrameGliding", BM_FrameGliding},
                     {"FrameColumnsOff", BM_FrameColumnsOff},
                     {"FrameHiddenDrawn", BM_FrameHiddenDrawn},
                     {"FrameWithoutSky", BM_FrameWithoutSky},
                     {"FrameWithoutHud", BM_FrameWithoutHud},
                     {"ShadowPass1024", BM_ShadowPass1024},
                     {"ShadowPass512", BM_ShadowPass512},
                     {"CameraPass", BM_CameraPass},
                     {"SkyPass", BM_SkyPass},
                     {"HudPass", BM_HudPass}}) {
                const std::string name = std::string(pass) + "/" + positionName + "/" + modeName;
                configure(benchmark::RegisterBenchmark(name.c_str(), function, mode, position));
            }
        }
    }
    for (const auto& [mode, modeName] : modes) {
        const char* frames[] = {"Before", "Reinforced", "After"};
        for (int which = 0; which < 3; ++which) {
            const std::string name = std::string("Reinforcement") + frames[which] + "/" + modeName;
            configure(benchmark::RegisterBenchmark(name.c_str(), BM_Reinforcement, mode, which));
        }
    }
    configure(benchmark::RegisterBenchmark("HudText/Start/VBO", BM_HudText));
    for (const auto& [mode, modeName] : modes) {
        const std::string name = std::string("DiceMemory/") + modeName;
        benchmark::RegisterBenchmark(name.c_str(), BM_DiceMemory, mode)
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Start-up as the game does it, up to the end of the first frame: window, extensions, the whole
    // scene read from data/, one displayed frame. Measured once, cold, before anything is cached.
    const auto launched = std::chrono::steady_clock::now();
    const double launchedCpu = kubora::bench::processCpuMilliseconds();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Kubora assembled game benchmark");
    glutHideWindow();
    Kubora::loadGlExtensions();
    gameFor(libkub::VBO, Position::Start); // assembly and one frame, ended by glFinish
    const double startupMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - launched).count();
    const double startupCpuMs = kubora::bench::processCpuMilliseconds() - launchedCpu;
    std::printf("start-up to the first frame: %.1f ms real, %.1f ms CPU\n", startupMs, startupCpuMs);

    benchmark::AddCustomContext("GL_RENDERER", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    benchmark::AddCustomContext("window", std::to_string(windowWidth) + "x" + std::to_string(windowHeight));
    benchmark::AddCustomContext("startupToFirstFrameMs", std::to_string(startupMs));
    benchmark::AddCustomContext("startupToFirstFrameCpuMs", std::to_string(startupCpuMs));
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
