#include "tests/support/PrivateXServer.h"

#include <csignal>
#include <cstddef>
#include <set>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/ChildProcess.h"

namespace kubora::test {

namespace {

constexpr std::chrono::milliseconds serverStartTimeout{10'000};

// The value after "<label>:" in xwininfo's report.
std::optional<int> xwininfoValue(const std::string& report, const std::string& label)
{
    const auto at = report.find(label + ":");
    if (at == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream value(report.substr(at + label.size() + 1));
    int number = 0;
    if (!(value >> number)) {
        return std::nullopt;
    }
    return number;
}

// A binary PPM (P6, 8 bits per channel) as ImageMagick writes it.
std::optional<RgbImage> parsePpm(const std::string& data)
{
    std::istringstream header(data);
    std::string magic;
    RgbImage image;
    int maximum = 0;
    if (!(header >> magic >> image.width >> image.height >> maximum) || magic != "P6" || maximum != 255) {
        return std::nullopt;
    }
    const auto start = static_cast<std::size_t>(header.tellg()) + 1; // one whitespace byte ends the header
    const auto size = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3;
    if (data.size() < start + size) {
        return std::nullopt;
    }
    image.pixels.assign(data.begin() + static_cast<std::ptrdiff_t>(start),
                        data.begin() + static_cast<std::ptrdiff_t>(start + size));
    return image;
}

} // namespace

int RgbImage::distinctColours(int limit) const
{
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i + 2 < pixels.size() && static_cast<int>(colours.size()) < limit; i += 3) {
        colours.insert(static_cast<std::uint32_t>(pixels[i]) << 16 |
                       static_cast<std::uint32_t>(pixels[i + 1]) << 8 | pixels[i + 2]);
    }
    return static_cast<int>(colours.size());
}

PrivateXServer::PrivateXServer()
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return;
    }
    serverId = fork();
    if (serverId == 0) {
        close(pipeEnds[0]);
        // Its start-up chatter would only clutter the test log.
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        // The server picks a free display number and writes it to the descriptor.
        const std::string descriptor = std::to_string(pipeEnds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", descriptor.c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
               "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string number;
    pollfd readable{pipeEnds[0], POLLIN, 0};
    while (serverId > 0 && poll(&readable, 1, static_cast<int>(serverStartTimeout.count())) > 0) {
        char buffer[16];
        const ssize_t count = read(pipeEnds[0], buffer, sizeof buffer);
        if (count <= 0) {
            break;
        }
        number.append(buffer, static_cast<std::size_t>(count));
        if (number.find('\n') != std::string::npos) {
            break;
        }
    }
    close(pipeEnds[0]);
    if (!number.empty() && number.back() == '\n') {
        displayName = ":" + number.substr(0, number.size() - 1);
    }
}

PrivateXServer::~PrivateXServer()
{
    if (serverId > 0) {
        kill(serverId, SIGTERM);
        int status = 0;
        waitpid(serverId, &status, 0);
    }
}

std::optional<unsigned long> PrivateXServer::findWindow(pid_t owner, const std::string& title,
                                                        std::chrono::milliseconds timeout) const
{
    std::optional<unsigned long> found;
    pollUntil(timeout, [&] {
        const CommandResult result = runCommand({"xdotool", "search", "--onlyvisible", "--pid",
                                                 std::to_string(owner), "--name", "^" + title + "$"},
                                                {"DISPLAY=" + displayName});
        unsigned long window = 0;
        if (result.status == 0 && std::istringstream(result.output) >> window) {
            found = window;
            return true;
        }
        return false;
    });
    return found;
}

std::optional<WindowGeometry> PrivateXServer::geometry(unsigned long window) const
{
    const CommandResult result =
        runCommand({"xwininfo", "-id", std::to_string(window)}, {"DISPLAY=" + displayName});
    const auto x = xwininfoValue(result.output, "Absolute upper-left X");
    const auto y = xwininfoValue(result.output, "Absolute upper-left Y");
    const auto width = xwininfoValue(result.output, "Width");
    const auto height = xwininfoValue(result.output, "Height");
    if (result.status != 0 || !x || !y || !width || !height) {
        return std::nullopt;
    }
    return WindowGeometry{*x, *y, *width, *height};
}

bool PrivateXServer::sendKey(unsigned long window, const std::string& key) const
{
    return runCommand({"xdotool", "windowfocus", "--sync", std::to_string(window), "key", key},
                      {"DISPLAY=" + displayName})
               .status == 0;
}

bool PrivateXServer::captureScreen(const std::string& path) const
{
    return runCommand({"import", "-window", "root", path}, {"DISPLAY=" + displayName}).status == 0;
}

} // namespace kubora::test

namespace kubora::test {

std::optional<RgbImage> PrivateXServer::captureWindow(unsigned long window) const
{
    const CommandResult result = runCommand(
        {"import", "-window", std::to_string(window), "-depth", "8", "ppm:-"}, {"DISPLAY=" + displayName});
    if (result.status != 0) {
        return std::nullopt;
    }
    return parsePpm(result.output);
}

} // namespace kubora::test
