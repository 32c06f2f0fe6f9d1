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
#include "collada/HugePages.h"
#include "engine/resources/MeshCache.h"
#include "engine/geometry/MeshNormals.h"

namespace libkub {

namespace {

// Fills one attribute of every corner of the group's triangles from the source the group's input
// of that semantic reads: `width` values from each index times the stride. A corner whose index
// is missing or points past the data keeps zeros.
template <typename Store>
void fillAttribute(const PrimitiveGroup& group, InputSemantic semantic, std::uint32_t width,
                   Triangle* triangles, std::uint32_t triangleCount, Store store)
{
    const GroupInput* input = findInput(group, semantic);
    if (input == nullptr || input->source->stride < width) {
        return;
    }
    const std::vector<std::uint32_t>& indices = indicesOf(group, *input);
    const std::vector<float>& data = input->source->data;
    const std::uint64_t stride = input->source->stride;
    const std::uint64_t corners = std::min<std::uint64_t>(std::uint64_t{triangleCount} * 3, indices.size());
    for (std::uint64_t i = 0; i < corners; ++i) {
        const std::uint64_t k = indices[i] * stride;
        if (k + width - 1 < data.size()) {
            store(triangles[i / 3].corners[i % 3], &data[k]);
        }
    }
}

// The triangles the group gives. Faces beyond the group's index data would be all zeros and draw
// nothing; leaving them out keeps a vcount or count that promises millions of faces from
// allocating them.
std::uint32_t trianglesOf(const PrimitiveGroup& group)
{
    if (!isAllTriangles(group)) {
        return 0;
    }
    std::size_t indexed = 0;
    for (const std::vector<std::uint32_t>& list : group.indexLists) {
        indexed = std::max(indexed, list.size());
    }
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(faceCount(group), (indexed + 2) / 3));
}

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

std::vector<Triangle> extractTriangles(const ColladaDocument& document, NormalOrigin* normals)
{
    // The whole array at once, in huge pages where the kernel offers them: for a large model it is
    // megabytes, written right away.
    std::size_t total = 0;
    for (const auto& geometry : document.geometries()) {
        if (geometry->mesh) {
            for (const PrimitiveGroup& group : geometry->mesh->groups) {
                total += trianglesOf(group);
            }
        }
    }
    std::vector<Triangle> triangles;
    triangles.reserve(total);
    adviseHugePages(triangles.data(), total * sizeof(Triangle));
    bool computed = false;
    for (const auto& geometry : document.geometries()) {
        if (!geometry->mesh) {
            continue;
        }
        for (const PrimitiveGroup& group : geometry->mesh->groups) {
            const std::uint32_t count = trianglesOf(group);
            if (count == 0) {
                continue;
            }
            const std::size_t first = triangles.size();
            triangles.resize(first + count);
            Triangle* added = triangles.data() + first;
            fillAttribute(group, InputSemantic::Position, 3, added, count,
                          [](Corner& corner, const float* v) {
                              corner.position = Vector3f{v[0], v[1], v[2]};
                          });
            const GroupInput* normalInput = findInput(group, InputSemantic::Normal);
            if (normalInput != nullptr && normalInput->source->stride >= 3) {
                fillAttribute(group, InputSemantic::Normal, 3, added, count,
                              [](Corner& corner, const float* v) {
                                  corner.normal = Vector3f{v[0], v[1], v[2]};
                              });
            } else {
                // Without normals every corner would be lit as if facing nowhere (black).
                computeNormals(added, count);
                computed = computed || count > 0;
            }
            fillAttribute(group, InputSemantic::Texcoord, 2, added, count,
                          [](Corner& corner, const float* v) {
                              corner.s = v[0];
                              corner.t = v[1];
                          });
        }
    }
    if (normals != nullptr) {
        *normals =
            triangles.empty() ? NormalOrigin::None : (computed ? NormalOrigin::Computed : NormalOrigin::File);
    }
    return triangles;
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
