#pragma once
// Shader profiles (profile_GLSL and its kin): code entries, techniques, passes and their shaders.
#include <memory>
#include <string>
#include <vector>

#include "collada/ColladaProfile.h"

namespace libkub {

// A <code> (inline text) or <include> (a file) that shaders name by sid.
struct CodeEntry {
    std::string sid;
    bool isInclude = false;
    std::string fileName; // <include>: the url, resolved to an absolute path
    std::string text;     // <code>: the inline source
};

enum class ShaderStage : int {
    Vertex = 0,
    Fragment = 1,
    Other = 2, // any stage but "VERTEX" and "FRAGMENT"; never taken for either
};

struct PassShader {
    ShaderStage stage = ShaderStage::Vertex;
    std::string entryName;           // text of <name>
    std::string source;              // the sid of the code, the source attribute of <name>
    const CodeEntry* code = nullptr; // looked up in the technique's code entries, then the profile's
    std::string compilerTarget;
    std::string compilerOptions;
};

// A child of <pass> other than <shader>, kept by element name with its value attribute.
struct RenderState {
    std::string name;
    std::string value;
};

struct ShaderPass {
    std::string name; // sid
    std::vector<RenderState> renderStates;
    std::vector<PassShader> shaders;
};

struct ShaderTechnique {
    std::string name; // sid
    std::vector<std::unique_ptr<CodeEntry>> codeEntries;
    std::vector<ShaderPass> passes;
};

struct ShaderProfile : ColladaProfile {
    explicit ShaderProfile(ProfileKind kind) : ColladaProfile(kind) {}

    std::string platform;
    std::vector<std::unique_ptr<CodeEntry>> codeEntries;
    std::vector<ShaderTechnique> techniques;
};

} // namespace libkub
