// The scene renderer on a real context: what its constructor builds, and its object lists drawn
// with and without frustum culling.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "engine/resources/RenderSettings.h"
#include "engine/scene/Camera.h"
#include "engine/scene/DrawableObject.h"
#include "engine/resources/Model.h"
#include "engine/render/SceneRenderer.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/scene/SkyBox.h"
#include "engine/resources/OffscreenFrame.h"
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

// A scene object that draws its model and counts its draws.
class CountingObject : public libkub::DrawableObject {
  public:
    explicit CountingObject(std::unique_ptr<libkub::Model> drawn) : drawnModel(std::move(drawn)) {}
    void draw() override
    {
        ++draws;
        drawnModel->draw();
    }
    libkub::Model* model() override { return drawnModel.get(); }
    // It draws nothing but its model (counting aside): culling may test the model's bounds.
    bool drawsOnlyItsModel() const override { return true; }

    std::unique_ptr<libkub::Model> drawnModel;
    int draws = 0;
};

const std::string cubePath = std::string(KUBORA_SOURCE_DIR) + "/tests/fixtures/models/texcube.dae";

std::size_t countNonBlack(const std::vector<std::uint8_t>& pixels)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
        count += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0 ? 1 : 0;
    }
    return count;
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

TEST(SceneRendererObjects, RemovingAnObjectAddedTwiceRemovesBoth)
{
    libkub::Camera camera({0, 0, 5}, {0, 0, 0}, {0, 1, 0}, 1.0f, 50.0f, 1.0f, 45.0f);
    inDataFolder("renderer-remove", true, [&] {
        libkub::SceneRenderer renderer(&camera);
        CountingObject a(std::make_unique<libkub::Model>());
        CountingObject b(std::make_unique<libkub::Model>());
        renderer.addObject(&a);
        renderer.addObject(&b);
        renderer.addObject(&a);
        renderer.removeObject(&a);
        ASSERT_EQ(renderer.objects.size(), 1u);
        EXPECT_EQ(renderer.objects[0], &b);
        renderer.drawObjects();
        EXPECT_EQ(a.draws, 0);
        EXPECT_EQ(b.draws, 1);
    });
}

TEST(SceneRendererObjects, CullingSkipsBoxesOutsideAndDrawsBoxesAcrossAPlane)
{
    // The camera looks down -z from z = 5 with a 45-degree lens onto a 64 x 64 frame.
    libkub::Camera camera({0, 0, 5}, {0, 0, 0}, {0, 1, 0}, 1.0f, 50.0f, 1.0f, 45.0f);
    inDataFolder("renderer-culling", true, [&] {
        libkub::SceneRenderer renderer(&camera);
        libkub::RenderSettings::instance().renderMode = libkub::VBO;
        // Behind the camera: culled, and no pixel of it would show anyway.
        CountingObject hidden(libkub::loadModel(cubePath));
        hidden.drawnModel->setPosition(-1.0f, 0.0f, 20.0f);
        // In view, with the box its owner gave it placed far behind the camera: culling goes by the
        // triangles it draws as well, so it stays.
        CountingObject misboxed(libkub::loadModel(cubePath));
        misboxed.drawnModel->setPosition(-1.0f, 1.0f, 0.0f);
        libkub::BoundingBox behind = misboxed.drawnModel->bounds();
        behind.min.z += 20.0f;
        behind.max.z += 20.0f;
        behind.centre.z += 20.0f;
        misboxed.drawnModel->box = behind;
        // Half out of the left side of the view: its box straddles the left plane.
        CountingObject straddling(libkub::loadModel(cubePath));
        const float leftEdge = -std::tan(22.5f * 3.14159265f / 180.0f) * 5.0f;
        straddling.drawnModel->setPosition(leftEdge, -1.0f, 0.0f);
        renderer.addObject(&hidden);
        renderer.addObject(&misboxed);
        renderer.addObject(&straddling);

        libkub::OffscreenFrame frame(64, 64);
        camera.applyProjection();
        camera.applyView();
        const auto drawFrame = [&] {
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glEnable(GL_DEPTH_TEST);
            glColor4f(1, 1, 1, 1);
            renderer.drawObjects();
            return frame.pixels();
        };
        // Pixels of the left and right halves of the frame.
        const auto halves = [](const std::vector<std::uint8_t>& pixels) {
            std::vector<std::uint8_t> left;
            std::vector<std::uint8_t> right;
            for (int y = 0; y < 64; ++y) {
                const auto row = pixels.begin() + y * 64 * 3;
                left.insert(left.end(), row, row + 32 * 3);
                right.insert(right.end(), row + 32 * 3, row + 64 * 3);
            }
            return std::pair{countNonBlack(left), countNonBlack(right)};
        };

        libkub::RenderSettings::instance().frustumCulling = false;
        const auto unculled = halves(drawFrame());
        libkub::RenderSettings::instance().frustumCulling = true;
        const auto culled = halves(drawFrame());
        libkub::RenderSettings::instance().frustumCulling = false;

        EXPECT_EQ(hidden.draws, 1);     // only in the unculled frame
        EXPECT_EQ(misboxed.draws, 2);   // in both
        EXPECT_EQ(straddling.draws, 2); // in both
        EXPECT_EQ(unculled, culled);    // the same pixels
        EXPECT_GT(culled.first, 0u);
        EXPECT_EQ(culled.second, 0u);
    });
}
