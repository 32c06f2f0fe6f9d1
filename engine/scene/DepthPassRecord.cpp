#include "engine/scene/DepthPassRecord.h"

#include <algorithm>
#include <cstring>

#include "engine/math/Matrix4f.h"
#include "engine/resources/Mesh.h"

namespace libkub {

namespace {

// Words of one object's entry: the geometry, then translation, rotation and scale (as add writes them).
constexpr std::size_t geometryWords = 6;
constexpr std::size_t objectWords =
    geometryWords +
    (sizeof(Mesh::translation) + sizeof(Mesh::rotation) + sizeof(Mesh::scale)) / sizeof(std::uint32_t);

} // namespace

void DepthPassRecord::begin(unsigned depthTexture, int size, const Matrix4f& lightProjection,
                            const Matrix4f& lightView, std::int32_t renderMode, bool wireframe,
                            bool instancing, bool columns)
{
    repeatable = true;
    words.clear(); // keeps the capacity: a record is refilled every frame without allocating
    const std::uint64_t recordings = geometryRecordings();
    const std::uint32_t target[4] = {depthTexture, static_cast<std::uint32_t>(size),
                                     static_cast<std::uint32_t>(recordings),
                                     static_cast<std::uint32_t>(recordings >> 32)};
    append(target, sizeof(target));
    append(lightProjection.data(), 16 * sizeof(float));
    append(lightView.data(), 16 * sizeof(float));
    const std::uint32_t switches[4] = {static_cast<std::uint32_t>(renderMode), wireframe ? 1u : 0u,
                                       instancing ? 1u : 0u, columns ? 1u : 0u};
    append(switches, sizeof(switches));
    headerWords = words.size();
}

void DepthPassRecord::add(const Mesh& mesh)
{
    // The geometry: which recording is drawn (a shared buffer or list, or the shared triangles of the
    // immediate mode) and how much of it; then the placement that glTranslatef, glRotatef and glScalef
    // apply.
    const auto triangles = reinterpret_cast<std::uintptr_t>(mesh.triangles.begin());
    const std::uint32_t geometry[geometryWords] = {
        mesh.vertexBuffer,
        mesh.displayList,
        mesh.vertexCount,
        static_cast<std::uint32_t>(mesh.triangles.size()),
        static_cast<std::uint32_t>(triangles),
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(triangles) >> 32)};
    append(geometry, sizeof(geometry));
    append(&mesh.translation, sizeof(mesh.translation));
    append(&mesh.rotation, sizeof(mesh.rotation));
    append(&mesh.scale, sizeof(mesh.scale));
}

bool DepthPassRecord::differingObjects(const DepthPassRecord& other,
                                       std::vector<std::size_t>& positions) const
{
    positions.clear();
    if (!repeatable || !other.repeatable || headerWords != other.headerWords ||
        words.size() != other.words.size() ||
        !std::equal(words.begin(), words.begin() + headerWords, other.words.begin())) {
        return false;
    }
    const std::size_t objects = (words.size() - headerWords) / objectWords;
    for (std::size_t object = 0; object < objects; ++object) {
        const auto entry = words.begin() + static_cast<std::ptrdiff_t>(headerWords + object * objectWords);
        const auto otherEntry =
            other.words.begin() + static_cast<std::ptrdiff_t>(headerWords + object * objectWords);
        if (!std::equal(entry, entry + objectWords, otherEntry)) {
            positions.push_back(object);
        }
    }
    return true;
}

void DepthPassRecord::append(const void* data, std::size_t bytes)
{
    const std::size_t at = words.size();
    words.resize(at + bytes / sizeof(std::uint32_t));
    std::memcpy(words.data() + at, data, bytes);
}

} // namespace libkub
