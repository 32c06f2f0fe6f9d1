#include "game/Die.h"

namespace Kubora {

Die::Die() : dieModel(libkub::loadModel("data/die.dae")) {}

void Die::draw()
{
    dieModel->draw();
}

} // namespace Kubora
