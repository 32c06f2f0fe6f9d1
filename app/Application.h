#pragma once
// The one object that holds the program's state: the scene it owns and the input flags the GLUT
// callbacks share.
#include <array>
#include <memory>

#include "app/FrameTimer.h"

namespace libkub {
class Camera;
class PointLightSource;
class SceneRenderer;
class SelectableObject;
class SpotLightSource;
struct Ray;
} // namespace libkub

namespace Kubora {

class Board;
class Duck;
class Game;
class PassFragmentLine;
class Player;
class StatusBar;

class Application {
  public:
    // Creates the camera for the current window and sets the fixed GL state; needs a current context.
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The application the GLUT callbacks work on, or null before start-up has made one current.
    static Application* current();
    // Whoever creates the application owns it; this only makes it the one the callbacks reach.
    static void makeCurrent(Application* application);

    std::unique_ptr<libkub::SceneRenderer> renderer;
    std::unique_ptr<libkub::Ray> pickRay; // the renderer points at it
    std::unique_ptr<libkub::Camera> camera;
    std::unique_ptr<FrameTimer> frameTimer;
    std::unique_ptr<libkub::PointLightSource> pointLight; // the main, directional light
    std::unique_ptr<libkub::SpotLightSource> spotLight;   // follows the hovered tile
    std::unique_ptr<Board> board;
    std::unique_ptr<StatusBar> statusBar;
    std::array<std::unique_ptr<Player>, 4> players;
    std::unique_ptr<Game> game;
    std::unique_ptr<Duck> duck; // decoration only
    // The debug line of each pass's fragments (PassFragmentLine.h); null unless the environment asks.
    std::unique_ptr<PassFragmentLine> passFragmentLine;

    double frameTime = 0.0; // duration of the last frame's drawing, milliseconds
    int mouseButton = 0;    // GLUT button of the last button event
    int pointerX = 0;       // window coordinates, origin top left
    int pointerY = 0;
    bool buttonDown = false;
    // Held keys: A, D, W, S, + and -.
    bool moveLeft = false;
    bool moveRight = false;
    bool moveUp = false;
    bool moveDown = false;
    bool zoomIn = false;
    bool zoomOut = false;
    libkub::SelectableObject* hoveredObject = nullptr; // not owned
};

} // namespace Kubora
