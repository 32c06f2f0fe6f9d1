#include "game/Die.h"
#include "engine/DataFolder.h"

namespace Kubora {

Die::Die() : dieModel(libkub::loadModel(libkub::dataFile("die.dae"))) {}

void Die::draw()
{
    dieModel->draw();
}

} // namespace Kubora
