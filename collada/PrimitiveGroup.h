#pragma once
// A group of faces of a mesh (<polygons>, <triangles>, <polylist>, ...): its inputs and the
// per-face-vertex indices read from <p>, de-interleaved by column.
#include <cstdint>
#include <string>
#include <vector>

#include "collada/ColladaSource.h"

namespace libkub {

enum class GroupKind : int {
    Polygons = 0,
    Triangles = 1,
    Polylist = 2,
    Tristrips = 3, // the kinds below are read but never count as triangles
    Trifans = 4,
    Lines = 5,
    Linestrips = 6,
};

struct GroupInput {
    const ColladaSource* source = nullptr; // never null for an input in a group
    std::uint32_t offset = 0;              // column in the <p> data
    std::int32_t set = -1;                 // -1 when absent
    // Position of this input's index list in PrimitiveGroup::indexLists; inputs that share an
    // offset share one list. Use indicesOf() rather than reading it directly.
    std::size_t indexList = 0;
};

struct PrimitiveGroup {
    GroupKind kind = GroupKind::Triangles;
    std::string material;    // the material symbol, unused by the game
    std::uint32_t count = 0; // the count attribute: the face count the file announces
    std::vector<GroupInput> inputs;
    std::vector<std::uint32_t> faceVertexCounts; // one entry per face and per hole
    std::vector<std::uint32_t> holeFaces;        // positions in faceVertexCounts that are holes
    std::uint64_t faceVertexTotal = 0;           // face-vertices read from the <p> data
    std::uint64_t columnCount = 1;               // integers per face-vertex in <p>
    // One index list per distinct input offset, one entry per face-vertex.
    std::vector<std::vector<std::uint32_t>> indexLists;
};

} // namespace libkub
