// The reader's effects: parameters, the common profile and shader profiles.
#include "collada/ColladaReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "collada/ColladaNumbers.h"
#include "collada/ColladaPath.h"
#include "collada/ColladaQueries.h"
#include "collada/ColladaXml.h"

namespace libkub {

using namespace xml;

namespace {

ProfileKind profileKind(std::string_view name)
{
    if (name == "profile_CG") {
        return ProfileKind::CG;
    }
    if (name == "profile_HLSL") {
        return ProfileKind::HLSL;
    }
    if (name == "profile_GLSL") {
        return ProfileKind::GLSL;
    }
    if (name == "profile_GLES") {
        return ProfileKind::GLES;
    }
    if (name == "profile_COMMON") {
        return ProfileKind::Common;
    }
    return ProfileKind::Unknown;
}

} // namespace

void ColladaReader::readEffect(const xmlNode* node, ColladaEffect& effect)
{
    if (!isNamed(node, "effect")) {
        warn(ColladaCode::WrongElement,
             "<" + std::string(nameOf(node)) + "> in <library_effects> is not <effect>", node);
    }
    effectsById_.emplace(attributeOr(node, "id"), &effect);
    for (const xmlNode* child : elementsOf(node)) {
        const std::string_view name = nameOf(child);
        if (name == "image") {
            auto image = std::make_unique<ColladaImage>();
            readHeader(child, *image);
            ColladaImage& added = *document_.images_.emplace_back(std::move(image));
            registerEntity(child, added);
            readImage(child, added);
        } else if (name == "newparam" || name == "setparam") {
            effect.parameters.push_back(readParameter(child));
        } else if (name == "extra" || name == "asset" || name == "annotate") {
            continue;
        } else {
            const ProfileKind kind = profileKind(name);
            if (kind == ProfileKind::Common) {
                readCommonProfile(child, effect);
            } else if (kind == ProfileKind::Unknown) {
                warn(ColladaCode::UnknownProfile,
                     "effect " + quoted(effect.id) + ": unknown profile <" + std::string(name) + ">", child);
            } else {
                readShaderProfile(child, kind, effect);
            }
        }
    }
}

EffectParameter ColladaReader::readParameter(const xmlNode* node)
{
    EffectParameter parameter;
    parameter.sid = attribute(node, "sid").value_or(attributeOr(node, "ref"));
    for (const xmlNode* child : elementsOf(node)) {
        const std::string_view name = nameOf(child);
        if (name == "annotate" || name == "semantic" || name == "modifier") {
            continue;
        }
        parameter.type = name;
        if (name.starts_with("float")) {
            parameter.unreadable = floatsOf(child, parameter.values) > 0;
        } else {
            parameter.text = trimmed(textOf(child));
            for (const xmlNode* part = firstElement(child); parameter.text.empty() && part != nullptr;
                 part = nextElement(part)) {
                parameter.text = trimmed(textOf(part));
            }
        }
        break;
    }
    return parameter;
}

const EffectParameter* ColladaReader::findParameter(const ColladaEffect& effect,
                                                    const ColladaProfile& profile,
                                                    std::string_view name) const
{
    for (const EffectParameter& parameter : effect.parameters) {
        if (parameter.sid == name) {
            return &parameter;
        }
    }
    for (const EffectParameter& parameter : profile.parameters) {
        if (parameter.sid == name) {
            return &parameter;
        }
    }
    return nullptr;
}

void ColladaReader::readCommonProfile(const xmlNode* node, ColladaEffect& effect)
{
    auto owned = std::make_unique<CommonProfile>();
    CommonProfile& profile = *owned;
    effect.profiles.push_back(std::move(owned));

    const xmlNode* technique = nullptr;
    for (const xmlNode* child : elementsOf(node)) {
        if (isNamed(child, "newparam")) {
            profile.parameters.push_back(readParameter(child));
        } else if (isNamed(child, "technique") && technique == nullptr) {
            technique = child;
        }
    }
    if (technique == nullptr) {
        warn(ColladaCode::MissingTechnique,
             "effect " + quoted(effect.id) + ": <profile_COMMON> has no <technique>", node);
        return;
    }
    const xmlNode* shading = nullptr;
    for (const xmlNode* child : elementsOf(technique)) {
        const std::string_view name = nameOf(child);
        if (name == "constant" || name == "lambert" || name == "phong" || name == "blinn") {
            shading = child;
            profile.shadingModel = name == "constant"  ? ShadingModel::Constant
                                   : name == "lambert" ? ShadingModel::Lambert
                                   : name == "phong"   ? ShadingModel::Phong
                                                       : ShadingModel::Blinn;
            break;
        }
    }
    if (shading == nullptr) {
        fail(ColladaCode::MissingShadingModel,
             "effect " + quoted(effect.id) + ": no <constant>, <lambert>, <phong> or <blinn>", technique);
        return;
    }
    for (const xmlNode* child : elementsOf(shading)) {
        const std::string_view name = nameOf(child);
        bool readable = true;
        if (name == "emission") {
            readable = readColor(child, effect, profile, profile.emission);
        } else if (name == "ambient") {
            readable = readColor(child, effect, profile, profile.ambient);
        } else if (name == "diffuse") {
            readable = readColor(child, effect, profile, profile.diffuse);
        } else if (name == "specular") {
            readable = readColor(child, effect, profile, profile.specular);
        } else if (name == "reflective") {
            readable = readColor(child, effect, profile, profile.reflective);
        } else if (name == "transparent") {
            readable = readColor(child, effect, profile, profile.transparent);
            if (std::optional<std::string> opaque = attribute(child, "opaque")) {
                std::string upper = *opaque;
                std::transform(upper.begin(), upper.end(), upper.begin(),
                               [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
                if (upper == "A_ONE") {
                    profile.opaque = OpaqueMode::AOne;
                } else if (upper == "RGB_ZERO") {
                    profile.opaque = OpaqueMode::RgbZero;
                } else {
                    warn(ColladaCode::UnknownOpaqueMode,
                         "effect " + quoted(effect.id) + ": unknown opaque mode " + quoted(*opaque), child);
                }
            }
        } else if (name == "shininess") {
            readable = readScalar(child, effect, profile, profile.shininess);
        } else if (name == "reflectivity") {
            readable = readScalar(child, effect, profile, profile.reflectivity);
        } else if (name == "transparency") {
            readable = readScalar(child, effect, profile, profile.transparency);
        } else if (name == "index_of_refraction") {
            readable = readScalar(child, effect, profile, profile.indexOfRefraction);
        }
        if (!readable) {
            profile.unreadable.emplace_back(name);
        }
    }
}

bool ColladaReader::readColor(const xmlNode* node, const ColladaEffect& effect, const ColladaProfile& profile,
                              ColladaColor& color)
{
    if (firstChild(node, "texture") != nullptr) {
        color = ColladaColor{1.0f, 1.0f, 1.0f, 1.0f};
        return true;
    }
    if (const xmlNode* param = firstChild(node, "param")) {
        const std::string ref = attributeOr(param, "ref");
        const EffectParameter* parameter = findParameter(effect, profile, ref);
        if (parameter == nullptr) {
            fail(ColladaCode::ParamNotFound,
                 "effect " + quoted(effect.id) + ": parameter " + quoted(ref) + " not found", param);
        } else if (parameter->type == "float4" && parameter->values.size() >= 4) {
            const auto& v = parameter->values;
            color = ColladaColor{v[0], v[1], v[2], v[3]};
            return !parameter->unreadable;
        } else if (parameter->type == "float3" && parameter->values.size() >= 3) {
            const auto& v = parameter->values;
            color = ColladaColor{v[0], v[1], v[2], 1.0f};
            return !parameter->unreadable;
        } else {
            warn(ColladaCode::ParamNotColour,
                 "effect " + quoted(effect.id) + ": parameter " + quoted(ref) + " is not a float3 or float4",
                 param);
        }
        return true;
    }
    if (const xmlNode* text = firstChild(node, "color")) {
        std::vector<float> values;
        const std::size_t bad = floatsOf(text, values);
        values.resize(std::max<std::size_t>(values.size(), 3), 0.0f);
        color = ColladaColor{values[0], values[1], values[2], values.size() > 3 ? values[3] : 1.0f};
        return bad == 0;
    }
    return true;
}

bool ColladaReader::readScalar(const xmlNode* node, const ColladaEffect& effect,
                               const ColladaProfile& profile, float& value)
{
    if (firstChild(node, "texture") != nullptr) {
        value = 1.0f;
        return true;
    }
    if (const xmlNode* text = firstChild(node, "float")) {
        std::vector<float> values;
        const std::size_t bad = floatsOf(text, values);
        if (!values.empty()) {
            value = values[0];
        }
        return bad == 0;
    }
    if (const xmlNode* param = firstChild(node, "param")) {
        const std::string ref = attributeOr(param, "ref");
        const EffectParameter* parameter = findParameter(effect, profile, ref);
        if (parameter == nullptr) {
            fail(ColladaCode::ParamNotFound,
                 "effect " + quoted(effect.id) + ": parameter " + quoted(ref) + " not found", param);
        } else if (!parameter->values.empty()) {
            value = parameter->values[0];
            return !parameter->unreadable;
        }
    }
    return true;
}

std::unique_ptr<CodeEntry> ColladaReader::readCodeEntry(const xmlNode* node)
{
    auto entry = std::make_unique<CodeEntry>();
    entry->sid = attributeOr(node, "sid");
    if (isNamed(node, "include")) {
        entry->isInclude = true;
        if (entry->sid.empty()) {
            warn(ColladaCode::IncludeWithoutSid, "<include> has no sid", node);
        }
        entry->fileName = resolveFileReference(document_.baseFolder_, attributeOr(node, "url"));
    } else {
        entry->text = textOf(node);
    }
    return entry;
}

void ColladaReader::readShaderProfile(const xmlNode* node, ProfileKind kind, ColladaEffect& effect)
{
    auto owned = std::make_unique<ShaderProfile>(kind);
    ShaderProfile& profile = *owned;
    effect.profiles.push_back(std::move(owned));
    profile.platform = attributeOr(node, "platform");
    for (const xmlNode* child : elementsOf(node)) {
        const std::string_view name = nameOf(child);
        if (name == "technique") {
            readTechnique(child, profile.techniques.emplace_back());
        } else if (name == "code" || name == "include") {
            profile.codeEntries.push_back(readCodeEntry(child));
        } else if (name == "newparam") {
            profile.parameters.push_back(readParameter(child));
        }
    }
    // Shaders name their code by sid: the technique's entries first, then the profile's, wherever
    // in the profile they stand.
    const auto find = [](const std::vector<std::unique_ptr<CodeEntry>>& entries,
                         const std::string& sid) -> const CodeEntry* {
        for (const auto& entry : entries) {
            if (entry->sid == sid) {
                return entry.get();
            }
        }
        return nullptr;
    };
    for (ShaderTechnique& technique : profile.techniques) {
        for (ShaderPass& pass : technique.passes) {
            for (PassShader& shader : pass.shaders) {
                if (shader.stage == ShaderStage::Other) {
                    continue;
                }
                shader.code = find(technique.codeEntries, shader.source);
                if (shader.code == nullptr) {
                    shader.code = find(profile.codeEntries, shader.source);
                }
                if (shader.code == nullptr) {
                    warn(ColladaCode::CodeNotFound,
                         "effect " + quoted(effect.id) + ": pass " + quoted(pass.name) + " names code " +
                             quoted(shader.source) + " that is not there",
                         node);
                }
            }
        }
    }
}

void ColladaReader::readTechnique(const xmlNode* node, ShaderTechnique& technique)
{
    technique.name = attributeOr(node, "sid");
    for (const xmlNode* child : elementsOf(node)) {
        const std::string_view name = nameOf(child);
        if (name == "pass") {
            readPass(child, technique.passes.emplace_back());
        } else if (name == "code" || name == "include") {
            technique.codeEntries.push_back(readCodeEntry(child));
        }
    }
}

void ColladaReader::readPass(const xmlNode* node, ShaderPass& pass)
{
    pass.name = attributeOr(node, "sid");
    for (const xmlNode* child : elementsOf(node)) {
        const std::string_view name = nameOf(child);
        if (name == "annotate" || name == "extra") {
            continue;
        }
        if (name != "shader") {
            pass.renderStates.push_back({std::string(name), attributeOr(child, "value")});
            continue;
        }
        PassShader& shader = pass.shaders.emplace_back();
        const std::string stage = attributeOr(child, "stage");
        if (stage == "VERTEX") {
            shader.stage = ShaderStage::Vertex;
        } else if (stage == "FRAGMENT") {
            shader.stage = ShaderStage::Fragment;
        } else {
            shader.stage = ShaderStage::Other;
            warn(ColladaCode::UnknownShaderStage,
                 "pass " + quoted(pass.name) + ": shader stage " + quoted(stage) +
                     " is neither VERTEX nor FRAGMENT",
                 child);
        }
        for (const xmlNode* part : elementsOf(child)) {
            const std::string_view partName = nameOf(part);
            if (partName == "name") {
                shader.entryName = trimmed(textOf(part));
                shader.source = attributeOr(part, "source");
            } else if (partName == "compiler_target") {
                shader.compilerTarget = trimmed(textOf(part));
            } else if (partName == "compiler_options") {
                shader.compilerOptions = trimmed(textOf(part));
            }
        }
    }
}

} // namespace libkub
