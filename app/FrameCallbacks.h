#pragma once
// The GLUT callbacks of the frame loop: draw and time a frame, follow the window size, and between
// frames move the camera for held keys and advance the game.

namespace Kubora {

class Application;

// Draws one frame, computes the next pick ray, presents, times the drawing and reports GL errors.
void onDisplay();
// Viewport and camera aspect for the new window size.
void onReshape(int width, int height);
// Held keys move the camera by the last frame's time; the game advances; the next frame is requested.
void onIdle();

// The camera moves of the held keys for a frame of the given milliseconds, in a fixed order.
void moveCameraForHeldKeys(Application& application, double frameTime);

} // namespace Kubora
