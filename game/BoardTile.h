#pragma once
// One square of the board: drawn and pickable, with its grid place, owner and stack of dice.
#include <memory>
#include <utility>
#include <vector>

#include "engine/scene/DrawableObject.h"
#include "engine/resources/Model.h"
#include "engine/scene/SelectableObject.h"
#include "engine/math/Vector3f.h"

namespace Kubora {

class Die;
class Player;

// Grid coordinates as the tile keeps them: whole numbers 0 to 7 held as floats (row, column).
using GridCoordinates = std::pair<float, float>;

// Where the k-th die of a stack (0 at the bottom) stands on a tile whose model is at tilePosition:
// two columns side by side along x, rising by 0.5 with every pair.
libkub::Vector3f stackSlot(libkub::Vector3f tilePosition, std::size_t k);

class BoardTile final : public libkub::DrawableObject, public libkub::SelectableObject {
  public:
    explicit BoardTile(std::unique_ptr<GridCoordinates> coordinates);

    void draw() override;
    libkub::Model* model() override { return tileModel.get(); }
    bool drawsOnlyItsModel() const override { return true; }
    // True when the ray meets the tile's box for a parameter between t0 and t1.
    bool hitTest(const libkub::Ray& ray, float t0, float t1) override;
    std::optional<float> hitDistance(const libkub::Ray& ray, float t0, float t1) override;

    // Puts a die on top of the stack, placed and sized for its slot. The caller adds it to the scene.
    void placeDie(Die* die);
    // Takes the top die off the stack; null when the stack is empty.
    Die* takeTopDie();
    std::size_t diceCount() const { return dice.size(); }
    int row() const { return static_cast<int>(coordinates->first); }
    int column() const { return static_cast<int>(coordinates->second); }
    // The model's position (every die slot is computed from it).
    libkub::Vector3f position() const { return tileModel->mesh.translation; }

    Player* owner = nullptr;
    std::unique_ptr<GridCoordinates> coordinates;
    std::unique_ptr<libkub::Model> tileModel;
    std::vector<Die*> dice; // bottom first; the tile does not own its dice
};

} // namespace Kubora
