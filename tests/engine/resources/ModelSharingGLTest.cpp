// Copies of one loaded model in the list modes share one triangle list, and a copy that changes its
// triangles gets its own without touching the others.
#include <gtest/gtest.h>

#include "engine/resources/RenderSettings.h"
#include "engine/resources/Model.h"

TEST(ModelSharing, CopiesOfALoadedModelShareTheirTrianglesUntilOneChanges)
{
    for (const libkub::RenderMode mode : {libkub::Immediate, libkub::DisplayList}) {
        libkub::RenderSettings::instance().renderMode = mode;
        const auto first = libkub::loadModel("data/die.dae");
        const auto second = libkub::loadModel("data/die.dae");
        ASSERT_FALSE(first->mesh.triangles.empty()) << mode;
        EXPECT_EQ(first->mesh.triangles.begin(), second->mesh.triangles.begin()) << mode;

        libkub::Model changed = *second;
        changed.mesh.triangles[0].corners[0].position.x += 1.0f;
        EXPECT_NE(changed.mesh.triangles.begin(), second->mesh.triangles.begin()) << mode;
        EXPECT_EQ(second->mesh.triangles[0].corners[0].position.x,
                  first->mesh.triangles[0].corners[0].position.x)
            << mode;
        EXPECT_EQ(changed.mesh.triangles.size(), first->mesh.triangles.size()) << mode;
    }
    libkub::RenderSettings::instance().renderMode = libkub::VBO;
}
