#include "game/Die.h"
#include "engine/resources/DataFolder.h"

namespace Kubora {

Die::Die() : dieModel(libkub::loadModel(libkub::dataFile("die.dae"))) {}

void Die::draw()
{
    dieModel->draw();
}

} // namespace Kubora
