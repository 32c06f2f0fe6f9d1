// Frame cost of the shadowed scene: a plane and N boxes (N = 100, 400, 1600, 6400) at 1024 x 768 in a hidden
// window, in each render mode; the whole frame and its passes (point light's 1024 shadow pass, spot
// light's 512 shadow pass, camera pass, and the sky drawn behind the scene). Each figure is the median (and
// the minimum) over 7 repetitions of 5 frames, each frame finished with glFinish. `--screenshot=<file.ppm>`
// also writes one frame of the N = 400 scene.
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/resources/RenderSettings.h"
#include "bench/BenchTiming.h"
#include "engine/scene/Camera.h"
#include "engine/scene/PointLightSource.h"
#include "engine/render/DepthPass.h"
#include "engine/render/SceneRenderer.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/scene/SkyBox.h"
#include "engine/scene/SpotLightSource.h"
#include "tests/support/TestScene.h"

namespace {

using namespace libkub;
using kubora::bench::measure;

constexpr int windowWidth = 1024;
constexpr int windowHeight = 768;

// One benchmark scene: boxes, camera as the game places it, renderer and the game's two lights.
struct BenchScene {
    BenchScene(RenderMode mode, int boxes)
    {
        RenderSettings::instance().renderMode = mode;
        scene = std::make_unique<kubora::test::TestScene>();
        scene->addBoxField(boxes);
        camera = std::make_unique<Camera>(Vector3f{-10.0f, 8.0f, -10.0f}, Vector3f{-2.0f, 5.0f, -2.0f},
                                          Vector3f{0.0f, 1.0f, 0.0f}, 1.0f, 90.0f,
                                          static_cast<float>(windowWidth) / windowHeight, 45.0f);
        renderer = std::make_unique<SceneRenderer>(camera.get());
        for (auto& object : scene->objects) {
            renderer->addObject(object.get());
        }
        kubora::test::configureGameLights(point, spot, 9.0f, 9.0f);
        renderer->addLight(&point);
        renderer->addLight(&spot);
        renderer->render(); // warm up: compiles the shader variants llvmpipe builds lazily
        glFinish();
    }

    std::unique_ptr<kubora::test::TestScene> scene;
    std::unique_ptr<Camera> camera;
    std::unique_ptr<SceneRenderer> renderer;
    PointLightSource point;
    SpotLightSource spot;
};

BenchScene& sceneFor(RenderMode mode, int boxes)
{
    static std::map<std::pair<int, int>, std::unique_ptr<BenchScene>> scenes;
    auto& slot = scenes[{mode, boxes}];
    if (!slot) {
        scenes.clear(); // one scene at a time keeps memory flat; benchmarks run grouped by scene
        auto& fresh = scenes[{mode, boxes}];
        fresh = std::make_unique<BenchScene>(mode, boxes);
        return *fresh;
    }
    RenderSettings::instance().renderMode = mode;
    return *slot;
}

void shadowPass(SceneRenderer& renderer, LightSource& light)
{
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    // Timed as drawn: the frame itself redraws a depth texture only when what the light sees changed.
    renderer.plan.reuseDepthTextures = false;
    libkub::drawDepthPass(renderer, light);
    renderer.plan.reuseDepthTextures = true;
    glDisable(GL_CULL_FACE);
}

void BM_Frame(benchmark::State& state, RenderMode mode)
{
    BenchScene& bench = sceneFor(mode, static_cast<int>(state.range(0)));
    measure(state, [&] { bench.renderer->render(); });
}

void BM_ShadowPass1024(benchmark::State& state, RenderMode mode)
{
    BenchScene& bench = sceneFor(mode, static_cast<int>(state.range(0)));
    measure(state, [&] { shadowPass(*bench.renderer, bench.point); });
}

void BM_ShadowPass512(benchmark::State& state, RenderMode mode)
{
    BenchScene& bench = sceneFor(mode, static_cast<int>(state.range(0)));
    measure(state, [&] { shadowPass(*bench.renderer, bench.spot); });
}

// The sky box around the eye, as the frame draws it: after the scene, only where the scene left the
// cleared depth (the depth buffer of a whole frame is in place).
void BM_SkyPass(benchmark::State& state, RenderMode mode)
{
    BenchScene& bench = sceneFor(mode, static_cast<int>(state.range(0)));
    bench.renderer->render();
    measure(state, [&] { bench.renderer->skyBox->drawBehindScene(); });
}

// The objects drawn once under the shadow program as the frame draws them (copies of one mesh
// together in VBO mode), after a frame has prepared lights and matrices.
// The depth buffer is cleared first, as the frame's own clear would, so every visible fragment is shaded.
void BM_CameraPass(benchmark::State& state, RenderMode mode)
{
    BenchScene& bench = sceneFor(mode, static_cast<int>(state.range(0)));
    bench.renderer->render();
    measure(state, [&] {
        glClear(GL_DEPTH_BUFFER_BIT);
        glUseProgram(bench.renderer->shadowProgram->programId);
        bench.renderer->drawCameraPass();
        glUseProgram(0);
    });
}

void registerAll()
{
    const std::pair<RenderMode, const char*> modes[] = {
        {VBO, "VBO"}, {Immediate, "Immediate"}, {DisplayList, "DisplayList"}};
    for (const auto& [mode, name] : modes) {
        for (const int boxes : {100, 400, 1600, 6400}) {
            const std::string suffix = std::string("/") + name;
            for (const auto& [pass, function] :
                 std::initializer_list<std::pair<const char*, void (*)(benchmark::State&, RenderMode)>>{
                     {"Frame", BM_Frame},
                     {"ShadowPass1024", BM_ShadowPass1024},
                     {"ShadowPass512", BM_ShadowPass512},
                     {"CameraPass", BM_CameraPass},
                     {"SkyPass", BM_SkyPass}}) {
                benchmark::RegisterBenchmark((std::string(pass) + suffix).c_str(), function, mode)
                    ->Arg(boxes)
                    ->Iterations(5)
                    ->Repetitions(7)
                    ->ReportAggregatesOnly(true)
                    ->ComputeStatistics(
                        "min",
                        [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
                    ->UseRealTime()
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
}

void writeScreenshot(const std::string& path)
{
    BenchScene bench(VBO, 400);
    bench.renderer->render();
    glFinish();
    std::vector<unsigned char> pixels(static_cast<std::size_t>(windowWidth) * windowHeight * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "FrameBench: %s: cannot write the screenshot\n", path.c_str());
        return;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", windowWidth, windowHeight);
    for (int row = windowHeight - 1; row >= 0; --row) { // PPM rows run top to bottom
        std::fwrite(&pixels[static_cast<std::size_t>(row) * windowWidth * 3], 1, windowWidth * 3, file);
    }
    std::fclose(file);
}

} // namespace

int main(int argc, char** argv)
{
    std::string screenshot;
    std::vector<char*> arguments;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--screenshot=", 13) == 0) {
            screenshot = argv[i] + 13;
        } else {
            arguments.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(arguments.size());
    glutInit(&count, arguments.data());
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Kubora frame benchmark");
    glutHideWindow();
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::fprintf(stderr, "FrameBench: GLEW cannot load the OpenGL entry points\n");
        return 1;
    }
    glEnable(GL_DEPTH_TEST);
    if (!screenshot.empty()) {
        writeScreenshot(screenshot);
    }
    benchmark::AddCustomContext("GL_RENDERER", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    benchmark::AddCustomContext("window", std::to_string(windowWidth) + "x" + std::to_string(windowHeight));
    registerAll();
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
