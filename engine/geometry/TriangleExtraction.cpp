#include "engine/geometry/TriangleExtraction.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "collada/ColladaDocument.h"
#include "collada/ColladaQueries.h"
#include "collada/HugePages.h"
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

} // namespace

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

} // namespace libkub
