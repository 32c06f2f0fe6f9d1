#include "app/CommandLine.h"

#include <sstream>

#include "engine/resources/Diagnostics.h"

namespace Kubora {

namespace {

// Larger windows than this exceed what GL drivers can render into.
constexpr int largestWindowDimension = 16384;

} // namespace

std::string LaunchOptions::gameModeString() const
{
    return widthText + "x" + heightText + ":" + bitsText + "@" + rateText;
}

libkub::RenderMode renderModeFromWord(const std::string& word)
{
    if (word == "ImmediateMode") {
        return libkub::Immediate;
    }
    if (word == "DisplayList") {
        return libkub::DisplayList;
    }
    return libkub::VBO;
}

LaunchOptions parseCommandLine(const std::vector<std::string>& arguments)
{
    LaunchOptions options;
    const std::size_t count = arguments.size();
    if (count < 2 || count > 5) {
        return options;
    }
    options.widthText = arguments[0];
    options.heightText = arguments[1];
    if (count >= 4) {
        options.form = DisplayForm::FullScreen;
        options.bitsText = arguments[2];
        options.rateText = arguments[3];
    }
    if (count == 3 || count == 5) {
        options.renderMode = renderModeFromWord(arguments.back());
    }
    return options;
}

int windowDimension(const std::string& text, int fallback, const std::string& what)
{
    std::istringstream stream(text);
    int value = 0;
    if (!(stream >> value)) {
        libkub::reportProblem(what + " \"" + text + "\"",
                              "does not start with a number; using " + std::to_string(fallback));
        return fallback;
    }
    if (value < 1 || value > largestWindowDimension) {
        libkub::reportProblem(what + " \"" + text + "\"", "is not between 1 and " +
                                                              std::to_string(largestWindowDimension) +
                                                              "; using " + std::to_string(fallback));
        return fallback;
    }
    return value;
}

} // namespace Kubora
