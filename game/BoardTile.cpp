#include "game/BoardTile.h"

#include "engine/math/Picking.h"
#include "engine/resources/DataFolder.h"
#include "game/Die.h"

namespace Kubora {

libkub::Vector3f stackSlot(libkub::Vector3f tilePosition, std::size_t k)
{
    const float x = k % 2 == 0 ? tilePosition.x + 0.5f : tilePosition.x - 0.5f;
    const float y = tilePosition.y + 0.4f + static_cast<float>(k / 2) * 0.5f;
    return {x, y, tilePosition.z};
}

BoardTile::BoardTile(std::unique_ptr<GridCoordinates> gridCoordinates)
    : coordinates(std::move(gridCoordinates)), tileModel(libkub::loadModel(libkub::dataFile("tile.dae")))
{
    // Picking and culling use a flat 2 x 0.4 x 2 box around the tile's place, whatever the model's shape.
    libkub::BoundingBox box;
    box.size = {2.0f, 0.4f, 2.0f};
    box.min = box.centre - libkub::Vector3f{1.0f, 0.2f, 1.0f};
    box.max = box.centre + libkub::Vector3f{1.0f, 0.2f, 1.0f};
    tileModel->box = box;
    tileModel->material.specular = {0.5f, 0.5f, 0.5f, 1.0f};
    tileModel->material.shininess = 64.0f;
}

void BoardTile::draw()
{
    tileModel->draw();
}

bool BoardTile::hitTest(const libkub::Ray& ray, float t0, float t1)
{
    return libkub::rayHitsBox(ray, tileModel->bounds(), t0, t1);
}

std::optional<float> BoardTile::hitDistance(const libkub::Ray& ray, float t0, float t1)
{
    return libkub::rayEntersBox(ray, tileModel->bounds(), t0, t1);
}

void BoardTile::placeDie(Die* die)
{
    const libkub::Vector3f slot = stackSlot(position(), dice.size());
    die->model()->setPosition(slot.x, slot.y, slot.z);
    die->model()->setSize(0.25f, 0.25f, 0.25f);
    dice.push_back(die);
}

Die* BoardTile::takeTopDie()
{
    if (dice.empty()) {
        return nullptr;
    }
    Die* top = dice.back();
    dice.pop_back();
    return top;
}

} // namespace Kubora
