#include "game/Duck.h"
#include "engine/resources/DataFolder.h"

namespace Kubora {

Duck::Duck() : duckModel(libkub::loadModel(libkub::dataFile("duck.dae")))
{
    duckModel->box = libkub::BoundingBox{};
}

void Duck::draw()
{
    duckModel->draw();
}

} // namespace Kubora
