#pragma once
// The decorative duck beside the board; it takes no part in the rules or in picking.
#include <memory>

#include "engine/scene/DrawableObject.h"
#include "engine/resources/Model.h"

namespace Kubora {

class Duck final : public libkub::DrawableObject {
  public:
    Duck();
    void draw() override;
    libkub::Model* model() override { return duckModel.get(); }
    bool drawsOnlyItsModel() const override { return true; }

  private:
    std::unique_ptr<libkub::Model> duckModel;
};

} // namespace Kubora
