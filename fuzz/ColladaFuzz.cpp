// libFuzzer target: the COLLADA reader over an in-memory document, then everything the game asks
// of a document (triangle extraction, materials, shader passes), so that every pointer and index the
// reader hands out is followed once.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "collada/ColladaDocument.h"
#include "collada/ColladaQueries.h"
#include "engine/geometry/TriangleExtraction.h"

namespace {

volatile float sink = 0.0f;

void walkEffects(const libkub::ColladaDocument& document)
{
    for (const auto& material : document.materials()) {
        if (material->effect != nullptr && findCommonProfile(*material->effect) != nullptr) {
            sink = sink + findCommonProfile(*material->effect)->diffuse.r;
        }
    }
    for (const auto& effect : document.effects()) {
        const libkub::ShaderProfile* glsl = findShaderProfile(*effect, libkub::ProfileKind::GLSL);
        if (glsl == nullptr || glsl->techniques.empty()) {
            continue;
        }
        for (const libkub::ShaderPass& pass : glsl->techniques.front().passes) {
            for (const libkub::PassShader* shader : {vertexShader(pass), fragmentShader(pass)}) {
                if (shader != nullptr && shader->code != nullptr) {
                    sink =
                        sink + static_cast<float>(shader->code->fileName.size() + shader->code->text.size());
                }
            }
        }
    }
}

void walkGroups(const libkub::ColladaDocument& document)
{
    for (const auto& geometry : document.geometries()) {
        if (!geometry->mesh) {
            continue;
        }
        for (const libkub::PrimitiveGroup& group : geometry->mesh->groups) {
            for (const libkub::GroupInput& input : group.inputs) {
                const auto& indices = libkub::indicesOf(group, input);
                if (!indices.empty() && !input.source->data.empty()) {
                    sink = sink + input.source->data[indices.front() % input.source->data.size()];
                }
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    libkub::ColladaDocument document;
    document.loadFromMemory(std::string_view(reinterpret_cast<const char*>(data), size), "/fuzz/models");
    for (const auto& triangle : libkub::extractTriangles(document)) {
        sink = sink + triangle.corners[2].position.z + triangle.corners[1].s;
    }
    walkEffects(document);
    walkGroups(document);
    if (!document.images().empty()) {
        sink = sink + static_cast<float>(document.images().front()->fileName.size());
    }
    return 0;
}
