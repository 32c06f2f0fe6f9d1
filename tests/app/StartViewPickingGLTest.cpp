// Picking as the player sees it: at the start camera, every pointer position over the board picks the
// tile whose top or visible side is under the pointer, computed here from the tiles' faces.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/scene/PickRay.h"
#include "engine/render/SceneRenderer.h"
#include "game/Board.h"
#include "game/BoardTile.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"

namespace {

constexpr int width = kubora::test::glTestWindowWidth;
constexpr int height = kubora::test::glTestWindowHeight;

float component(const libkub::Vector3f& v, int axis)
{
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

// The nearest point in front of the ray's origin where it crosses one of the box's six faces.
std::optional<float> nearestFaceCrossing(const libkub::Ray& ray, const libkub::BoundingBox& box)
{
    std::optional<float> nearest;
    for (int axis = 0; axis < 3; ++axis) {
        const float direction = component(ray.direction, axis);
        if (direction == 0.0f) {
            continue;
        }
        for (const float plane : {component(box.min, axis), component(box.max, axis)}) {
            const float t = (plane - component(ray.origin, axis)) / direction;
            if (t < 0.0f || (nearest && t >= *nearest)) {
                continue;
            }
            const libkub::Vector3f point = ray.origin + ray.direction * t;
            bool onFace = true;
            for (int other = 0; other < 3; ++other) {
                const float value = component(point, other);
                onFace = onFace && (other == axis || (value >= component(box.min, other) - 1e-5f &&
                                                      value <= component(box.max, other) + 1e-5f));
            }
            if (onFace) {
                nearest = t;
            }
        }
    }
    return nearest;
}

} // namespace

TEST(StartViewPicking, EveryPointerPositionPicksTheTileInFront)
{
    kubora::test::AssembledApplication application;
    Kubora::onReshape(width, height);
    libkub::SceneRenderer& renderer = *application->renderer;
    renderer.render(); // leaves the start camera's matrices loaded

    int positionsOverTiles = 0;
    int positionsOverTwoTiles = 0;
    int wrongPicks = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            libkub::Ray ray;
            libkub::updatePickRay(height, ray, x, y);
            const Kubora::BoardTile* expected = nullptr;
            float nearest = 0.0f;
            float secondNearest = INFINITY;
            int crossed = 0;
            for (int row = 0; row < 8; ++row) {
                for (int column = 0; column < 8; ++column) {
                    Kubora::BoardTile* tile = application->board->tileAt(row, column);
                    const std::optional<float> t = nearestFaceCrossing(ray, tile->model()->bounds());
                    if (!t) {
                        continue;
                    }
                    ++crossed;
                    if (expected == nullptr || *t < nearest) {
                        secondNearest = expected == nullptr ? secondNearest : nearest;
                        expected = tile;
                        nearest = *t;
                    } else {
                        secondNearest = std::fmin(secondNearest, *t);
                    }
                }
            }
            // A pointer exactly on the edge two tiles share may go either way.
            if (expected == nullptr || secondNearest - nearest < 1e-4f) {
                continue;
            }
            ++positionsOverTiles;
            positionsOverTwoTiles += crossed > 1 ? 1 : 0;
            renderer.pickRay = &ray;
            renderer.pickedObject = nullptr;
            renderer.pickTest();
            wrongPicks += renderer.pickedObject != expected ? 1 : 0;
        }
    }
    renderer.pickRay = application->pickRay.get();
    EXPECT_GT(positionsOverTiles, width * height / 8);
    EXPECT_GT(positionsOverTwoTiles, 0) << positionsOverTiles; // where a last-in-list rule went wrong
    EXPECT_EQ(wrongPicks, 0) << "of " << positionsOverTiles << " positions over the board";
}
