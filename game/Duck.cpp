#include "game/Duck.h"

namespace Kubora {

Duck::Duck() : duckModel(libkub::loadModel("data/duck.dae"))
{
    duckModel->box = libkub::BoundingBox{};
}

void Duck::draw()
{
    duckModel->draw();
}

} // namespace Kubora
