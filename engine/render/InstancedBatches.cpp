#include "engine/render/InstancedBatches.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/resources/Diagnostics.h"
#include "engine/resources/Mesh.h"
#include "engine/resources/Model.h"
#include "engine/resources/ShaderVariant.h" // compiling its depth program
#include "engine/resources/StreamBuffer.h"

namespace libkub {

namespace {

// Floats per instance: place (x, y, z, 0) and size (x, y, z), all the depth program reads; then, in
// the camera pass, the modelview matrix by columns.
constexpr std::size_t placeFloats = 7;
constexpr std::size_t placedFloats = 7 + 16;

// Places the vertices of an instance as glTranslatef and glScalef would; a plain draw (the attribute's
// default w of 1) keeps the vertex as it is.
const char* const depthVertexSource = R"(#version 120
attribute vec4 instancePlace;
attribute vec3 instanceSize;
void main()
{
    vec3 size = instancePlace.w == 0.0 ? instanceSize : vec3(1.0);
    gl_Position = gl_ModelViewProjectionMatrix * vec4(gl_Vertex.xyz * size + instancePlace.xyz, gl_Vertex.w);
}
)";

// Colour writes are off in the depth passes; the colour is never seen.
const char* const depthFragmentSource = R"(#version 120
void main()
{
    gl_FragColor = vec4(1.0);
}
)";

bool instancingOffered()
{
    return GLEW_ARB_instanced_arrays && GLEW_ARB_draw_instanced && GLEW_VERSION_2_0 &&
           glVertexAttribDivisorARB != nullptr && glDrawArraysInstancedARB != nullptr;
}

} // namespace

InstancedBatches::InstancedBatches()
{
    if (!instancingOffered()) {
        return;
    }
    const GLuint vertex = compileStageQuietly(GL_VERTEX_SHADER, depthVertexSource);
    const GLuint fragment = compileStageQuietly(GL_FRAGMENT_SHADER, depthFragmentSource);
    if (vertex == 0 || fragment == 0) {
        reportProblem("instanced drawing", "the depth program does not compile; each die is drawn alone");
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, instancePlaceLocation, "instancePlace");
    glBindAttribLocation(program, instanceSizeLocation, "instanceSize");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        reportProblem("instanced drawing", "the depth program does not link; each die is drawn alone");
        glDeleteProgram(program);
        return;
    }
    depthProgram = program;
}

InstancedBatches::~InstancedBatches() = default; // GL objects live as long as the context

bool InstancedBatches::batchable(const Model& model)
{
    return model.mesh.vertexBuffer != 0 && model.mesh.vertexCount > 0 && model.mesh.rotation.angle == 0.0f &&
           model.mesh.flatNormals;
}

void InstancedBatches::add(const Model& model, const Matrix4f* modelview)
{
    // One pass adds its copies one way: with their modelview matrices (the camera pass) or without.
    const std::size_t floats = modelview != nullptr ? placedFloats : placeFloats;
    if (inUse.empty()) {
        instanceFloats = floats;
    }
    const unsigned texture = model.textures.empty() ? 0 : model.textures.front();
    std::size_t index = 0;
    while (index < batches.size()) {
        const Batch& candidate = batches[index];
        if (candidate.vertexBuffer == model.mesh.vertexBuffer &&
            candidate.vertexCount == model.mesh.vertexCount && candidate.texture == texture &&
            std::memcmp(&candidate.material, &model.material, sizeof(Material)) == 0) {
            break;
        }
        ++index;
    }
    if (index == batches.size()) {
        Batch& batch = batches.emplace_back();
        batch.vertexBuffer = model.mesh.vertexBuffer;
        batch.vertexCount = model.mesh.vertexCount;
        batch.texture = texture;
        batch.material = model.material;
        batch.closed = model.mesh.closed;
        batch.meshMin = model.meshMin;
        batch.meshMax = model.meshMax;
    }
    Batch& batch = batches[index];
    if (batch.instances.empty()) {
        inUse.push_back(index);
    }
    batch.idleFrames = 0;
    const Vector3f& place = model.mesh.translation;
    const Vector3f& size = model.mesh.scale;
    batch.mirrored = batch.mirrored || size.x * size.y * size.z <= 0.0f;
    batch.instances.insert(batch.instances.end(), {place.x, place.y, place.z, 0.0f, size.x, size.y, size.z});
    if (modelview != nullptr) {
        batch.instances.insert(batch.instances.end(), modelview->m.begin(), modelview->m.end());
    }
}

void InstancedBatches::appendCopyBoxes(const Batch& batch)
{
    const std::size_t stride = instanceFloats;
    for (std::size_t i = 0; i < batch.instances.size() / stride; ++i) {
        // Unturned copies (batchable): the mesh's corners scaled and moved.
        const float* place = &batch.instances[i * stride];
        const Vector3f a{place[0] + place[4] * batch.meshMin.x, place[1] + place[5] * batch.meshMin.y,
                         place[2] + place[6] * batch.meshMin.z};
        const Vector3f b{place[0] + place[4] * batch.meshMax.x, place[1] + place[5] * batch.meshMax.y,
                         place[2] + place[6] * batch.meshMax.z};
        copyBoxes.push_back(boxBetween({std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)},
                                       {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)}));
    }
}

float InstancedBatches::sortCopies(Batch& batch, Vector3f eye)
{
    std::vector<float>& instances = batch.instances;
    const std::size_t stride = instanceFloats;
    const std::size_t count = instances.size() / stride;
    order.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const float* place = &instances[i * stride];
        const Vector3f offset{place[0] - eye.x, place[1] - eye.y, place[2] - eye.z};
        order.push_back({dot(offset, offset), static_cast<std::uint32_t>(i)});
    }
    libkub::sortNearestFirst(order.begin(), order.end());
    sorted.resize(instances.size());
    for (std::size_t i = 0; i < count; ++i) {
        std::copy_n(&instances[order[i].index * stride], stride, &sorted[i * stride]);
    }
    instances.swap(sorted);
    return order.front().distance; // a batch in use holds at least one copy
}

void InstancedBatches::sortNearestFirst(Vector3f eye)
{
    // Runs of batches of one closed mesh, added one after the other, whose copies all stand apart: the
    // copies of each batch nearest first, then the batches by their nearest copies. Anything else keeps
    // the order added (NearBeforeFar.h).
    batchOrder.clear();
    for (std::size_t i = 0; i < inUse.size(); ++i) {
        batchOrder.push_back({0.0f, static_cast<std::uint32_t>(i)});
    }
    std::size_t first = 0;
    while (first < inUse.size()) {
        const Batch& leading = batches[inUse[first]];
        std::size_t last = first + 1;
        while (last < inUse.size() && batches[inUse[last]].vertexBuffer == leading.vertexBuffer) {
            ++last;
        }
        copyBoxes.clear();
        for (std::size_t i = first; leading.closed && i < last; ++i) {
            appendCopyBoxes(batches[inUse[i]]);
        }
        if (leading.closed && apart.standApart(copyBoxes)) {
            for (std::size_t i = first; i < last; ++i) {
                batchOrder[i].distance = sortCopies(batches[inUse[i]], eye);
            }
            libkub::sortNearestFirst(batchOrder.begin() + static_cast<std::ptrdiff_t>(first),
                                     batchOrder.begin() + static_cast<std::ptrdiff_t>(last));
        }
        first = last;
    }
    added.assign(inUse.begin(), inUse.end());
    for (std::size_t i = 0; i < batchOrder.size(); ++i) {
        inUse[i] = added[batchOrder[i].index];
    }
}

void InstancedBatches::drawShaded(Vector3f eye, bool cullBackFaces, bool nearFirst)
{
    if (nearFirst) {
        sortNearestFirst(eye);
    }
    upload();
    for (const std::size_t index : inUse) {
        const Batch& batch = batches[index];
        applyMaterial(batch.material);
        glActiveTexture(GL_TEXTURE0);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, batch.texture);
        if (cullBackFaces && batch.closed && !batch.mirrored) {
            glCullFace(GL_BACK);
            glEnable(GL_CULL_FACE);
        } else {
            glDisable(GL_CULL_FACE);
        }
        drawBatch(batch, instancePlaceLocation, instanceSizeLocation);
        glDisable(GL_TEXTURE_2D);
    }
    glDisable(GL_CULL_FACE);
    empty();
}

void InstancedBatches::drawDepth()
{
    if (!inUse.empty()) {
        upload();
        glUseProgram(depthProgram);
        for (const std::size_t index : inUse) {
            drawBatch(batches[index], instancePlaceLocation, instanceSizeLocation);
        }
        glUseProgram(0);
    }
    empty();
}

void InstancedBatches::upload()
{
    staging.clear();
    for (const std::size_t index : inUse) {
        Batch& batch = batches[index];
        batch.firstInstance = staging.size() / instanceFloats;
        staging.insert(staging.end(), batch.instances.begin(), batch.instances.end());
    }
    streamIntoBuffer(instanceBuffer, staging.data(), staging.size() * sizeof(float));
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

void InstancedBatches::empty()
{
    for (const std::size_t index : inUse) {
        batches[index].instances.clear();
        batches[index].mirrored = false;
    }
    inUse.clear();
}

void InstancedBatches::endFrame()
{
    if (!inUse.empty()) {
        return; // a pass still holds instances (never at the end of a frame): keep the indices valid
    }
    std::erase_if(batches, [](Batch& batch) { return ++batch.idleFrames > framesKept; });
}

void InstancedBatches::drawBatch(const Batch& batch, int placeLocation, int sizeLocation)
{
    const auto count = static_cast<GLsizei>(batch.instances.size() / instanceFloats);
    const auto instanceStride = static_cast<GLsizei>(instanceFloats * sizeof(float));
    const bool placed = instanceFloats == placedFloats;
    const auto place = static_cast<GLuint>(placeLocation);
    const auto size = static_cast<GLuint>(sizeLocation);
    const std::size_t start = batch.firstInstance * instanceFloats * sizeof(float);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, instanceBuffer);
    glVertexAttribPointer(place, 4, GL_FLOAT, GL_FALSE, instanceStride, reinterpret_cast<const void*>(start));
    glVertexAttribPointer(size, 3, GL_FLOAT, GL_FALSE, instanceStride,
                          reinterpret_cast<const void*>(start + 4 * sizeof(float)));
    glVertexAttribDivisorARB(place, 1);
    glVertexAttribDivisorARB(size, 1);
    glEnableVertexAttribArray(place);
    glEnableVertexAttribArray(size);
    for (GLuint column = 0; placed && column < 4; ++column) {
        const GLuint location = instanceModelviewLocation + column;
        glVertexAttribPointer(location, 4, GL_FLOAT, GL_FALSE, instanceStride,
                              reinterpret_cast<const void*>(start + (7 + 4 * column) * sizeof(float)));
        glVertexAttribDivisorARB(location, 1);
        glEnableVertexAttribArray(location);
    }

    bindVertexBuffer(batch.vertexBuffer);
    glDrawArraysInstancedARB(GL_TRIANGLES, 0, static_cast<GLsizei>(batch.vertexCount), count);
    unbindVertexBuffer();

    glDisableVertexAttribArray(place);
    glDisableVertexAttribArray(size);
    glVertexAttribDivisorARB(place, 0);
    glVertexAttribDivisorARB(size, 0);
    for (GLuint column = 0; placed && column < 4; ++column) {
        glDisableVertexAttribArray(instanceModelviewLocation + column);
        glVertexAttribDivisorARB(instanceModelviewLocation + column, 0);
    }
    // The values after an array was used are undefined: plain draws must find "not an instance".
    glVertexAttrib4f(place, 0.0f, 0.0f, 0.0f, 1.0f);
    glVertexAttrib3f(size, 1.0f, 1.0f, 1.0f);
}

} // namespace libkub
