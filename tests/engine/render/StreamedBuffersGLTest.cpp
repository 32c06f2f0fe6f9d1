// The buffers written anew for every pass (the instances of the copies drawn together, the columns'
// boxes) never wait for a draw still reading them: every write gives the buffer fresh storage first. And
// a depth pass sends only what the depth program reads of an instance: its place and size.
#include <GL/glew.h> // before any other GL header
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "engine/render/BoxColumns.h"
#include "engine/render/InstancedBatches.h"
#include "engine/math/Matrix4f.h"
#include "engine/resources/Model.h"
#include "engine/resources/RenderSettings.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/TestScene.h"

namespace libkub {
namespace {

using kubora::test::ModelObject;

// What was written into array buffers while the spy was in place, through GLEW's entry points.
struct BufferWrite {
    GLuint buffer = 0;
    bool newStorage = false; // glBufferData (fresh storage); else glBufferSubData into the storage there
    bool withData = false;
    GLsizeiptr bytes = 0;
    GLintptr offset = 0;
};

std::vector<BufferWrite> writes;
std::map<GLenum, GLuint> bound;
PFNGLBINDBUFFERARBPROC realBind = nullptr;
PFNGLBUFFERDATAARBPROC realData = nullptr;
PFNGLBUFFERSUBDATAARBPROC realSubData = nullptr;

void GLAPIENTRY spyBind(GLenum target, GLuint buffer)
{
    bound[target] = buffer;
    realBind(target, buffer);
}

void GLAPIENTRY spyData(GLenum target, GLsizeiptrARB bytes, const void* data, GLenum usage)
{
    writes.push_back({bound[target], true, data != nullptr, bytes, 0});
    realData(target, bytes, data, usage);
}

void GLAPIENTRY spySubData(GLenum target, GLintptrARB offset, GLsizeiptrARB bytes, const void* data)
{
    writes.push_back({bound[target], false, true, bytes, offset});
    realSubData(target, offset, bytes, data);
}

// Puts the spy in front of GLEW's buffer entry points for its lifetime.
class BufferSpy {
  public:
    BufferSpy()
    {
        writes.clear();
        bound.clear();
        realBind = __glewBindBufferARB;
        realData = __glewBufferDataARB;
        realSubData = __glewBufferSubDataARB;
        __glewBindBufferARB = spyBind;
        __glewBufferDataARB = spyData;
        __glewBufferSubDataARB = spySubData;
    }
    ~BufferSpy()
    {
        __glewBindBufferARB = realBind;
        __glewBufferDataARB = realData;
        __glewBufferSubDataARB = realSubData;
    }
    BufferSpy(const BufferSpy&) = delete;
    BufferSpy& operator=(const BufferSpy&) = delete;
};

// Every write into storage a draw may have read came right after fresh storage was given to that
// buffer, of at least the size written, with no other write between.
void expectEveryWriteIntoFreshStorage(const std::vector<BufferWrite>& seen)
{
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const BufferWrite& write = seen[i];
        if (write.newStorage) {
            continue;
        }
        const bool fresh = i > 0 && seen[i - 1].newStorage && !seen[i - 1].withData &&
                           seen[i - 1].buffer == write.buffer &&
                           seen[i - 1].bytes >= write.offset + write.bytes;
        EXPECT_TRUE(fresh) << "write " << i << " into buffer " << write.buffer
                           << " overwrites storage in use";
    }
}

// The bytes given to the buffers by all writes that carried data.
GLsizeiptr bytesWritten(const std::vector<BufferWrite>& seen)
{
    GLsizeiptr total = 0;
    for (const BufferWrite& write : seen) {
        total += write.withData ? write.bytes : 0;
    }
    return total;
}

// Copies of the game's die, in towers of `high`, one tower per x.
std::vector<std::unique_ptr<ModelObject>> diceTowers(int towers, int high)
{
    const std::unique_ptr<Model> die = loadModel("data/die.dae");
    std::vector<std::unique_ptr<ModelObject>> dice;
    for (int tower = 0; tower < towers; ++tower) {
        for (int level = 0; level < high; ++level) {
            auto copy = std::make_unique<Model>(*die);
            copy->setSize(0.25f, 0.25f, 0.25f);
            copy->setPosition(static_cast<float>(tower), 0.5f * static_cast<float>(level), 0.0f);
            dice.push_back(std::make_unique<ModelObject>(std::move(copy)));
        }
    }
    return dice;
}

TEST(StreamedBuffers, InstancesGoIntoFreshStorageAndADepthPassSendsOnlyPlaceAndSize)
{
    InstancedBatches batches;
    if (!batches.available()) {
        GTEST_SKIP() << "no instanced drawing here";
    }
    const auto dice = diceTowers(4, 3);
    const Matrix4f view = Matrix4f::identity();
    for (int pass = 0; pass < 3; ++pass) {
        BufferSpy spy;
        for (const auto& die : dice) {
            batches.add(*die->model());
        }
        batches.drawDepth();
        const std::vector<BufferWrite> depth = writes;
        writes.clear();
        for (const auto& die : dice) {
            batches.add(*die->model(), &view);
        }
        batches.drawShaded({0.0f, 0.0f, 0.0f}, false, true);
        const std::vector<BufferWrite> shaded = writes;

        expectEveryWriteIntoFreshStorage(depth);
        expectEveryWriteIntoFreshStorage(shaded);
        const auto copies = static_cast<GLsizeiptr>(dice.size());
        EXPECT_EQ(bytesWritten(depth), copies * 7 * static_cast<GLsizeiptr>(sizeof(float)))
            << "pass " << pass << ": place (4) and size (3) of each copy";
        EXPECT_EQ(bytesWritten(shaded), copies * 23 * static_cast<GLsizeiptr>(sizeof(float)))
            << "pass " << pass << ": place, size and modelview matrix of each copy";
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(StreamedBuffers, ColumnsGoIntoFreshStorage)
{
    const auto dice = diceTowers(5, 4);
    std::vector<DrawableObject*> list;
    for (const auto& die : dice) {
        list.push_back(die.get());
    }
    BoxColumns columns;
    std::vector<std::uint32_t> rest;
    BufferSpy spy;
    for (int pass = 0; pass < 3; ++pass) {
        columns.gather(list, rest);
        ASSERT_EQ(columns.columns(), 5u);
        columns.drawDepth();
        columns.gather(list, rest);
        GLint program = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        columns.draw(static_cast<unsigned>(program), {0.0f, 0.0f, -5.0f}, false, true);
    }
    glUseProgram(0);
    EXPECT_GE(writes.size(), 6u);
    expectEveryWriteIntoFreshStorage(writes);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
} // namespace libkub
