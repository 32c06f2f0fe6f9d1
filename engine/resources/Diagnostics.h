#pragma once
// The one place that formats the console lines for problems with files and input, so every
// message reads alike: "kubora: <what it concerns>: <what is wrong>" on standard error.
#include <string>

namespace libkub {

void reportProblem(const std::string& subject, const std::string& problem);

} // namespace libkub
