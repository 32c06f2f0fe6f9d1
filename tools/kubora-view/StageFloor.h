#pragma once
// The plain floor kubora-view stands a model on, so that its shadows show: a square of neutral grey,
// centred under the model, with room around the model for the shadow the main light throws sideways.
#include <memory>

namespace libkub {
class Model;
} // namespace libkub

namespace KuboraView {

// Half the floor's side: the main light throws the shadow of the stage's tallest model about 1.2 units
// aside, and the floor's far edge stays close enough that the backdrop shows above a model.
inline constexpr float floorHalfWidth = 3.0f;

// The floor, built for the current render mode and placed with its top face at the stage's place.
// Needs a current GL context.
std::unique_ptr<libkub::Model> makeStageFloor();

} // namespace KuboraView
