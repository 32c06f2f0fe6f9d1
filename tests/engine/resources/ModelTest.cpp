// Model placement without a context: setPosition and setSize keep the box around its centre and
// carry the placement to the mesh; the drawn bounds enclose the placed mesh.
#include <gtest/gtest.h>

#include "engine/resources/Model.h"

using libkub::Vector3f;

TEST(ModelBox, StartsAsTheUnitCubeAroundTheOrigin)
{
    const libkub::Model model;
    const libkub::BoundingBox box = model.bounds();
    EXPECT_EQ(box.min, (Vector3f{-0.5f, -0.5f, -0.5f}));
    EXPECT_EQ(box.max, (Vector3f{0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(box.centre, (Vector3f{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(box.size, (Vector3f{1.0f, 1.0f, 1.0f}));
}

TEST(ModelBox, PositionThenSizeKeepTheBoxAroundItsCentre)
{
    libkub::Model model;
    const libkub::BoundingBox sized = model.setSize(2.0f, 4.0f, 6.0f);
    EXPECT_EQ(sized.min, (Vector3f{-1.0f, -2.0f, -3.0f}));
    EXPECT_EQ(sized.max, (Vector3f{1.0f, 2.0f, 3.0f}));

    model.setPosition(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(model.bounds().min, (Vector3f{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(model.bounds().max, (Vector3f{2.0f, 4.0f, 6.0f}));
    EXPECT_EQ(model.bounds().centre, (Vector3f{1.0f, 2.0f, 3.0f}));

    const libkub::BoundingBox unit = model.setSize(1.0f, 1.0f, 1.0f);
    EXPECT_EQ(unit.min, (Vector3f{0.5f, 1.5f, 2.5f}));
    EXPECT_EQ(unit.max, (Vector3f{1.5f, 2.5f, 3.5f}));
    EXPECT_EQ(unit.centre, (Vector3f{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(model.bounds().max, unit.max);
}

TEST(ModelBox, PlacementReachesTheMesh)
{
    libkub::Model model;
    model.setPosition(-4.0f, 0.25f, 7.0f);
    model.setSize(0.5f, 3.0f, 1.0f);
    EXPECT_EQ(model.mesh.translation, (Vector3f{-4.0f, 0.25f, 7.0f}));
    EXPECT_EQ(model.mesh.scale, (Vector3f{0.5f, 3.0f, 1.0f}));
    // Neither touches the rotation, which scene assembly writes directly.
    EXPECT_EQ(model.mesh.rotation.angle, 0.0f);
}

TEST(ModelBox, DrawnBoundsEncloseTheMeshAfterScaleRotationAndTranslation)
{
    libkub::Model model;
    // Without a mesh the drawn bounds are the box.
    EXPECT_EQ(model.drawnBounds().max, model.bounds().max);

    // A mesh twice the unit cube in x, drawn at half size, turned a quarter about y, moved to (10, 0, 0):
    // its x extent becomes a z extent.
    model.meshMin = {-1.0f, -0.5f, -0.5f};
    model.meshMax = {1.0f, 0.5f, 0.5f};
    model.setSize(0.5f, 0.5f, 0.5f);
    model.mesh.rotation = {0.0f, 1.0f, 0.0f, 90.0f};
    model.setPosition(10.0f, 0.0f, 0.0f);
    const libkub::BoundingBox drawn = model.drawnBounds();
    EXPECT_NEAR(drawn.min.z, -0.5f, 1e-5f);
    EXPECT_NEAR(drawn.max.z, 0.5f, 1e-5f);
    EXPECT_NEAR(drawn.min.x, 9.75f, 1e-5f); // the owner's box (0.5 wide) still counts
    EXPECT_NEAR(drawn.max.x, 10.25f, 1e-5f);
    EXPECT_NEAR(drawn.max.y, 0.25f, 1e-5f);
    // The owner's box stays as it was set, for picking.
    EXPECT_EQ(model.bounds().max, (Vector3f{10.25f, 0.25f, 0.25f}));
}
