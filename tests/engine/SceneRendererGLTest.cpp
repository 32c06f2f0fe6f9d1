// The scene renderer on a real context: what its constructor builds, and its object lists drawn
// with and without frustum culling.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/Camera.h"
#include "engine/SceneRenderer.h"
#include "engine/ShaderProgram.h"
#include "engine/SkyBox.h"
#include "tests/support/PngWriter.h"

namespace {

// Runs the body with the working folder set to a fresh folder whose data/ holds the game's shadow
// sources and, when asked, six one-pixel sky faces.
template <typename Body> void inDataFolder(const std::string& name, bool withSky, Body body)
{
    const std::string folder = kubora::test::temporaryFolder() + "/" + name;
    std::filesystem::create_directories(folder + "/data");
    for (const char* source : {"shadow.vert", "shadow.frag"}) {
        std::filesystem::copy_file(std::string(KUBORA_SOURCE_DIR) + "/data/" + source,
                                   folder + "/data/" + source);
    }
    for (int face = 0; withSky && face < 6; ++face) {
        ASSERT_TRUE(kubora::test::writeRgbPng(folder + "/data/SkyBox" + std::to_string(face) + ".png", 1, 1,
                                              {1, 2, 3}));
    }
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    body();
    std::filesystem::current_path(previous);
}

} // namespace

TEST(SceneRendererConstruction, BuildsLinkedShadowProgramAndSky)
{
    libkub::Camera camera({0, 5, 10}, {0, 0, 0}, {0, 1, 0}, 1.0f, 90.0f, 4.0f / 3.0f, 45.0f);
    inDataFolder("renderer-complete", true, [&] {
        testing::internal::CaptureStderr();
        libkub::SceneRenderer renderer(&camera);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        ASSERT_TRUE(renderer.shadowProgram);
        EXPECT_EQ(renderer.shadowProgram->name, "shadow");
        EXPECT_EQ(renderer.shadowProgram->vertexShader->file, "data/shadow.vert");
        EXPECT_EQ(renderer.shadowProgram->fragmentShader->file, "data/shadow.frag");
        EXPECT_TRUE(renderer.shadowProgram->linked);
        ASSERT_TRUE(renderer.skyBox);
        EXPECT_EQ(renderer.skyBox->loadStatus, 1);
        EXPECT_EQ(renderer.camera, &camera);
        EXPECT_EQ(renderer.pickedObject, nullptr);
        EXPECT_TRUE(renderer.objects.empty());
        EXPECT_TRUE(renderer.selectables.empty());
        EXPECT_TRUE(renderer.lights.empty());
        EXPECT_TRUE(renderer.hudElements.empty());
    });
}

TEST(SceneRendererConstruction, MissingSkyFacesAreNamedAndTheRendererStillStands)
{
    libkub::Camera camera({0, 5, 10}, {0, 0, 0}, {0, 1, 0}, 1.0f, 90.0f, 4.0f / 3.0f, 45.0f);
    inDataFolder("renderer-no-sky", false, [&] {
        testing::internal::CaptureStderr();
        libkub::SceneRenderer renderer(&camera);
        std::string expected;
        for (int face = 0; face < 6; ++face) {
            expected +=
                "kubora: data/SkyBox" + std::to_string(face) +
                ".png: cannot be opened (No such file or directory); drawing a plain sky colour instead\n";
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), expected);
        EXPECT_TRUE(renderer.shadowProgram->linked);
    });
}
