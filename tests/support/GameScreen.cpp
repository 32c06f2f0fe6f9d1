#include "tests/support/GameScreen.h"

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace kubora::test {

namespace {

struct Vec {
    double x, y, z;
};

Vec minus(Vec a, Vec b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

double dot(Vec a, Vec b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec cross(Vec a, Vec b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec unit(Vec v)
{
    const double length = std::sqrt(dot(v, v));
    return {v.x / length, v.y / length, v.z / length};
}

} // namespace

WindowPoint projectStartView(float x, float y, float z, int width, int height)
{
    const Vec eye{-10.0, 8.0, -10.0};
    const Vec forward = unit(minus(Vec{-2.0, 5.0, -2.0}, eye));
    const Vec side = unit(cross(forward, Vec{0.0, 1.0, 0.0}));
    const Vec up = cross(side, forward);
    const Vec offset = minus(Vec{x, y, z}, eye);
    const double depth = dot(offset, forward);
    const double halfHeight = std::tan(22.5 * 3.14159265358979 / 180.0);
    const double aspect = static_cast<double>(width) / height;
    const double ndcX = dot(offset, side) / (depth * halfHeight * aspect);
    const double ndcY = dot(offset, up) / (depth * halfHeight);
    return {static_cast<int>(std::lround((ndcX + 1.0) / 2.0 * width)),
            static_cast<int>(std::lround((1.0 - ndcY) / 2.0 * height))};
}

WindowPoint tileTopOnScreen(int row, int column, int width, int height)
{
    // Tile centres lie 3 apart at height -1; the tile is 0.4 thick.
    return projectStartView(3.0f * static_cast<float>(row), -0.8f, 3.0f * static_cast<float>(column), width,
                            height);
}

Rgb pixelAt(const RgbImage& image, int x, int y)
{
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) {
        return {};
    }
    const std::size_t at =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)) *
        3;
    return {image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]};
}

bool WindowInput::xdotool(const std::vector<std::string>& arguments) const
{
    std::vector<std::string> command{"xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runCommand(command, {"DISPLAY=" + displayName}).status == 0;
}

bool WindowInput::movePointer(WindowPoint point) const
{
    return xdotool({"mousemove", "--window", std::to_string(windowId), std::to_string(point.x),
                    std::to_string(point.y)});
}

bool WindowInput::click(WindowPoint point, int button) const
{
    return movePointer(point) && xdotool({"click", std::to_string(button)});
}

bool WindowInput::drag(WindowPoint from, WindowPoint to, int button) const
{
    if (!movePointer(from) || !xdotool({"mousedown", std::to_string(button)})) {
        return false;
    }
    constexpr int steps = 4;
    bool moved = true;
    for (int step = 1; step <= steps; ++step) {
        moved = moved && movePointer({from.x + (to.x - from.x) * step / steps,
                                      from.y + (to.y - from.y) * step / steps});
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    return xdotool({"mouseup", std::to_string(button)}) && moved;
}

bool WindowInput::holdKey(const std::string& key, int milliseconds) const
{
    if (!xdotool({"windowfocus", "--sync", std::to_string(windowId), "keydown", key})) {
        return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return xdotool({"keyup", key});
}

} // namespace kubora::test
