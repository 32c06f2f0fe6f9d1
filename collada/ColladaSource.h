#pragma once
// A <source> of a mesh: a flat list of floats read in groups of stride values.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace libkub {

// Input semantics by their exact names; Unknown inputs are dropped.
enum class InputSemantic : int {
    Unknown = -1,
    Position = 0,    // "POSITION"
    Vertex = 1,      // "VERTEX"
    Normal = 2,      // "NORMAL"
    Tangent = 3,     // "TANGENT"
    Binormal = 4,    // "BINORMAL"
    Texcoord = 5,    // "TEXCOORD"
    Textangent = 6,  // "TEXTANGENT"
    Texbinormal = 7, // "TEXBINORMAL"
    UV = 8,          // "UV"
    Color = 9,       // "COLOR"
    Extra = 10,      // "EXTRA"
};

struct ColladaSource {
    std::string id;
    std::string name;
    // The float_array's numbers, zero-padded up to the accessor's count x stride.
    std::vector<float> data;
    // How many numbers the float_array held, and how many of those were not numbers (each read as 0),
    // so that a model which draws nothing can say why; the zero padding counts in neither.
    std::size_t arrayValues = 0;
    std::size_t notNumbers = 0;
    std::uint32_t stride = 1; // at least 1
    // Set by the inputs that refer to the source; the last one read wins.
    InputSemantic semantic = InputSemantic::Unknown;
};

} // namespace libkub
