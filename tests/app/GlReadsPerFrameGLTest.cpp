// What the game's frame asks GL for does not grow with what it draws: a read of GL's state waits for
// the commands before it on a threaded driver, so the frame reads only what its rules read once each
// (the lights' matrices, the pick ray's matrices and viewport), not anything per object. Counted at the
// start and with dice piled up on every tile.
//
// The count: this test program's own definitions of GL's state queries stand in front of the driver's
// (the game's code is linked into it statically and calls them), and GLEW's entry points for the
// program queries are swapped for counting ones while a frame is drawn.
#include <GL/glew.h> // before any other GL header
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstddef>

#include "app/Application.h"
#include "app/FrameCallbacks.h"
#include "engine/scene/Camera.h"
#include "engine/render/SceneRenderer.h"
#include "tests/support/AssembledApplication.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/QuarterBoard.h"

namespace {

std::size_t reads = 0;

// The driver's definition of a GL function this program stands in front of.
template <typename Function> Function driverFunction(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

void GLAPIENTRY glGetFloatv(GLenum name, GLfloat* values)
{
    static const auto driver = driverFunction<void(GLAPIENTRY*)(GLenum, GLfloat*)>("glGetFloatv");
    ++reads;
    driver(name, values);
}

void GLAPIENTRY glGetIntegerv(GLenum name, GLint* values)
{
    static const auto driver = driverFunction<void(GLAPIENTRY*)(GLenum, GLint*)>("glGetIntegerv");
    ++reads;
    driver(name, values);
}

void GLAPIENTRY glGetBooleanv(GLenum name, GLboolean* values)
{
    static const auto driver = driverFunction<void(GLAPIENTRY*)(GLenum, GLboolean*)>("glGetBooleanv");
    ++reads;
    driver(name, values);
}

void GLAPIENTRY glGetDoublev(GLenum name, GLdouble* values)
{
    static const auto driver = driverFunction<void(GLAPIENTRY*)(GLenum, GLdouble*)>("glGetDoublev");
    ++reads;
    driver(name, values);
}

void GLAPIENTRY glGetTexParameteriv(GLenum target, GLenum name, GLint* values)
{
    static const auto driver =
        driverFunction<void(GLAPIENTRY*)(GLenum, GLenum, GLint*)>("glGetTexParameteriv");
    ++reads;
    driver(target, name, values);
}

void GLAPIENTRY glGetTexParameterfv(GLenum target, GLenum name, GLfloat* values)
{
    static const auto driver =
        driverFunction<void(GLAPIENTRY*)(GLenum, GLenum, GLfloat*)>("glGetTexParameterfv");
    ++reads;
    driver(target, name, values);
}

} // extern "C"

namespace {

PFNGLGETUNIFORMLOCATIONPROC driverUniformLocation = nullptr;
PFNGLGETPROGRAMIVPROC driverProgramiv = nullptr;

GLint GLAPIENTRY countedUniformLocation(GLuint program, const GLchar* name)
{
    ++reads;
    return driverUniformLocation(program, name);
}

void GLAPIENTRY countedProgramiv(GLuint program, GLenum name, GLint* values)
{
    ++reads;
    driverProgramiv(program, name, values);
}

// The reads of one whole frame of the game.
std::size_t readsOfAFrame(libkub::SceneRenderer& renderer)
{
    driverUniformLocation = __glewGetUniformLocation;
    driverProgramiv = __glewGetProgramiv;
    __glewGetUniformLocation = countedUniformLocation;
    __glewGetProgramiv = countedProgramiv;
    reads = 0;
    renderer.render();
    const std::size_t frameReads = reads;
    __glewGetUniformLocation = driverUniformLocation;
    __glewGetProgramiv = driverProgramiv;
    return frameReads;
}

TEST(GlReadsPerFrame, StayFewAndTheSameWhenDicePileUp)
{
    constexpr std::size_t most = 50;
    kubora::test::AssembledApplication application;
    Kubora::onReshape(kubora::test::glTestWindowWidth, kubora::test::glTestWindowHeight);
    libkub::SceneRenderer& renderer = *application->renderer;
    // The frame after the first reads what its rules read every frame; the first also sets things up.
    renderer.render();
    renderer.render();
    const std::size_t atStart = readsOfAFrame(renderer);
    const std::size_t objectsAtStart = renderer.objects.size();

    kubora::test::giveEachPlayerAQuarter(*application, 30);
    ASSERT_GT(renderer.objects.size(), objectsAtStart + 1000);
    renderer.render();
    renderer.render();
    const std::size_t piledUp = readsOfAFrame(renderer);
    // The camera moved: the depth passes are reused, but the camera pass draws every pile.
    application->camera->orbit(0.2f, 0.05f);
    renderer.render();
    const std::size_t orbited = readsOfAFrame(renderer);

    EXPECT_LE(atStart, most);
    EXPECT_EQ(piledUp, atStart);
    EXPECT_EQ(orbited, atStart);
    EXPECT_GT(atStart, 0u) << "the count sees the frame's reads";
    RecordProperty("readsPerFrame", static_cast<int>(atStart));
}

} // namespace
