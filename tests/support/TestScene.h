#pragma once
// A scene of real Models built from meshes filled here (a plane and boxes), recorded for the current
// render mode, with the game's two lights. Shared by the light tests and the frame benchmark, so it
// uses no test framework.
#include <memory>
#include <vector>

#include "engine/math/Color4f.h"
#include "engine/scene/DrawableObject.h"
#include "engine/resources/Mesh.h"
#include "engine/resources/Model.h"
#include "engine/math/Vector3f.h"

namespace libkub {
class PointLightSource;
class SpotLightSource;
} // namespace libkub

namespace kubora::test {

// A drawable that owns its Model and draws it.
class ModelObject : public libkub::DrawableObject {
  public:
    explicit ModelObject(std::unique_ptr<libkub::Model> ownedModel) : owned(std::move(ownedModel)) {}
    void draw() override { owned->draw(); }
    libkub::Model* model() override { return owned.get(); }
    bool drawsOnlyItsModel() const override { return true; }

  private:
    std::unique_ptr<libkub::Model> owned;
};

// The unit cube around the origin (outward faces wound counter-clockwise) and the unit square in the
// plane y = 0 facing up, as triangle lists with normals and texture coordinates.
std::vector<libkub::Triangle> unitBoxTriangles();
std::vector<libkub::Triangle> unitSquareTriangles();

// Builds the objects' meshes once per shape, for the render mode current at construction: a shared
// vertex buffer in VBO mode, the triangles and a shared display list otherwise.
class TestScene {
  public:
    TestScene();

    // A box standing with its centre at centre, of the given size, coloured (ambient and diffuse).
    ModelObject& addBox(libkub::Vector3f centre, libkub::Vector3f size, libkub::Color4f colour);
    // A square plane of the given edge, centred at centre, facing up.
    ModelObject& addPlane(libkub::Vector3f centre, float edge, libkub::Color4f colour);
    // A grid of count boxes (0.4 wide, 0.4, 1.0 or 1.6 high) spread over a plane of 24 x 24 at y = -1,
    // the plane added last as the game adds its board last.
    void addBoxField(int count);

    std::vector<std::unique_ptr<ModelObject>> objects;

  private:
    std::unique_ptr<libkub::Model> makeModel(const libkub::Mesh& prototype, libkub::Color4f colour) const;

    libkub::Mesh box;
    libkub::Mesh square;
    unsigned whiteTexture = 0;
};

// The two lights as the game configures them: the point light at (12, 15, 12) with w = 0 and the
// spot light hanging at height 6 above (x, z), pointing straight down.
void configureGameLights(libkub::PointLightSource& point, libkub::SpotLightSource& spot, float spotX = 0.0f,
                         float spotZ = 0.0f);

} // namespace kubora::test
