#include "collada/ColladaQueries.h"

namespace libkub {

const GroupInput* findInput(const PrimitiveGroup& group, InputSemantic semantic)
{
    for (const GroupInput& input : group.inputs) {
        if (input.source != nullptr && input.source->semantic == semantic) {
            return &input;
        }
    }
    return nullptr;
}

const std::vector<std::uint32_t>& indicesOf(const PrimitiveGroup& group, const GroupInput& input)
{
    static const std::vector<std::uint32_t> none;
    for (const GroupInput& candidate : group.inputs) {
        if (candidate.offset == input.offset) {
            return candidate.indexList < group.indexLists.size() ? group.indexLists[candidate.indexList]
                                                                 : none;
        }
    }
    return none;
}

bool isAllTriangles(const PrimitiveGroup& group)
{
    if (group.kind != GroupKind::Polygons && group.kind != GroupKind::Triangles &&
        group.kind != GroupKind::Polylist) {
        return false;
    }
    for (std::uint32_t count : group.faceVertexCounts) {
        if (count != 3) {
            return false;
        }
    }
    return true;
}

std::uint32_t faceCount(const PrimitiveGroup& group)
{
    const std::size_t faces = group.faceVertexCounts.size();
    const std::size_t holes = group.holeFaces.size();
    return faces > holes ? static_cast<std::uint32_t>(faces - holes) : 0;
}

const ColladaProfile* findProfile(const ColladaEffect& effect, ProfileKind kind)
{
    for (const auto& profile : effect.profiles) {
        if (profile->kind == kind) {
            return profile.get();
        }
    }
    return nullptr;
}

const CommonProfile* findCommonProfile(const ColladaEffect& effect)
{
    return static_cast<const CommonProfile*>(findProfile(effect, ProfileKind::Common));
}

const ShaderProfile* findShaderProfile(const ColladaEffect& effect, ProfileKind kind)
{
    if (kind == ProfileKind::Common || kind == ProfileKind::Unknown) {
        return nullptr;
    }
    return static_cast<const ShaderProfile*>(findProfile(effect, kind));
}

namespace {

const PassShader* firstOfStage(const ShaderPass& pass, ShaderStage stage)
{
    for (const PassShader& shader : pass.shaders) {
        if (shader.stage == stage) {
            return &shader;
        }
    }
    return nullptr;
}

} // namespace

const PassShader* vertexShader(const ShaderPass& pass)
{
    return firstOfStage(pass, ShaderStage::Vertex);
}

const PassShader* fragmentShader(const ShaderPass& pass)
{
    return firstOfStage(pass, ShaderStage::Fragment);
}

} // namespace libkub
