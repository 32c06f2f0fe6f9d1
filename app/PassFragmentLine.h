#pragma once
// The debug line of fragment counts. With KUBORA_PASS_FRAGMENTS=N in the environment (N a whole number
// from 1 up), every Nth frame is counted pass by pass (engine/render/PassFragmentCounter.h) and one line
// goes to standard error:
//   kubora: pass fragments, frame 240: light 0 depth (point) drew nothing, ..., HUD 61234; total 912345
// Without the variable nothing is counted and nothing printed. A counted frame waits for the GL to
// finish its passes, so its time is not a normal frame's.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/render/PassFragmentCounter.h"

namespace Kubora {

// The name of the environment variable.
inline constexpr const char* passFragmentsVariable = "KUBORA_PASS_FRAGMENTS";

// How many frames apart the line comes for the variable's value: a whole number from 1 up, or nothing
// (after one line naming the variable and what is wrong with it).
std::optional<std::int64_t> passFragmentsEvery(const std::string& value);

class PassFragmentLine {
  public:
    // Needs a current context with the extension entry points loaded.
    explicit PassFragmentLine(std::int64_t everyFrames);

    // Starts a frame: the counter to count it with when it is one to count, else null.
    libkub::PassFragmentCounter* startFrame();
    // Ends the frame: after a counted one, reads its passes and prints the line.
    void finishFrame();

  private:
    std::int64_t every;
    std::int64_t frame = 0;
    bool counting = false;
    libkub::PassFragmentCounter counter;
};

// The line the environment asks for, or null when it asks for none. A driver that cannot count gets
// its one line from the counter, and no frame is counted.
std::unique_ptr<PassFragmentLine> passFragmentLineFromEnvironment();

} // namespace Kubora
