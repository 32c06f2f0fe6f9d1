#include <GL/glew.h> // before any other GL header

#include "engine/resources/Mesh.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/resources/RenderSettings.h"
#include "collada/ColladaDocument.h"
#include "collada/ColladaQueries.h"
#include "engine/resources/MeshCache.h"

namespace libkub {

namespace {

std::uint64_t& recordingCount()
{
    static std::uint64_t count = 0;
    return count;
}

} // namespace

std::uint64_t geometryRecordings()
{
    return recordingCount();
}

std::string meshCacheKey(const ColladaDocument& document)
{
    const std::string& path = document.filePath();
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    const std::uintmax_t knownSize = error ? 0 : size;
    const auto time = std::filesystem::last_write_time(path, error);
    const long long knownTime = error ? 0 : static_cast<long long>(time.time_since_epoch().count());
    const std::string geometry =
        document.geometries().empty() ? std::string() : document.geometries().front()->id;
    return path + "|" + std::to_string(knownSize) + "|" + std::to_string(knownTime) + "#" + geometry;
}

Mesh buildMesh(const ColladaDocument& document)
{
    Mesh mesh;
    switch (RenderSettings::instance().renderMode) {
    case VBO: {
        // A document without geometry has nothing to share or draw: the mesh stays empty.
        if (document.geometries().empty()) {
            break;
        }
        const std::string key = meshCacheKey(document);
        const MeshCacheRecord* record = MeshCache::instance().find(key);
        if (record == nullptr) {
            Mesh built;
            built.triangles = extractTriangles(document);
            built.triangleCount = static_cast<std::uint32_t>(built.triangles.size());
            fillVertexBuffer(built);
            record = &MeshCache::instance().store(key, built.vertexBuffer, built.vertexCount);
            mesh.triangleCount = built.triangleCount;
        } else {
            mesh.triangleCount = record->vertexCount / 3;
        }
        mesh.vertexBuffer = record->vertexBuffer;
        mesh.vertexCount = record->vertexCount;
        break;
    }
    case Immediate:
    case DisplayList:
        // Both modes get both recordings, so switching between them needs no rebuild.
        mesh.triangles = extractTriangles(document);
        mesh.triangleCount = static_cast<std::uint32_t>(mesh.triangles.size());
        compileDisplayList(mesh);
        break;
    default:
        break;
    }
    return mesh;
}

void compileDisplayList(Mesh& mesh)
{
    if (mesh.displayList == 0) {
        mesh.displayList = glGenLists(1);
    }
    ++recordingCount();
    glNewList(mesh.displayList, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (const Triangle& triangle : mesh.triangles) {
        for (const Corner& corner : triangle.corners) {
            glTexCoord2f(corner.s, corner.t);
            glNormal3f(corner.normal.x, corner.normal.y, corner.normal.z);
            glVertex3f(corner.position.x, corner.position.y, corner.position.z);
        }
    }
    glEnd();
    glEndList();
}

void fillVertexBuffer(Mesh& mesh)
{
    mesh.triangleCount = static_cast<std::uint32_t>(mesh.triangles.size());
    mesh.vertexCount = mesh.triangleCount * 3;
    static_assert(sizeof(float) * 8 == vertexStride);

    // Interleaved s, t, normal, position per vertex.
    std::vector<float> interleaved;
    interleaved.reserve(std::size_t{mesh.vertexCount} * 8);
    for (const Triangle& triangle : mesh.triangles) {
        for (const Corner& corner : triangle.corners) {
            interleaved.insert(interleaved.end(),
                               {corner.s, corner.t, corner.normal.x, corner.normal.y, corner.normal.z,
                                corner.position.x, corner.position.y, corner.position.z});
        }
    }
    const auto bytes = static_cast<GLsizeiptrARB>(interleaved.size() * sizeof(float));

    glGenBuffersARB(1, &mesh.vertexBuffer);
    ++recordingCount();
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, mesh.vertexBuffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, bytes, nullptr, GL_STATIC_DRAW_ARB);
    if (bytes > 0) {
        void* mapped = glMapBufferARB(GL_ARRAY_BUFFER_ARB, GL_WRITE_ONLY_ARB);
        if (mapped != nullptr) {
            std::memcpy(mapped, interleaved.data(), static_cast<std::size_t>(bytes));
            glUnmapBufferARB(GL_ARRAY_BUFFER_ARB);
        } else {
            // A driver that cannot map the buffer still takes the data by copy.
            glBufferSubDataARB(GL_ARRAY_BUFFER_ARB, 0, bytes, interleaved.data());
        }
    }
    // The buffer stays bound; the triangles live on only in the buffer.
    mesh.triangles.clear();
    mesh.triangles.shrink_to_fit();
}

void bindVertexBuffer(unsigned vertexBuffer)
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, vertexBuffer);
    glTexCoordPointer(2, GL_FLOAT, vertexStride, reinterpret_cast<const void*>(0));
    glNormalPointer(GL_FLOAT, vertexStride, reinterpret_cast<const void*>(vertexNormalOffset));
    glVertexPointer(3, GL_FLOAT, vertexStride, reinterpret_cast<const void*>(vertexPositionOffset));
}

void unbindVertexBuffer()
{
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

} // namespace libkub
