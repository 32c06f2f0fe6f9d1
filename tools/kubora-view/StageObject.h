#pragma once
// Something kubora-view puts on its stage (the viewed model, the floor): a drawable that draws only
// its model, as the game's dice, tiles and duck do, so the renderer treats it as it treats theirs.
#include <memory>
#include <utility>

#include "engine/scene/DrawableObject.h"
#include "engine/resources/Model.h"

namespace KuboraView {

class StageObject : public libkub::DrawableObject {
  public:
    explicit StageObject(std::unique_ptr<libkub::Model> model) : owned(std::move(model)) {}

    void draw() override { owned->draw(); }
    libkub::Model* model() override { return owned.get(); }
    bool drawsOnlyItsModel() const override { return true; }

  private:
    std::unique_ptr<libkub::Model> owned;
};

} // namespace KuboraView
