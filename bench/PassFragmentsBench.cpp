// The fragments each pass of one frame shades, counted by the driver (engine/render/PassFragmentCounter.h)
// in the assembled game at 1024 x 768 in a hidden window: each light's depth pass, the camera pass (or
// its spot-light rectangle and spotless parts), the sky and the HUD, for
// - the start scene;
// - the board after 480 ended turns of the real rules (bench/AssembledMatch.h);
// each as an idle frame (the depth textures kept from the frame before) and as a frame in which every
// depth pass is drawn again (as while a die glides). Beside them the floor (bench/ShadingFloor.h, one
// window-covering quad through the shadow program), and every count as a multiple of the floor's. Two
// counts a pass: the fragment shader invocations (what the driver says it shaded; llvmpipe counts
// them before its depth test) and the samples that passed the depth test.
// The pointer moves to the window's centre, so the spot light hangs over the tile there, as it follows
// a player's pointer; one start frame more is counted before the pointer moves, with the spot light
// where the game starts it (as in scripts/measure-fps.sh, whose pointer comes to rest before the game
// sees it move twice). Counts, unlike times, do not depend on the machine's load: one frame is enough.
//
// Printed as a Markdown table (no timed benchmarks: `make bench` runs it for the table).
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "app/GlExtensions.h"
#include "bench/AssembledMatch.h"
#include "bench/GlidingDie.h"
#include "bench/LeastInvocations.h"
#include "bench/ShadingFloor.h"
#include "engine/render/PassFragmentCounter.h"
#include "engine/render/SceneRenderer.h"
#include "game/Board.h"
#include "game/Game.h"

namespace {

using kubora::bench::assembledGame;
using kubora::bench::hoverCentre;
using kubora::bench::LeastInvocations;
using kubora::bench::leastInvocations;
using kubora::bench::playTurns;
using libkub::PassFragmentCounter;
using libkub::PassFragments;

constexpr int endedTurns = kubora::bench::eveningTurns;
constexpr int width = kubora::bench::matchWindowWidth;
constexpr int height = kubora::bench::matchWindowHeight;

// One frame through the display callback, counted pass by pass: idle (a depth texture is kept when
// its pass would draw the same again, as it would after the frame before), or with every depth pass
// drawn again.
std::vector<PassFragments> countedFrame(Kubora::Application& application, PassFragmentCounter& counter,
                                        bool redrawDepth)
{
    libkub::SceneRenderer& renderer = *application.renderer;
    renderer.plan.reuseDepthTextures = !redrawDepth;
    renderer.fragmentCounter = &counter;
    Kubora::onDisplay();
    renderer.fragmentCounter = nullptr;
    renderer.plan.reuseDepthTextures = true;
    return counter.endFrame();
}

struct Row {
    std::string name;
    std::vector<PassFragments> passes;
};

// One frame in which a die (bench/GlidingDie.h) has taken one step of a glide (a twentieth of a tile
// sideways), as every frame of a move does; the die is put back and the frame after drawn uncounted.
std::vector<PassFragments> glidingFrame(Kubora::Application& application, PassFragmentCounter& counter)
{
    libkub::Vector3f* glidingDie = kubora::bench::glidingDiePlace(application);
    if (glidingDie == nullptr) {
        return {};
    }
    libkub::Vector3f& place = *glidingDie;
    const libkub::Vector3f before = place;
    place.x += 0.05f;
    std::vector<PassFragments> passes = countedFrame(application, counter, false);
    place = before;
    Kubora::onDisplay();
    return passes;
}

void addFrames(std::vector<Row>& rows, const std::string& scene, Kubora::Application& application,
               PassFragmentCounter& counter)
{
    rows.push_back({scene + ", idle", countedFrame(application, counter, false)});
    rows.push_back({scene + ", a die gliding", glidingFrame(application, counter)});
    rows.push_back({scene + ", depth passes redrawn", countedFrame(application, counter, true)});
}

std::string thousands(std::uint64_t value)
{
    // Built digit by digit (GCC 12 warns falsely about inserting into the string).
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped;
}

// Which count a table shows.
using Count = std::uint64_t PassFragments::*;

std::string cell(const PassFragments* pass, Count count, double floor)
{
    if (pass == nullptr) {
        return "—";
    }
    if (!pass->drew) {
        return "drew nothing";
    }
    char multiple[32];
    std::snprintf(multiple, sizeof multiple, " (%.2f)", static_cast<double>(pass->*count) / floor);
    return thousands(pass->*count) + multiple;
}

// One row a frame, one column a pass (every pass any frame drew), and the frame's total last; in
// brackets each figure as a multiple of the floor's.
void printTable(const std::vector<Row>& rows, Count count)
{
    const auto floor = static_cast<double>(PassFragmentCounter::total(rows.front().passes).*count);
    // A pass first met in a later row goes right after the pass drawn before it, so the columns keep
    // the frame's order.
    std::vector<std::string> columns;
    for (const Row& row : rows) {
        auto after = columns.begin();
        for (const PassFragments& pass : row.passes) {
            auto found = std::find(columns.begin(), columns.end(), pass.pass);
            if (found == columns.end()) {
                found = columns.insert(after, pass.pass);
            }
            after = found + 1;
        }
    }
    std::printf("| frame |");
    for (const std::string& column : columns) {
        std::printf(" %s |", column.c_str());
    }
    std::printf(" whole frame |\n|---|");
    for (std::size_t i = 0; i <= columns.size(); ++i) {
        std::printf("---|");
    }
    std::printf("\n");
    for (const Row& row : rows) {
        std::printf("| %s |", row.name.c_str());
        for (const std::string& column : columns) {
            const PassFragments* found = nullptr;
            for (const PassFragments& pass : row.passes) {
                if (pass.pass == column) {
                    found = &pass;
                }
            }
            std::printf(" %s |", cell(found, count, floor).c_str());
        }
        const PassFragments total = PassFragmentCounter::total(row.passes);
        std::printf(" **%s** |\n", cell(&total, count, floor).c_str());
    }
}

struct Least {
    std::string scene;
    LeastInvocations invocations;
};

// The fewest invocations a frame showing each scene's picture could count (bench/LeastInvocations.h).
void printLeast(const std::vector<Least>& least, double floor)
{
    std::printf("\nThe fewest fragment shader invocations a frame showing the same picture could count "
                "(16 for every 4 x 4 block a surface shows in; in brackets the multiple of the floor's):\n\n"
                "| scene | the sky and the objects | the status band | together |\n|---|---|---|---|\n");
    for (const Least& row : least) {
        std::printf(
            "| %s | %s (%.2f) | %s (%.2f) | **%s (%.2f)** |\n", row.scene.c_str(),
            thousands(row.invocations.scene).c_str(), static_cast<double>(row.invocations.scene) / floor,
            thousands(row.invocations.band).c_str(), static_cast<double>(row.invocations.band) / floor,
            thousands(row.invocations.total()).c_str(), static_cast<double>(row.invocations.total()) / floor);
    }
}

} // namespace

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(width, height);
    glutCreateWindow("Kubora pass fragments benchmark");
    glutHideWindow();
    Kubora::loadGlExtensions();
    kubora::bench::useSimulatedCalendar();

    PassFragmentCounter counter;
    if (!counter.counts()) {
        return 1; // the counter has said why
    }
    std::vector<Row> rows;

    std::unique_ptr<Kubora::Application> start = assembledGame();
    // The floor after a game frame, which leaves the lights' state and depth textures as it reads them.
    counter.beginFrame();
    counter.beginPass("floor quad");
    kubora::bench::drawShadingFloor(*start);
    rows.push_back({"floor", counter.endFrame()});
    Kubora::onDisplay();
    rows.push_back({"start, idle, before the pointer moves", countedFrame(*start, counter, false)});
    hoverCentre();
    addFrames(rows, "start", *start, counter);
    std::vector<Least> least;
    least.push_back({"start", leastInvocations(*start->renderer, width, height)});
    const std::size_t startDice = start->game->diceInPlay();
    start.reset();

    std::unique_ptr<Kubora::Application> evening = assembledGame();
    const std::size_t eveningDice = playTurns(*evening, endedTurns);
    hoverCentre();
    const std::string eveningScene = "after " + std::to_string(endedTurns) + " ended turns";
    addFrames(rows, eveningScene, *evening, counter);
    least.push_back({eveningScene, leastInvocations(*evening->renderer, width, height)});

    std::printf(
        "Fragments a pass, 1024 x 768, vertex buffers, %s. Start: %zu dice; after %d ended turns: %zu "
        "dice. The pointer on the window's centre, the spot light over the tile there (but in the "
        "first start frame).\n\n",
        reinterpret_cast<const char*>(glGetString(GL_RENDERER)), startDice, endedTurns, eveningDice);
    std::printf(
        "Fragment shader invocations (the driver's count; in brackets the multiple of the floor's):\n\n");
    printTable(rows, &PassFragments::fragments);
    std::printf("\nSamples past the depth test (in brackets the multiple of the floor's):\n\n");
    printTable(rows, &PassFragments::pastDepthTest);
    printLeast(least, static_cast<double>(PassFragmentCounter::total(rows.front().passes).fragments));
    kubora::bench::useRealCalendar();
    return 0;
}
