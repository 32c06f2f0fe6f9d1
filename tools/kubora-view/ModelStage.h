#pragma once
// The scene kubora-view shows a model in. The model is scaled and placed into the space the game's
// lights are made for, as the game places its duck, and stands on a plain floor under the spot light.
// In the game's look the game's renderer draws it: the shadow program, the point and spot lights with
// their depth passes. In the plain look (no shader files) one fixed-function light draws the same
// scene without shadows.
#include <memory>
#include <string>

#include "engine/render/EdgeMap.h"
#include "engine/math/Vector3f.h"

namespace libkub {
class Camera;
class Model;
class PointLightSource;
class SceneRenderer;
class SpotLightSource;
} // namespace libkub

namespace KuboraView {

class StageObject;

enum class Look { Game, Plain };

// The colour behind the stage: a muted blue-grey. No neutral shade equals it, so a black model, a white
// one and a white one lit by ambient light alone (exactly mid grey) all stand out from it.
inline constexpr float backdropColour[3] = {0.30f, 0.38f, 0.50f};

// Where the model stands: on the top face of the board's second tile, which is where a die stands, under
// the spot light hung there at its height of 6. Its longest side is stageSize: small enough that the spot
// light's shadow view (30 degrees) holds the model and its shadow.
inline constexpr libkub::Vector3f stagePlace{3.0f, -0.8f, 3.0f};
inline constexpr float stageSize = 1.5f;

// Scales the model uniformly so that its longest side is stageSize and places it with the middle of its
// foot on stagePlace. A model without triangles is left at stagePlace at its own size.
void placeOnStage(libkub::Model& model);

class ModelStage {
  public:
    // Loads the model in the current render mode and builds the scene; needs a current GL context with
    // the extensions loaded and, for the game's look, the data folder chosen. `exact` turns every
    // shortcut of the game's frame off.
    ModelStage(const std::string& modelPath, Look look, bool exact, float aspect);
    ~ModelStage();
    ModelStage(const ModelStage&) = delete;
    ModelStage& operator=(const ModelStage&) = delete;

    // Draws one frame into the bound framebuffer, at the current viewport.
    void draw();
    // The edge map of the stage's exact frame, drawn at the given size (EdgeMap.h); empty in the plain
    // look, which has no shadow program to draw it with.
    libkub::EdgeMap edgeMap(int width, int height);
    libkub::Camera& camera() { return *viewer; }

  private:
    void drawPlain();

    Look look;
    std::unique_ptr<libkub::Camera> viewer;
    std::unique_ptr<StageObject> model;
    std::unique_ptr<StageObject> floor;
    std::unique_ptr<libkub::PointLightSource> pointLight;
    std::unique_ptr<libkub::SpotLightSource> spotLight;
    std::unique_ptr<libkub::SceneRenderer> renderer;
};

} // namespace KuboraView
