#include "app/PassFragmentLine.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "engine/resources/Diagnostics.h"

namespace Kubora {

std::optional<std::int64_t> passFragmentsEvery(const std::string& value)
{
    std::int64_t every = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, every);
    if (value.empty() || error != std::errc() || stop != end || every < 1) {
        libkub::reportProblem(passFragmentsVariable, "\"" + value +
                                                         "\" is not a whole number of frames from 1 up; "
                                                         "fragments are not counted");
        return std::nullopt;
    }
    return every;
}

PassFragmentLine::PassFragmentLine(std::int64_t everyFrames) : every(everyFrames) {}

libkub::PassFragmentCounter* PassFragmentLine::startFrame()
{
    ++frame;
    counting = counter.counts() && frame % every == 0;
    return counting ? &counter : nullptr;
}

void PassFragmentLine::finishFrame()
{
    if (!counting) {
        return;
    }
    counting = false;
    const std::string line = libkub::PassFragmentCounter::describe(counter.endFrame());
    std::fprintf(stderr, "kubora: pass fragments, frame %lld: %s\n", static_cast<long long>(frame),
                 line.c_str());
    std::fflush(stderr);
}

std::unique_ptr<PassFragmentLine> passFragmentLineFromEnvironment()
{
    const char* value = std::getenv(passFragmentsVariable);
    if (value == nullptr) {
        return nullptr;
    }
    const std::optional<std::int64_t> every = passFragmentsEvery(value);
    if (!every) {
        return nullptr;
    }
    return std::make_unique<PassFragmentLine>(*every);
}

} // namespace Kubora
