#pragma once
// One die of a stack: a drawable model with no meaning of its own (rolls are shown by the status bar).
#include <memory>

#include "engine/scene/DrawableObject.h"
#include "engine/resources/Model.h"

namespace Kubora {

class Die final : public libkub::DrawableObject {
  public:
    Die();
    void draw() override;
    libkub::Model* model() override { return dieModel.get(); }
    bool drawsOnlyItsModel() const override { return true; }

  private:
    std::unique_ptr<libkub::Model> dieModel;
};

} // namespace Kubora
