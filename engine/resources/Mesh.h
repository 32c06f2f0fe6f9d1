#pragma once
// The drawable geometry of one model: a flat triangle list and the GL recording made from it
// (a display list, or an interleaved vertex buffer shared through the mesh cache), plus placement.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/geometry/Triangle.h"
#include "engine/geometry/TriangleExtraction.h"
#include "engine/math/Vector3f.h"
#include "engine/resources/SharedList.h"

namespace libkub {

class ColladaDocument;
struct TexturedBox;

struct MeshRotation {
    float x = 0.0f; // axis
    float y = 0.0f;
    float z = 0.0f;
    float angle = 0.0f; // degrees
};

// Counts are 32-bit so that large models never wrap.
struct Mesh {
    std::uint32_t triangleCount = 0;
    std::uint32_t vertexCount = 0; // 3 x triangles once a vertex buffer is built or shared, else 0
    // Kept only in the immediate and display-list modes. Every die (and every tile) is a copy of one
    // loaded model, so the copies share one list instead of a kilobyte of triangles each.
    SharedList<Triangle> triangles;
    unsigned vertexBuffer = 0;
    unsigned displayList = 0;
    // Every connected part of the triangles encloses a solid with its fronts outwards: their back faces
    // never show.
    bool closed = false;
    // The three corners of every triangle carry one normal: no face is lit by a normal bent away from
    // its own, so a normal a last bit off cannot turn a face from the lights.
    bool flatNormals = false;
    // The triangles make a textured box (TexturedBox.h), shared by every copy; null when they do not.
    std::shared_ptr<const TexturedBox> texturedBox;
    MeshRotation rotation;
    Vector3f scale{1.0f, 1.0f, 1.0f};
    Vector3f translation{0.0f, 0.0f, 0.0f};
};

// Bytes per interleaved vertex: s, t, normal x, y, z, position x, y, z.
inline constexpr int vertexStride = 32;
inline constexpr int vertexNormalOffset = 8;
inline constexpr int vertexPositionOffset = 20;

// The MeshCache key of a document: its file (path, size and time of change) and its first
// geometry's id, so that files reusing a geometry id never share a buffer and a file changed on
// disk gets a buffer of its own.
std::string meshCacheKey(const ColladaDocument& document);

// Builds the mesh for the current render mode; the GL context must be current. VBO: a vertex
// buffer shared through the MeshCache under meshCacheKey (a document without geometry gives an
// empty mesh); Immediate and DisplayList: the triangle list and a display list.
Mesh buildMesh(const ColladaDocument& document);

// How many times triangles have been recorded into a GL buffer or display list in this process, by
// compileDisplayList and fillVertexBuffer: a recording made again may keep or reuse a name, so whoever
// keeps what a recording drew compares this count too.
std::uint64_t geometryRecordings();

// Records the triangles into the mesh's display list (allocating one name when it has none).
void compileDisplayList(Mesh& mesh);

// Uploads the triangles into a new interleaved vertex buffer and frees the triangle list.
void fillVertexBuffer(Mesh& mesh);

// Points the texture-coordinate, normal and vertex arrays into an interleaved vertex buffer and
// enables them; unbindVertexBuffer disables them and unbinds the buffer again.
void bindVertexBuffer(unsigned vertexBuffer);
void unbindVertexBuffer();

} // namespace libkub
