#pragma once
// A private Xvfb server for end-to-end tests, with the window look-ups and input events the tests
// need (through xdotool and xwininfo). Being private, the tests never touch the desktop the suite
// may run on: no stolen focus, no screen mode changes, no other program's windows.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kubora::test {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // rows from the top, three bytes per pixel

    // How many different colours the image holds, counting no further than the limit.
    int distinctColours(int limit) const;
};

struct WindowGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class PrivateXServer {
  public:
    // Starts Xvfb with one 1280 x 1024 screen; display() is empty when it could not start.
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // ":<number>", for DISPLAY.
    const std::string& display() const { return displayName; }

    // The first mapped window of the process whose title is exactly the given one.
    std::optional<unsigned long> findWindow(pid_t owner, const std::string& title,
                                            std::chrono::milliseconds timeout) const;
    // Position of the drawable area on the screen and its size.
    std::optional<WindowGeometry> geometry(unsigned long window) const;
    // Focuses the window and types one key (an X key name such as "F7" or "Escape") into it.
    bool sendKey(unsigned long window, const std::string& key) const;
    // The whole screen as an image file (format by the file extension).
    bool captureScreen(const std::string& path) const;
    // What the window shows now.
    std::optional<RgbImage> captureWindow(unsigned long window) const;

  private:
    pid_t serverId = -1;
    std::string displayName;
};

} // namespace kubora::test
