#pragma once
// Reading the game's window and pointing into it: where a world point of the start view lands in the
// window, pixel colours of a captured frame, and pointer and key events through xdotool.
#include <string>

#include "tests/support/PrivateXServer.h"

namespace kubora::test {

struct WindowPoint {
    int x = 0; // window coordinates, origin top left
    int y = 0;
};

// Where the world point appears in a window of the given size, seen by the camera the game starts
// with (eye (-10, 8, -10), target (-2, 5, -2), 45 degrees high). Independent of the engine's code.
WindowPoint projectStartView(float x, float y, float z, int width, int height);

// The centre of the tile's top face at (row, column).
WindowPoint tileTopOnScreen(int row, int column, int width, int height);

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

Rgb pixelAt(const RgbImage& image, int x, int y);

// How many pixels of the rectangle satisfy the condition.
template <typename Condition>
int countPixels(const RgbImage& image, int left, int top, int width, int height, Condition condition)
{
    int count = 0;
    for (int y = top; y < top + height && y < image.height; ++y) {
        for (int x = left; x < left + width && x < image.width; ++x) {
            count += condition(pixelAt(image, x, y)) ? 1 : 0;
        }
    }
    return count;
}

// Pointer and keys for one window of a private X server.
class WindowInput {
  public:
    WindowInput(std::string display, unsigned long window) : displayName(std::move(display)), windowId(window)
    {
    }
    bool movePointer(WindowPoint point) const;
    // Moves there, then presses and releases the button (1 left, 3 right).
    bool click(WindowPoint point, int button) const;
    // Presses the button at one point, moves to the other in a few steps and releases it there.
    bool drag(WindowPoint from, WindowPoint to, int button) const;
    // Focuses the window and holds the key down (X key name) for the given milliseconds.
    bool holdKey(const std::string& key, int milliseconds) const;

  private:
    bool xdotool(const std::vector<std::string>& arguments) const;
    std::string displayName;
    unsigned long windowId;
};

} // namespace kubora::test
