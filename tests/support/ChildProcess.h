#pragma once
// Starting other programs from tests: run a tool to its end, or launch the game and watch it.
#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kubora::test {

struct CommandResult {
    int status = -1;    // exit status, or -1 when the program could not run or was killed
    std::string output; // standard output
};

// Runs a program (looked up on PATH) to its end. Environment entries are "NAME=value" to set a variable
// or "NAME" to remove it.
CommandResult runCommand(const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment = {});

// The same, with the program's standard error collected into the output too: for checkers that say
// what they find on either stream.
CommandResult runCommandWithErrors(const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& environment = {});

// The ASAN_OPTIONS entry for a game or tool a test launches: the test's own options without the leak
// check. Those programs end through exit paths that tear nothing down by design (Escape, a failed
// start-up), and Mesa's driver memory is then reported from a module already unmapped, which no
// suppression can name. Every other sanitizer check stays on; leaks in our own code are found by the
// unit tests, which build and release what they use.
std::string launchedSanitizerOptions();

// A program running beside the test, its standard output and error collected in files. Killed, if
// still running, when the object goes.
class LaunchedProcess {
  public:
    LaunchedProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                    const std::string& workingFolder);
    ~LaunchedProcess();
    LaunchedProcess(const LaunchedProcess&) = delete;
    LaunchedProcess& operator=(const LaunchedProcess&) = delete;

    pid_t pid() const { return processId; }
    // The exit status once the process has ended within the timeout (-1 when a signal ended it).
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    bool running();
    // Polls until standard output holds the text, or the timeout passes or the process ends.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout);

    std::string standardOutput() const;
    std::string standardError() const;

  private:
    pid_t processId = -1;
    std::optional<int> exitStatus;
    std::string outputFile;
    std::string errorFile;
};

// Polls a condition every few milliseconds until it holds or the timeout passes.
template <typename Condition> bool pollUntil(std::chrono::milliseconds timeout, Condition condition);

} // namespace kubora::test

#include <thread>

template <typename Condition>
bool kubora::test::pollUntil(std::chrono::milliseconds timeout, Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}
