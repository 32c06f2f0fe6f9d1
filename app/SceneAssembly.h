#pragma once
// Builds the world once, between loading the GL extensions and entering the main loop.

namespace Kubora {

// Fills the current application: renderer, pick ray, frame timer and the scene they work on.
// Needs the application with its camera and a current GL context.
void assembleScene();

} // namespace Kubora
