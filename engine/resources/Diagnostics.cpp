#include "engine/resources/Diagnostics.h"

#include <cstdio>

namespace libkub {

void reportProblem(const std::string& subject, const std::string& problem)
{
    std::fprintf(stderr, "kubora: %s: %s\n", subject.c_str(), problem.c_str());
    std::fflush(stderr);
}

} // namespace libkub
