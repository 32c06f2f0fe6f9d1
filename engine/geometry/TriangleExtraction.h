#pragma once
// The triangles of a COLLADA document, as one flat list.
#include <vector>

#include "engine/geometry/Triangle.h"

namespace libkub {

class ColladaDocument;

// Where the normals of extracted triangles come from: no triangles at all, the file for every
// group, or computed from the positions for at least one group that has none.
enum class NormalOrigin { None, File, Computed };

// All triangles of all all-triangle groups of all geometries, merged in document order. A corner
// whose index is missing or points past its source keeps zeros; faces past a group's index data
// are left out. A group without normals (no NORMAL input, or one of fewer than three values per
// entry) gets normals computed from its triangles. Needs no GL context.
std::vector<Triangle> extractTriangles(const ColladaDocument& document, NormalOrigin* normals = nullptr);

} // namespace libkub
