#include "app/InputCallbacks.h"

#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>

#include "app/Application.h"
#include "setup/SceneLights.h"
#include "engine/resources/RenderSettings.h"
#include "engine/scene/Camera.h"
#include "engine/scene/DrawableObject.h"
#include "engine/resources/Model.h"
#include "engine/render/SceneRenderer.h"
#include "engine/scene/SpotLightSource.h"
#include "game/Board.h"
#include "game/Game.h"
#include "game/Player.h"

namespace Kubora {

namespace {

constexpr unsigned char escapeKey = 27;
// A drag across the whole width turns the azimuth once around, across the whole height half a turn.
constexpr float dragTurnAcross = 6.28318f;
constexpr float dragTurnUpDown = 3.14159f;

// The flag a held key sets, or null for keys that are not held.
bool* heldKeyFlag(Application& application, unsigned char key)
{
    switch (key) {
    case '+':
    case '=': // '+' is Shift+'=' on most keyboards: released Shift first, the key comes up as '='
        return &application.zoomIn;
    case '-':
        return &application.zoomOut;
    case 'A':
    case 'a':
        return &application.moveLeft;
    case 'D':
    case 'd':
        return &application.moveRight;
    case 'W':
    case 'w':
        return &application.moveUp;
    case 'S':
    case 's':
        return &application.moveDown;
    default:
        return nullptr;
    }
}

// Escape ends the process at once: the scene lives until the process is gone and nothing is torn down,
// not even the caches' static destructors, which would release GL objects of a context about to vanish.
// Only what the player sees outside the game is put right: the screen mode, and the console lines.
[[noreturn]] void endAtOnce()
{
    if (glutGameModeGet(GLUT_GAME_MODE_ACTIVE) != 0) {
        glutLeaveGameMode();
    }
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(0);
}

} // namespace

void onKeyDown(unsigned char key, int, int)
{
    Application& application = *Application::current();
    if (key == escapeKey) {
        endAtOnce();
    }
    if (key == ' ') {
        // The next game update finds the turn's time used up.
        if (application.game) {
            application.game->timer->end = 0;
        }
        return;
    }
    if (bool* flag = heldKeyFlag(application, key)) {
        *flag = true;
        return;
    }
    if (key == 'R' || key == 'r') {
        application.camera->resetView();
    }
}

void onKeyUp(unsigned char key, int, int)
{
    if (bool* flag = heldKeyFlag(*Application::current(), key)) {
        *flag = false;
    }
}

void switchRenderMode()
{
    libkub::RenderSettings& settings = libkub::RenderSettings::instance();
    if (settings.renderMode == libkub::Immediate) {
        settings.setRenderMode(libkub::DisplayList);
    } else if (settings.renderMode == libkub::DisplayList) {
        settings.setRenderMode(libkub::Immediate);
    }
}

void onSpecialKey(int key, int, int)
{
    libkub::RenderSettings& settings = libkub::RenderSettings::instance();
    switch (key) {
    case GLUT_KEY_F2:
        settings.showOverlay = !settings.showOverlay;
        break;
    case GLUT_KEY_F3:
        settings.wireframe = !settings.wireframe;
        break;
    case GLUT_KEY_F7:
        switchRenderMode();
        break;
    case GLUT_KEY_F8:
        settings.frustumCulling = !settings.frustumCulling;
        break;
    default:
        break;
    }
}

void pressLeftButton(Application& application)
{
    application.renderer->pickRay = application.pickRay.get();
    libkub::SelectableObject* picked = application.renderer->pickedObject;
    Game* game = application.game.get();
    if (picked == nullptr || game == nullptr || game->currentPlayer == nullptr ||
        game->currentPlayer->kind != Human) {
        return;
    }
    // Only tiles are selectable; anything else picked is not a click on the board.
    if (auto* tile = dynamic_cast<BoardTile*>(picked)) {
        game->handleClick(tile);
    }
}

void onMouseButton(int button, int state, int x, int y)
{
    Application& application = *Application::current();
    application.mouseButton = button;
    if (state == GLUT_DOWN) {
        application.pointerX = x;
        application.pointerY = y;
        application.buttonDown = true;
    } else {
        application.buttonDown = false;
    }
    if (button == GLUT_LEFT_BUTTON && application.buttonDown) {
        pressLeftButton(application);
    }
}

void onMouseDrag(int x, int y)
{
    Application& application = *Application::current();
    libkub::Camera& camera = *application.camera;
    // Without a viewport size (a minimised window) a drag has no scale, so it does not turn.
    if (application.mouseButton == GLUT_RIGHT_BUTTON && camera.viewportWidth > 0 &&
        camera.viewportHeight > 0) {
        const int dx = x - application.pointerX;
        const int dy = y - application.pointerY;
        camera.orbit(static_cast<float>(dx) * dragTurnAcross / static_cast<float>(camera.viewportWidth),
                     0.0f);
        camera.orbit(0.0f,
                     static_cast<float>(dy) * dragTurnUpDown / static_cast<float>(camera.viewportHeight));
    }
    application.pointerX = x;
    application.pointerY = y;
}

void hoverPickedObject(Application& application)
{
    application.renderer->pickRay = application.pickRay.get();
    application.hoveredObject = application.renderer->pickedObject;
    auto* hovered = dynamic_cast<libkub::DrawableObject*>(application.hoveredObject);
    if (hovered != nullptr && application.spotLight) {
        hangAbove(*application.spotLight, hovered->model()->mesh.translation);
    }
    if (application.board) {
        application.board->hoveredTile = dynamic_cast<BoardTile*>(application.hoveredObject);
    }
}

void onPointerMove(int x, int y)
{
    Application& application = *Application::current();
    application.pointerX = x;
    application.pointerY = y;
    hoverPickedObject(application);
}

} // namespace Kubora
