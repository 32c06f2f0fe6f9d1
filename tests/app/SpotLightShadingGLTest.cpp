// The spot light's share computed only where it can show: with the spot light over tiles across the
// board (corners, edges, middle) on a full board and on tall stacks, the frame stays within one level of
// the frame shaded everywhere by the full program (but for a pixel or two where surfaces all but touch),
// while the full program shades only a rectangle of the window.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/Camera.h"
#include "engine/SceneRenderer.h"
#include "engine/SpotLightSource.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/QuarterBoard.h"
#include "tests/support/ReferencePicture.h"

namespace {

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

struct Comparison {
    int largest = 0;   // the largest channel difference
    int differing = 0; // pixels that differ at all
    int beyondOne = 0; // pixels that differ by more than one level
};

Comparison compare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    Comparison result;
    for (std::size_t i = 0; i < a.size(); i += 3) {
        int difference = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            difference = std::max(difference, std::abs(int{a[i + c]} - int{b[i + c]}));
        }
        result.largest = std::max(result.largest, difference);
        result.differing += difference > 0 ? 1 : 0;
        result.beyondOne += difference > 1 ? 1 : 0;
    }
    return result;
}

class SpotLightShading : public testing::TestWithParam<std::size_t> {};

TEST_P(SpotLightShading, StaysWithinALevelOfTheFullProgramWhereverTheSpotLightHangs)
{
    kubora::test::AssembledApplication application;
    Kubora::onReshape(width, height);
    libkub::SceneRenderer& renderer = *application->renderer;
    renderer.hudElements.clear();
    const std::size_t dicePerTile = GetParam();
    kubora::test::giveEachPlayerAQuarter(*application, dicePerTile);
    if (dicePerTile > 10) {
        application->camera->placeAt({-14.0f, 30.0f, -14.0f}, {10.0f, 8.0f, 10.0f});
    }
    libkub::SpotLightSource& spot = *application->spotLight;

    int rectangles = 0;
    const int places[][2] = {{0, 0}, {0, 7}, {7, 0}, {7, 7}, {3, 4}, {4, 3}, {0, 4}, {5, 7}, {2, 2}};
    for (const auto& place : places) {
        const libkub::Vector3f over =
            application->board->tileAt(place[0], place[1])->model()->mesh.translation;
        spot.position = {over.x, spot.position.g, over.z, 1.0f};
        spot.direction = {0.0f, -1.0f, 0.0f};
        const std::string where =
            "spot over tile " + std::to_string(place[0]) + "," + std::to_string(place[1]);

        renderer.spotOnlyWhereItShows = false;
        renderer.render();
        const std::vector<std::uint8_t> everywhere = kubora::test::readFrameTopDown(width, height);
        renderer.spotOnlyWhereItShows = true;
        renderer.render();
        const std::vector<std::uint8_t> whereItShows = kubora::test::readFrameTopDown(width, height);

        const Comparison difference = compare(everywhere, whereItShows);
        // Left out, the spot light's share moves a channel by at most one level. Where a surface in its
        // reach all but touches one out of it (a die on the next stack), the two may change places at a
        // pixel or two, as the reference frames allow: at most 0.1 % of the pixels.
        EXPECT_LE(difference.beyondOne, width * height / 1000)
            << where << " (largest " << difference.largest << ")";
        EXPECT_LE(difference.differing, width * height / 100) << where;
        const auto& shading = renderer.spotShading;
        if (shading.where == libkub::SceneRenderer::SpotShading::Rectangle) {
            ++rectangles;
            EXPECT_LT(shading.rect.width * shading.rect.height, width * height / 2) << where;
            EXPECT_GT(shading.objects, 0u) << where;
            EXPECT_LT(shading.objects, renderer.objects.size() / 2) << where;
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << where;
    }
    EXPECT_GE(rectangles, 7) << "the spot light is shaded in a rectangle almost everywhere on the board";
}

INSTANTIATE_TEST_SUITE_P(FullBoardAndTallStacks, SpotLightShading, testing::Values(6u, 94u),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                             return info.param > 10 ? std::string("TallStacks") : std::string("FullBoard");
                         });

} // namespace
