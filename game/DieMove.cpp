#include "game/DieMove.h"

#include "engine/resources/Model.h"
#include "game/Die.h"

namespace Kubora {

void DieMove::advance(double dt)
{
    libkub::Model* model = die->model();
    if (duration >= elapsed) {
        const float f = static_cast<float>(dt / duration);
        const libkub::Vector3f now = model->mesh.translation + (target - start) * f;
        model->setPosition(now.x, now.y, now.z);
        elapsed += dt;
    } else {
        done = true;
        model->setPosition(target.x, target.y, target.z);
    }
}

} // namespace Kubora
