#pragma once
// The console report of pending OpenGL errors, one line per error code.
#include <string>

namespace Kubora {

// "<GLU error text> caught at .\Program:285\n" for one error code.
std::string glErrorLine(unsigned errorCode);

// Polls glGetError until no error is left and prints each code's line to standard output.
void reportGlErrors();

} // namespace Kubora
