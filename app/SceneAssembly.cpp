#include "app/SceneAssembly.h"

#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include "app/Application.h"
#include "app/PerformanceCounter.h"
#include "setup/SceneLights.h"
#include "engine/resources/Model.h"
#include "engine/scene/PickRay.h"
#include "engine/scene/PointLightSource.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/Duck.h"
#include "game/Game.h"
#include "game/Player.h"
#include "hud/StatusBar.h"

namespace Kubora {

void assembleScene()
{
    Application& application = *Application::current();

    application.pointerX = 0;
    application.pointerY = 0;
    application.renderer = std::make_unique<libkub::SceneRenderer>(application.camera.get());
    libkub::SceneRenderer& renderer = *application.renderer;

    application.pointLight = makePointLight();
    application.spotLight = makeSpotLight();

    // The first frame's pick test already has a ray: the one through the window's top-left corner.
    application.pickRay = std::make_unique<libkub::Ray>();
    libkub::updatePickRay(glutGet(GLUT_WINDOW_HEIGHT), *application.pickRay, application.pointerX,
                          application.pointerY);
    renderer.pickRay = application.pickRay.get();

    application.board = std::make_unique<Board>();
    application.statusBar = std::make_unique<StatusBar>();

    application.frameTimer = std::make_unique<FrameTimer>();
    application.frameTimer->frequency = performanceFrequency();

    renderer.hudElements.push_back(application.statusBar.get());
    // GL_LIGHT0 and GL_LIGHT1, in this order.
    renderer.addLight(application.pointLight.get());
    renderer.addLight(application.spotLight.get());

    // Turn order red, green, blue (the human), yellow.
    application.players[0] = std::make_unique<Player>(0, Computer, 1.0f, 0.0f, 0.0f);
    application.players[1] = std::make_unique<Player>(1, Computer, 0.0f, 1.0f, 0.0f);
    application.players[2] = std::make_unique<Player>(2, Human, 0.0f, 0.0f, 1.0f);
    application.players[3] = std::make_unique<Player>(3, Computer, 1.0f, 1.0f, 0.0f);

    application.game = std::make_unique<Game>(&renderer);
    Game& game = *application.game;
    application.board->attachToGame(game);
    game.turnDisplay = application.statusBar.get();
    for (auto& player : application.players) {
        game.placeStartingDice(*player);
    }

    // The duck stands off the far corner, drawn after the dice; it is not selectable.
    application.duck = std::make_unique<Duck>();
    libkub::Model& duckModel = *application.duck->model();
    duckModel.setPosition(24.0f, -1.8f, 23.4f);
    duckModel.mesh.rotation = {0.0f, 1.0f, 0.0f, 46.0f};
    duckModel.setSize(0.02f, 0.02f, 0.02f);
    renderer.addObject(application.duck.get());

    // The board under the tiles, drawn last.
    libkub::Model& boardModel = *application.board->model();
    boardModel.setSize(16.8f, 3.0f, 16.8f);
    boardModel.setPosition(10.0f, -2.0f, 9.0f);
    renderer.addObject(application.board.get());

    game.start();
}

} // namespace Kubora
