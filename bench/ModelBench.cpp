// Model costs on the display's renderer: decoding the game's images, loading its die model, and
// drawing 64 dice in each render mode into an off-screen frame (glFinish per frame, so the time
// includes the renderer's work).
#include <GL/glew.h> // before any other GL header
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/resources/RenderSettings.h"
#include "engine/resources/Model.h"
#include "engine/image/PngLoader.h"

namespace {

void decodePng(benchmark::State& state, const char* path)
{
    for (auto _ : state) {
        libkub::PngImage image;
        benchmark::DoNotOptimize(libkub::loadPng(path, image));
        benchmark::DoNotOptimize(image.pixels.get());
    }
}
BENCHMARK_CAPTURE(decodePng, board, "data/board.png")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decodePng, sky_face, "data/SkyBox0.png")->Unit(benchmark::kMicrosecond);

void loadDie(benchmark::State& state)
{
    libkub::RenderSettings::instance().renderMode = static_cast<libkub::RenderMode>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(libkub::loadModel("data/die.dae"));
    }
    state.SetLabel(state.range(0) == 0 ? "VBO (shared buffer after the first)" : "triangles + display list");
}
BENCHMARK(loadDie)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void drawDice(benchmark::State& state)
{
    const auto mode = static_cast<libkub::RenderMode>(state.range(0));
    libkub::RenderSettings::instance().renderMode = mode;
    std::vector<std::unique_ptr<libkub::Model>> dice;
    for (int i = 0; i < 64; ++i) {
        dice.push_back(libkub::loadModel("data/die.dae"));
        dice.back()->setPosition(static_cast<float>(i % 8) - 3.5f, 0.0f, static_cast<float>(i / 8) - 3.5f);
        dice.back()->setSize(0.4f, 0.4f, 0.4f);
    }
    GLuint framebuffer = 0;
    GLuint buffers[2] = {};
    glGenFramebuffersEXT(1, &framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    glGenRenderbuffersEXT(2, buffers);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, buffers[0]);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_RGBA8, 640, 480);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                                 buffers[0]);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, buffers[1]);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, 640, 480);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                 buffers[1]);
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 640.0 / 480.0, 1.0, 50.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 8.0, 9.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (auto& die : dice) {
            die->draw();
        }
        glFinish();
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glDeleteRenderbuffersEXT(2, buffers);
    glDeleteFramebuffersEXT(1, &framebuffer);
    const char* names[] = {"VBO", "Immediate", "DisplayList"};
    state.SetLabel(std::string(names[state.range(0)]) + ", " +
                   std::to_string(dice.front()->mesh.triangleCount) + " triangles a die");
}
BENCHMARK(drawDice)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "ModelBench: no DISPLAY; run it through scripts/with-display.sh\n");
        return 1;
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(64, 64);
    glutCreateWindow("ModelBench");
    glutHideWindow();
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::fprintf(stderr, "ModelBench: GLEW cannot load the OpenGL entry points\n");
        return 1;
    }
    std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
