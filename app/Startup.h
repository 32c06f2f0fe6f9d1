#pragma once
// The start-up sequence: command line, window or game mode, application, callbacks, extensions,
// scene, main loop.

namespace Kubora {

// Runs the game; returns 0 when the GLUT main loop returns (the Escape key ends the process earlier).
int runKubora(int argc, char** argv);

} // namespace Kubora
