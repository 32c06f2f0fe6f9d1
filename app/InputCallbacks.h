#pragma once
// The GLUT callbacks of the keyboard and the mouse: held-key flags, display switches, camera moves,
// the hovered object and clicks.

namespace Kubora {

class Application;

void onKeyDown(unsigned char key, int x, int y);
void onKeyUp(unsigned char key, int x, int y);
void onSpecialKey(int key, int x, int y);
void onMouseButton(int button, int state, int x, int y);
// The pointer moves with a button held: a right-button drag orbits the camera.
void onMouseDrag(int x, int y);
// The pointer moves with no button held.
void onPointerMove(int x, int y);

// The last frame's pick result becomes the hovered object.
void hoverPickedObject(Application& application);
// A left-button press acts on the last frame's pick result.
void pressLeftButton(Application& application);
// F7: immediate mode and display lists swap; vertex-buffer mode stays as it is.
void switchRenderMode();

} // namespace Kubora
