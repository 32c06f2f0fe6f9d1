#pragma once
// Questions the mesh builder and the model loader ask of a loaded document.
#include <cstdint>
#include <vector>

#include "collada/ColladaEffect.h"
#include "collada/PrimitiveGroup.h"
#include "collada/ShaderProfile.h"

namespace libkub {

// The first input, in input order, whose source's semantic is the given one; null when none.
const GroupInput* findInput(const PrimitiveGroup& group, InputSemantic semantic);

// The indices of the input: one per face-vertex, as listed in the group's <p> data.
const std::vector<std::uint32_t>& indicesOf(const PrimitiveGroup& group, const GroupInput& input);

// True when the group is polygons, triangles or a polylist and every face has 3 vertices (also
// when it has no faces).
bool isAllTriangles(const PrimitiveGroup& group);

// The number of faces that are not holes: the triangles of an all-triangle group.
std::uint32_t faceCount(const PrimitiveGroup& group);

// The effect's first profile of that kind, or null.
const ColladaProfile* findProfile(const ColladaEffect& effect, ProfileKind kind);
// The same, typed: the first profile_COMMON, or the first shader profile of a shader kind (CG to GLES).
const CommonProfile* findCommonProfile(const ColladaEffect& effect);
const ShaderProfile* findShaderProfile(const ColladaEffect& effect, ProfileKind kind);

// A pass's first vertex and first fragment shader, or null.
const PassShader* vertexShader(const ShaderPass& pass);
const PassShader* fragmentShader(const ShaderPass& pass);

} // namespace libkub
