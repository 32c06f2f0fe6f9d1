#include "tests/support/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kubora::test {

namespace {

std::vector<char*> argumentVector(const std::vector<std::string>& arguments)
{
    std::vector<char*> vector;
    for (const std::string& argument : arguments) {
        vector.push_back(const_cast<char*>(argument.c_str()));
    }
    vector.push_back(nullptr);
    return vector;
}

// In the child, between fork and exec.
[[noreturn]] void execute(const std::vector<std::string>& arguments,
                          const std::vector<std::string>& environment)
{
    for (const std::string& entry : environment) {
        const auto equals = entry.find('=');
        if (equals == std::string::npos) {
            unsetenv(entry.c_str());
        } else {
            setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
        }
    }
    std::vector<char*> vector = argumentVector(arguments);
    execvp(vector[0], vector.data());
    std::fprintf(stderr, "cannot run %s: %s\n", vector[0], std::strerror(errno));
    _exit(127);
}

std::string temporaryFile(const char* label)
{
    std::string pattern = std::string("/tmp/kubora-test-") + label + "-XXXXXX";
    const int descriptor = mkstemp(pattern.data());
    if (descriptor >= 0) {
        close(descriptor);
    }
    return pattern;
}

std::string fileContents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

int statusOf(int waitStatus)
{
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
}

CommandResult runCollecting(const std::vector<std::string>& arguments,
                            const std::vector<std::string>& environment, bool withErrors)
{
    CommandResult result;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return result;
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        if (withErrors) {
            dup2(pipeEnds[1], STDERR_FILENO);
        }
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        execute(arguments, environment);
    }
    close(pipeEnds[1]);
    if (child < 0) {
        close(pipeEnds[0]);
        return result;
    }
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(pipeEnds[0], buffer, sizeof buffer)) > 0 || (count < 0 && errno == EINTR)) {
        if (count > 0) {
            result.output.append(buffer, static_cast<std::size_t>(count));
        }
    }
    close(pipeEnds[0]);
    int waitStatus = 0;
    while (waitpid(child, &waitStatus, 0) < 0 && errno == EINTR) {
    }
    result.status = statusOf(waitStatus);
    return result;
}

} // namespace

CommandResult runCommand(const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment)
{
    return runCollecting(arguments, environment, false);
}

CommandResult runCommandWithErrors(const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& environment)
{
    return runCollecting(arguments, environment, true);
}

std::string launchedSanitizerOptions()
{
    const char* inherited = std::getenv("ASAN_OPTIONS");
    return std::string("ASAN_OPTIONS=") + (inherited != nullptr ? inherited : "") + ":detect_leaks=0";
}

LaunchedProcess::LaunchedProcess(const std::vector<std::string>& arguments,
                                 const std::vector<std::string>& environment,
                                 const std::string& workingFolder)
    : outputFile(temporaryFile("stdout")), errorFile(temporaryFile("stderr"))
{
    processId = fork();
    if (processId == 0) {
        const int output = open(outputFile.c_str(), O_WRONLY | O_TRUNC);
        const int error = open(errorFile.c_str(), O_WRONLY | O_TRUNC);
        dup2(output, STDOUT_FILENO);
        dup2(error, STDERR_FILENO);
        close(output);
        close(error);
        if (chdir(workingFolder.c_str()) != 0) {
            _exit(126);
        }
        execute(arguments, environment);
    }
}

LaunchedProcess::~LaunchedProcess()
{
    if (running()) {
        kill(processId, SIGKILL);
        int waitStatus = 0;
        waitpid(processId, &waitStatus, 0);
    }
    std::remove(outputFile.c_str());
    std::remove(errorFile.c_str());
}

bool LaunchedProcess::running()
{
    if (processId <= 0 || exitStatus) {
        return false;
    }
    int waitStatus = 0;
    if (waitpid(processId, &waitStatus, WNOHANG) == processId) {
        exitStatus = statusOf(waitStatus);
        return false;
    }
    return true;
}

std::optional<int> LaunchedProcess::waitForExit(std::chrono::milliseconds timeout)
{
    pollUntil(timeout, [this] { return !running(); });
    return exitStatus;
}

bool LaunchedProcess::waitForOutput(const std::string& text, std::chrono::milliseconds timeout)
{
    return pollUntil(
               timeout,
               [this, &text] { return standardOutput().find(text) != std::string::npos || !running(); }) &&
           standardOutput().find(text) != std::string::npos;
}

std::string LaunchedProcess::standardOutput() const
{
    return fileContents(outputFile);
}

std::string LaunchedProcess::standardError() const
{
    return fileContents(errorFile);
}

} // namespace kubora::test
