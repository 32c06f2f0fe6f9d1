// Frames of the assembled game timed in turn with one another in one process: the machine's speed
// wanders (figures taken minutes apart can differ by a quarter), and taken in turn it falls on all of
// them alike. For the start scene and for the board after 480 ended turns (bench/AssembledMatch.h),
// with the pointer on the window's centre and every frame swapped to the window and finished:
// - the idle frame, which every other is divided by;
// - the floor (bench/ShadingFloor.h), with the swap;
// - the frame without the sky, without the HUD, and without the swap: what each part costs the frame
//   around it (timed alone, a pass leaves that out);
// - the frame with hidden objects drawn: what leaving them out buys;
// - a die gliding (bench/GlidingDie.h: a twentieth of a tile to and fro every frame);
// - the camera orbiting (a hundredth of a turn to and fro every frame), with hidden objects left out
//   and drawn.
// Each variant draws five frames in each of 30 rounds, the order turning by one every round. A round's
// median of five is divided by the idle frame's of the same round; the table gives each variant's
// median time (of the rounds' medians), the 99th percentile of all its frames, the median of those
// ratios, and the variant's rate as a multiple of the floor's (the median over rounds of the floor's
// time over the variant's).
//
// Printed as a Markdown table (no Google Benchmark timings: `make bench` runs it for the table).
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "app/GlExtensions.h"
#include "bench/AssembledMatch.h"
#include "bench/GlidingDie.h"
#include "bench/ShadingFloor.h"
#include "engine/render/HUDElement.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SkyBox.h"
#include "game/Game.h"

namespace {

constexpr int rounds = 30;
constexpr int framesEachRound = 5;

struct Variant {
    std::string name;
    // Sets the variant up before its frames, and puts things back after them.
    std::function<void()> before;
    std::function<void()> after;
    // Draws one frame (without the glFinish the timing adds).
    std::function<void()> frame;
};

double median(std::vector<double> figures)
{
    std::sort(figures.begin(), figures.end());
    const std::size_t middle = figures.size() / 2;
    return figures.size() % 2 == 1 ? figures[middle] : (figures[middle - 1] + figures[middle]) / 2.0;
}

// The frames of one variant, each finished: their median time in milliseconds. Every frame's time is
// added to `every` too.
double timedFrames(const Variant& variant, std::vector<double>& every)
{
    variant.before();
    variant.frame(); // the first frame after a change is not the variant's steady one
    glFinish();
    std::vector<double> milliseconds;
    for (int frame = 0; frame < framesEachRound; ++frame) {
        const auto started = std::chrono::steady_clock::now();
        variant.frame();
        glFinish();
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count());
    }
    variant.after();
    every.insert(every.end(), milliseconds.begin(), milliseconds.end());
    return median(milliseconds);
}

std::vector<Variant> variantsOf(Kubora::Application& application)
{
    libkub::SceneRenderer& renderer = *application.renderer;
    const auto nothing = [] {};
    const auto display = [] { Kubora::onDisplay(); };
    // Both kept by the variants that take them out.
    auto sky = std::make_shared<std::unique_ptr<libkub::SkyBox>>();
    auto hud = std::make_shared<std::vector<libkub::HUDElement*>>();
    libkub::Vector3f* glidingDie = kubora::bench::glidingDiePlace(application);
    auto glideStep = std::make_shared<float>(0.05f);
    auto orbitStep = std::make_shared<float>(0.01f);
    const auto orbit = [&application, orbitStep] {
        application.camera->orbit(*orbitStep, 0.0f);
        *orbitStep = -*orbitStep;
        Kubora::onDisplay();
    };
    const auto drawHidden = [&renderer] { renderer.plan.skipHiddenObjects = false; };
    const auto leaveHiddenOut = [&renderer] { renderer.plan.skipHiddenObjects = true; };
    std::vector<Variant> variants{
        {"idle frame", nothing, nothing, display},
        {"the floor", nothing, nothing,
         [&application] {
             kubora::bench::drawShadingFloor(application);
             glutSwapBuffers();
         }},
        {"without the sky", [&renderer, sky] { *sky = std::move(renderer.skyBox); },
         [&renderer, sky] { renderer.skyBox = std::move(*sky); }, display},
        {"without the HUD", [&renderer, hud] { hud->swap(renderer.hudElements); },
         [&renderer, hud] { hud->swap(renderer.hudElements); }, display},
        {"without the swap", nothing, nothing, [&renderer] { renderer.render(); }},
        {"hidden objects drawn", drawHidden, leaveHiddenOut, display},
        {"the camera orbiting", nothing, nothing, orbit},
        {"the camera orbiting, hidden objects drawn", drawHidden, leaveHiddenOut, orbit},
    };
    if (glidingDie != nullptr) {
        const libkub::Vector3f rest = *glidingDie;
        variants.push_back({"a die gliding", nothing, [glidingDie, rest] { *glidingDie = rest; },
                            [glidingDie, glideStep] {
                                glidingDie->x += *glideStep;
                                *glideStep = -*glideStep;
                                Kubora::onDisplay();
                            }});
    }
    return variants;
}

void printTable(const std::string& scene, Kubora::Application& application)
{
    const std::vector<Variant> variants = variantsOf(application);
    std::vector<std::vector<double>> times(variants.size());
    std::vector<std::vector<double>> everyFrame(variants.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t k = 0; k < variants.size(); ++k) {
            const std::size_t which = (k + static_cast<std::size_t>(round)) % variants.size();
            times[which].push_back(timedFrames(variants[which], everyFrame[which]));
        }
    }
    constexpr std::size_t idle = 0;
    constexpr std::size_t floor = 1;
    std::printf(
        "\n%s:\n\n| frame | median | p99 | ÷ the idle frame | rate, × the floor's |\n|---|---|---|---|---|\n",
        scene.c_str());
    for (std::size_t v = 0; v < variants.size(); ++v) {
        std::vector<double> toIdle;
        std::vector<double> floorRate;
        for (int round = 0; round < rounds; ++round) {
            toIdle.push_back(times[v][static_cast<std::size_t>(round)] /
                             times[idle][static_cast<std::size_t>(round)]);
            floorRate.push_back(times[floor][static_cast<std::size_t>(round)] /
                                times[v][static_cast<std::size_t>(round)]);
        }
        std::vector<double> sorted = everyFrame[v];
        std::sort(sorted.begin(), sorted.end());
        const double p99 = sorted[std::min(sorted.size() - 1, sorted.size() * 99 / 100)];
        std::printf("| %s | %.2f ms | %.2f ms | %.3f | %.3f |\n", variants[v].name.c_str(), median(times[v]),
                    p99, median(toIdle), median(floorRate));
    }
}

} // namespace

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(kubora::bench::matchWindowWidth, kubora::bench::matchWindowHeight);
    glutCreateWindow("Kubora frames in turn benchmark");
    Kubora::loadGlExtensions();
    kubora::bench::useSimulatedCalendar();

    std::printf("Frames timed in turn, %d x %d, vertex buffers, %s; %d rounds of %d frames each.\n",
                kubora::bench::matchWindowWidth, kubora::bench::matchWindowHeight,
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)), rounds, framesEachRound);
    {
        std::unique_ptr<Kubora::Application> start = kubora::bench::assembledGame();
        kubora::bench::hoverCentre();
        printTable("The start, " + std::to_string(start->game->diceInPlay()) + " dice", *start);
    }
    std::unique_ptr<Kubora::Application> evening = kubora::bench::assembledGame();
    const std::size_t dice = kubora::bench::playTurns(*evening, kubora::bench::eveningTurns);
    kubora::bench::hoverCentre();
    printTable("After " + std::to_string(kubora::bench::eveningTurns) + " ended turns, " +
                   std::to_string(dice) + " dice",
               *evening);
    kubora::bench::useRealCalendar();
    return 0;
}
