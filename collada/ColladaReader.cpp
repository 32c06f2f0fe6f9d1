#include "collada/ColladaReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <optional>

#include "collada/ColladaNumbers.h"
#include "collada/ColladaPath.h"
#include "collada/ColladaQueries.h"

namespace libkub {

namespace {

std::string_view nameOf(const xmlNode* node)
{
    return node->name != nullptr ? std::string_view(reinterpret_cast<const char*>(node->name))
                                 : std::string_view();
}

bool isElement(const xmlNode* node)
{
    return node->type == XML_ELEMENT_NODE;
}

bool isNamed(const xmlNode* node, std::string_view name)
{
    return isElement(node) && nameOf(node) == name;
}

const xmlNode* firstElement(const xmlNode* node)
{
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (isElement(child)) {
            return child;
        }
    }
    return nullptr;
}

const xmlNode* nextElement(const xmlNode* node)
{
    for (const xmlNode* sibling = node->next; sibling != nullptr; sibling = sibling->next) {
        if (isElement(sibling)) {
            return sibling;
        }
    }
    return nullptr;
}

const xmlNode* firstChild(const xmlNode* node, std::string_view name)
{
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (isNamed(child, name)) {
            return child;
        }
    }
    return nullptr;
}

// Iterates the element children of a node.
struct Elements {
    const xmlNode* parent;
    struct Iterator {
        const xmlNode* node;
        const xmlNode* operator*() const { return node; }
        Iterator& operator++()
        {
            node = nextElement(node);
            return *this;
        }
        bool operator!=(const Iterator& other) const { return node != other.node; }
    };
    Iterator begin() const { return {firstElement(parent)}; }
    Iterator end() const { return {nullptr}; }
};

Elements elementsOf(const xmlNode* node)
{
    return Elements{node};
}

std::optional<std::string> attribute(const xmlNode* node, const char* name)
{
    for (const xmlAttr* property = node->properties; property != nullptr; property = property->next) {
        if (property->name == nullptr ||
            std::strcmp(reinterpret_cast<const char*>(property->name), name) != 0) {
            continue;
        }
        std::string value;
        for (const xmlNode* part = property->children; part != nullptr; part = part->next) {
            if (part->type == XML_TEXT_NODE && part->content != nullptr) {
                value += reinterpret_cast<const char*>(part->content);
            }
        }
        return value;
    }
    return std::nullopt;
}

std::string attributeOr(const xmlNode* node, const char* name)
{
    return attribute(node, name).value_or(std::string());
}

std::string_view withoutHash(std::string_view reference)
{
    if (!reference.empty() && reference.front() == '#') {
        reference.remove_prefix(1);
    }
    return reference;
}

std::string_view trimmed(std::string_view text)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && space(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string quoted(std::string_view text)
{
    std::string out = "'";
    out += text.substr(0, 80);
    out += "'";
    return out;
}

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

InputSemantic semanticOf(std::string_view name)
{
    static constexpr std::array<std::string_view, 11> names = {
        "POSITION",   "VERTEX",      "NORMAL", "TANGENT", "BINORMAL", "TEXCOORD",
        "TEXTANGENT", "TEXBINORMAL", "UV",     "COLOR",   "EXTRA"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            return static_cast<InputSemantic>(i);
        }
    }
    return InputSemantic::Unknown;
}

// Libraries whose contents the game never reads: known, and skipped without a word.
bool isSkippedLibrary(std::string_view name)
{
    static constexpr std::array<std::string_view, 11> skipped = {
        "library_animations",     "library_animation_clips", "library_controllers",
        "library_cameras",        "library_lights",          "library_force_fields",
        "library_visual_scenes",  "library_nodes",           "library_physics_materials",
        "library_physics_models", "library_physics_scenes"};
    return std::find(skipped.begin(), skipped.end(), name) != skipped.end();
}

} // namespace

ColladaReader::ColladaReader(ColladaDocument& document, std::size_t documentBytes)
    : document_(document), paddingBudget_(documentBytes), reserveBudget_(documentBytes / 2 + 1)
{
}

void ColladaReader::warn(ColladaCode code, std::string message, const xmlNode* node)
{
    document_.report(DiagnosticLevel::Warning, code, std::move(message),
                     node != nullptr ? xmlGetLineNo(node) : 0);
}

void ColladaReader::fail(ColladaCode code, std::string message, const xmlNode* node)
{
    document_.report(DiagnosticLevel::Error, code, std::move(message),
                     node != nullptr ? xmlGetLineNo(node) : 0);
}

const char* ColladaReader::textOf(const xmlNode* node)
{
    const xmlNode* only = nullptr;
    std::size_t parts = 0;
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
        if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) &&
            child->content != nullptr) {
            only = child;
            ++parts;
        }
    }
    if (parts == 0) {
        return "";
    }
    if (parts == 1) {
        return reinterpret_cast<const char*>(only->content);
    }
    textScratch_.clear();
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
        if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) &&
            child->content != nullptr) {
            textScratch_ += reinterpret_cast<const char*>(child->content);
        }
    }
    return textScratch_.c_str();
}

std::uint32_t ColladaReader::unsignedAttribute(const xmlNode* node, const char* name, std::uint32_t fallback)
{
    const std::optional<std::string> text = attribute(node, name);
    if (!text) {
        return fallback;
    }
    const std::optional<std::uint64_t> value = parseUnsigned64(*text);
    if (!value || *value > 0xFFFFFFFFu) {
        warn(ColladaCode::BadNumber,
             std::string("<") + std::string(nameOf(node)) + "> " + name + " " + quoted(*text) +
                 " is not an unsigned 32-bit number",
             node);
        return fallback;
    }
    return static_cast<std::uint32_t>(*value);
}

void ColladaReader::floatsOf(const xmlNode* node, std::vector<float>& out)
{
    const std::size_t bad = appendFloats(textOf(node), out);
    if (bad > 0) {
        warn(ColladaCode::BadNumber,
             "<" + std::string(nameOf(node)) + "> has " + std::to_string(bad) +
                 " entries that are not numbers (read as 0)",
             node);
    }
}

void ColladaReader::unsignedOf(const xmlNode* node, std::vector<std::uint32_t>& out)
{
    const std::size_t bad = appendUnsigned(textOf(node), out);
    if (bad > 0) {
        warn(ColladaCode::BadNumber,
             "<" + std::string(nameOf(node)) + "> has " + std::to_string(bad) +
                 " entries that are not unsigned 32-bit numbers (read as past the data)",
             node);
    }
}

void ColladaReader::read(const xmlNode* root)
{
    if (std::optional<std::string> version = attribute(root, "version")) {
        document_.version_ = *version;
    }
    for (const xmlNode* child : elementsOf(root)) {
        const std::string_view name = nameOf(child);
        if (name == "asset") {
            readAsset(child);
        } else if (name == "scene") {
            if (const xmlNode* instance = firstChild(child, "instance_visual_scene")) {
                document_.sceneUrl_ = attributeOr(instance, "url");
            }
        } else if (name == "extra") {
            document_.extras_.push_back(attributeOr(child, "type"));
        } else if (name != "library_images" && name != "library_effects" && name != "library_materials" &&
                   name != "library_geometries" && !isSkippedLibrary(name)) {
            warn(ColladaCode::UnknownRootChild, "unknown element <" + std::string(name) + "> under <COLLADA>",
                 child);
        }
    }
    // Images before effects, effects before materials, so that references resolve while reading.
    for (const xmlNode* child : elementsOf(root)) {
        if (isNamed(child, "library_images")) {
            readLibrary(child, "image", document_.images_,
                        [this](const xmlNode* node, ColladaImage& image) { readImage(node, image); });
        }
    }
    for (const xmlNode* child : elementsOf(root)) {
        if (isNamed(child, "library_effects")) {
            // An effect reads on under another element name (with a warning).
            for (const xmlNode* node : elementsOf(child)) {
                auto effect = std::make_unique<ColladaEffect>();
                readHeader(node, *effect);
                ColladaEffect& added = *document_.effects_.emplace_back(std::move(effect));
                registerEntity(node, added);
                readEffect(node, added);
            }
        }
    }
    for (const xmlNode* child : elementsOf(root)) {
        if (isNamed(child, "library_materials")) {
            readLibrary(
                child, "material", document_.materials_,
                [this](const xmlNode* node, ColladaMaterial& material) { readMaterial(node, material); });
        }
    }
    for (const xmlNode* child : elementsOf(root)) {
        if (isNamed(child, "library_geometries")) {
            readLibrary(
                child, "geometry", document_.geometries_,
                [this](const xmlNode* node, ColladaGeometry& geometry) { readGeometry(node, geometry); });
        }
    }
}

void ColladaReader::readAsset(const xmlNode* node)
{
    if (const xmlNode* unit = firstChild(node, "unit")) {
        if (std::optional<std::string> meter = attribute(unit, "meter")) {
            std::vector<float> value;
            if (appendFloats(meter->c_str(), value) == 0 && value.size() == 1) {
                document_.asset_.unitMeter = value[0];
            } else {
                warn(ColladaCode::BadNumber, "<unit> meter " + quoted(*meter) + " is not a number", unit);
            }
        }
        if (std::optional<std::string> name = attribute(unit, "name")) {
            document_.asset_.unitName = *name;
        }
    }
    if (const xmlNode* upAxis = firstChild(node, "up_axis")) {
        const std::string_view axis = trimmed(textOf(upAxis));
        if (axis == "X_UP") {
            document_.asset_.upAxis = UpAxis::X;
        } else if (axis == "Y_UP") {
            document_.asset_.upAxis = UpAxis::Y;
        } else if (axis == "Z_UP") {
            document_.asset_.upAxis = UpAxis::Z;
        } else {
            warn(ColladaCode::WrongElement, "<up_axis> " + quoted(axis) + " is not X_UP, Y_UP or Z_UP",
                 upAxis);
        }
    }
}

void ColladaReader::readHeader(const xmlNode* node, ColladaEntity& entity)
{
    if (std::optional<std::string> id = attribute(node, "id")) {
        entity.id = *id;
    }
    if (entity.id.empty()) {
        warn(ColladaCode::MissingId, "<" + std::string(nameOf(node)) + "> has no id", node);
    }
    entity.name = attributeOr(node, "name");
}

void ColladaReader::registerEntity(const xmlNode* node, ColladaEntity& entity)
{
    if (!entity.id.empty() && document_.findById(entity.id) != nullptr) {
        warn(ColladaCode::DuplicateId, "id " + quoted(entity.id) + " is used twice", node);
    }
    document_.registerEntity(entity);
}

template <typename Entity, typename Read>
void ColladaReader::readLibrary(const xmlNode* library, const char* element,
                                std::vector<std::unique_ptr<Entity>>& list, Read read)
{
    // Every element child becomes an entry, so that positions in the list follow the file.
    for (const xmlNode* node : elementsOf(library)) {
        auto entity = std::make_unique<Entity>();
        readHeader(node, *entity);
        Entity& added = *list.emplace_back(std::move(entity));
        registerEntity(node, added);
        if (!isNamed(node, element)) {
            warn(ColladaCode::WrongElement,
                 "<" + std::string(nameOf(node)) + "> in <" + std::string(nameOf(library)) + "> is not <" +
                     element + ">",
                 node);
            continue;
        }
        read(node, added);
    }
}

// ---- Images and materials

void ColladaReader::readImage(const xmlNode* node, ColladaImage& image)
{
    image.width = unsignedAttribute(node, "width", 0);
    image.height = unsignedAttribute(node, "height", 0);
    image.depth = unsignedAttribute(node, "depth", 0);
    if (const xmlNode* initFrom = firstChild(node, "init_from")) {
        image.fileName = resolveFileReference(document_.baseFolder_, textOf(initFrom));
    }
    if (image.fileName.empty()) {
        fail(ColladaCode::EmptyImageFile, "image " + quoted(image.id) + " names no file", node);
    }
}

void ColladaReader::readMaterial(const xmlNode* node, ColladaMaterial& material)
{
    const xmlNode* instance = firstChild(node, "instance_effect");
    if (instance == nullptr) {
        warn(ColladaCode::MissingInstanceEffect,
             "material " + quoted(material.id) + " has no <instance_effect>", node);
        return;
    }
    material.effectUrl = attributeOr(instance, "url");
    const std::string_view url = material.effectUrl;
    if (url.starts_with("#")) {
        const std::string id(url.substr(1));
        if (id.empty()) {
            warn(ColladaCode::MissingEffectFragment, "material " + quoted(material.id) + " names no effect",
                 instance);
        } else if (const auto found = effectsById_.find(id); found != effectsById_.end()) {
            material.effect = found->second;
        } else {
            warn(ColladaCode::EffectNotFound,
                 "material " + quoted(material.id) + ": effect " + quoted(id) + " not found", instance);
        }
    } else if (url.empty()) {
        warn(ColladaCode::MissingEffectFragment, "material " + quoted(material.id) + " names no effect",
             instance);
    } else {
        warn(ColladaCode::ExternalEffect,
             "material " + quoted(material.id) + ": effect " + quoted(url) + " is in another file", instance);
    }
    for (const xmlNode* child : elementsOf(instance)) {
        if (isNamed(child, "setparam")) {
            material.setParams.push_back(readParameter(child));
        } else if (isNamed(child, "technique_hint")) {
            material.techniqueHints.push_back(
                {attributeOr(child, "platform"), attributeOr(child, "profile"), attributeOr(child, "ref")});
        }
    }
}

// ---- Effects

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
            floatsOf(child, parameter.values);
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
        if (name == "emission") {
            readColor(child, effect, profile, profile.emission);
        } else if (name == "ambient") {
            readColor(child, effect, profile, profile.ambient);
        } else if (name == "diffuse") {
            readColor(child, effect, profile, profile.diffuse);
        } else if (name == "specular") {
            readColor(child, effect, profile, profile.specular);
        } else if (name == "reflective") {
            readColor(child, effect, profile, profile.reflective);
        } else if (name == "transparent") {
            readColor(child, effect, profile, profile.transparent);
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
            readScalar(child, effect, profile, profile.shininess);
        } else if (name == "reflectivity") {
            readScalar(child, effect, profile, profile.reflectivity);
        } else if (name == "transparency") {
            readScalar(child, effect, profile, profile.transparency);
        } else if (name == "index_of_refraction") {
            readScalar(child, effect, profile, profile.indexOfRefraction);
        }
    }
}

void ColladaReader::readColor(const xmlNode* node, const ColladaEffect& effect, const ColladaProfile& profile,
                              ColladaColor& color)
{
    if (firstChild(node, "texture") != nullptr) {
        color = ColladaColor{1.0f, 1.0f, 1.0f, 1.0f};
        return;
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
        } else if (parameter->type == "float3" && parameter->values.size() >= 3) {
            const auto& v = parameter->values;
            color = ColladaColor{v[0], v[1], v[2], 1.0f};
        } else {
            warn(ColladaCode::ParamNotColour,
                 "effect " + quoted(effect.id) + ": parameter " + quoted(ref) + " is not a float3 or float4",
                 param);
        }
        return;
    }
    if (const xmlNode* text = firstChild(node, "color")) {
        std::vector<float> values;
        floatsOf(text, values);
        values.resize(std::max<std::size_t>(values.size(), 3), 0.0f);
        color = ColladaColor{values[0], values[1], values[2], values.size() > 3 ? values[3] : 1.0f};
    }
}

void ColladaReader::readScalar(const xmlNode* node, const ColladaEffect& effect,
                               const ColladaProfile& profile, float& value)
{
    if (firstChild(node, "texture") != nullptr) {
        value = 1.0f;
        return;
    }
    if (const xmlNode* text = firstChild(node, "float")) {
        std::vector<float> values;
        floatsOf(text, values);
        if (!values.empty()) {
            value = values[0];
        }
        return;
    }
    if (const xmlNode* param = firstChild(node, "param")) {
        const std::string ref = attributeOr(param, "ref");
        const EffectParameter* parameter = findParameter(effect, profile, ref);
        if (parameter == nullptr) {
            fail(ColladaCode::ParamNotFound,
                 "effect " + quoted(effect.id) + ": parameter " + quoted(ref) + " not found", param);
        } else if (!parameter->values.empty()) {
            value = parameter->values[0];
        }
    }
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

// ---- Geometries

void ColladaReader::readGeometry(const xmlNode* node, ColladaGeometry& geometry)
{
    for (const xmlNode* child : elementsOf(node)) {
        const std::string_view name = nameOf(child);
        if (name == "mesh") {
            readMesh(child, geometry);
            return;
        }
        if (name == "convex_mesh" || name == "spline") {
            return;
        }
    }
}

void ColladaReader::readMesh(const xmlNode* node, ColladaGeometry& geometry)
{
    geometry.mesh = std::make_unique<ColladaMesh>();
    ColladaMesh& mesh = *geometry.mesh;
    sourcesById_.clear();
    const std::string where = "geometry " + quoted(geometry.id) + ": ";

    for (const xmlNode* child : elementsOf(node)) {
        if (isNamed(child, "source")) {
            ColladaSource& source = *mesh.sources.emplace_back(std::make_unique<ColladaSource>());
            readSource(child, source);
            sourcesById_.emplace(source.id, &source);
        }
    }

    if (const xmlNode* vertices = firstChild(node, "vertices")) {
        bool hasPosition = false;
        for (const xmlNode* input : elementsOf(vertices)) {
            if (!isNamed(input, "input")) {
                continue;
            }
            const std::string semanticName = attributeOr(input, "semantic");
            if (semanticName == "VERTEX") {
                continue;
            }
            const InputSemantic semantic = semanticOf(semanticName);
            if (semantic == InputSemantic::Unknown) {
                warn(ColladaCode::UnknownSemantic, where + "unknown input semantic " + quoted(semanticName),
                     input);
                continue;
            }
            const std::string reference = attributeOr(input, "source");
            const auto found = sourcesById_.find(withoutHash(reference));
            if (found == sourcesById_.end()) {
                // Without its vertex sources the mesh's faces would point at nothing: stop here.
                fail(ColladaCode::VertexSourceNotFound,
                     where + "<vertices> names source " + quoted(reference) + " that is not there", input);
                sourcesById_.clear();
                return;
            }
            found->second->semantic = semantic;
            mesh.vertexSources.push_back(found->second);
            hasPosition = hasPosition || semantic == InputSemantic::Position;
        }
        if (!hasPosition) {
            warn(ColladaCode::NoPositionInVertices, where + "<vertices> has no POSITION input", vertices);
        }
    } else {
        warn(ColladaCode::MissingVertices, where + "the mesh has no <vertices>", node);
    }

    static constexpr std::array<std::pair<std::string_view, GroupKind>, 7> kinds = {{
        {"polygons", GroupKind::Polygons},
        {"triangles", GroupKind::Triangles},
        {"polylist", GroupKind::Polylist},
        {"tristrips", GroupKind::Tristrips},
        {"trifans", GroupKind::Trifans},
        {"lines", GroupKind::Lines},
        {"linestrips", GroupKind::Linestrips},
    }};
    for (const auto& [name, kind] : kinds) {
        for (const xmlNode* child : elementsOf(node)) {
            if (isNamed(child, name)) {
                readGroup(child, kind, mesh);
            }
        }
    }
    if (mesh.groups.empty()) {
        warn(ColladaCode::NoGroups, where + "the mesh has no primitive groups", node);
    }
    const bool hasPosition = std::any_of(mesh.sources.begin(), mesh.sources.end(), [](const auto& source) {
        return source->semantic == InputSemantic::Position;
    });
    if (!hasPosition) {
        fail(ColladaCode::NoPositionSource, where + "the mesh has no POSITION source", node);
    }
    sourcesById_.clear();
}

void ColladaReader::readSource(const xmlNode* node, ColladaSource& source)
{
    source.id = attributeOr(node, "id");
    source.name = attributeOr(node, "name");
    if (const xmlNode* array = firstChild(node, "float_array")) {
        // The array's own count only sizes the first allocation, never beyond what its text can hold.
        // The array's own count only sizes the first allocation, and all such allocations together
        // stay within what the document's size could hold (a number takes at least two bytes).
        const std::uint64_t announced =
            std::min<std::uint64_t>(unsignedAttribute(array, "count", 0), reserveBudget_);
        reserveBudget_ -= announced;
        source.data.reserve(static_cast<std::size_t>(announced));
        floatsOf(array, source.data);
    }
    const xmlNode* common = firstChild(node, "technique_common");
    const xmlNode* accessor = common != nullptr ? firstChild(common, "accessor") : nullptr;
    if (accessor == nullptr) {
        return;
    }
    source.stride = unsignedAttribute(accessor, "stride", 1);
    if (source.stride == 0) {
        warn(ColladaCode::ZeroStride, "source " + quoted(source.id) + " has stride 0 (read as 1)", accessor);
        source.stride = 1;
    }
    const std::uint64_t count = unsignedAttribute(accessor, "count", 0);
    const std::uint64_t wanted = count * source.stride; // both below 2^32: cannot overflow
    if (wanted > source.data.size()) {
        // A short array is padded with zeros, but a document cannot make the reader allocate far
        // more than its own size: all padding together stays below the document's size in floats.
        const std::uint64_t padding = wanted - source.data.size();
        if (padding <= paddingBudget_) {
            paddingBudget_ -= padding;
            source.data.resize(static_cast<std::size_t>(wanted), 0.0f);
        } else {
            warn(ColladaCode::PaddingLimited,
                 "source " + quoted(source.id) + ": accessor count " + std::to_string(count) + " x stride " +
                     std::to_string(source.stride) + " is far beyond its " +
                     std::to_string(source.data.size()) + " numbers (not padded)",
                 accessor);
        }
    }
}

void ColladaReader::readGroup(const xmlNode* node, GroupKind kind, ColladaMesh& mesh)
{
    PrimitiveGroup& group = mesh.groups.emplace_back();
    group.kind = kind;
    group.count = unsignedAttribute(node, "count", 0);
    group.material = attributeOr(node, "material");
    const std::string where = "<" + std::string(nameOf(node)) + "> " + quoted(group.material) + ": ";
    if (group.material.empty()) {
        warn(ColladaCode::EmptyMaterialSymbol, "<" + std::string(nameOf(node)) + "> has no material symbol",
             node);
    }

    std::uint64_t columns = 1;
    bool hasVertex = false;
    const xmlNode* child = firstElement(node);
    for (; child != nullptr; child = nextElement(child)) {
        const std::string_view name = nameOf(child);
        if (name == "p" || name == "ph" || name == "vcount") {
            break;
        }
        if (name != "input") {
            warn(ColladaCode::UnexpectedGroupChild, where + "unexpected <" + std::string(name) + ">", child);
            continue;
        }
        std::uint64_t offset = columns;
        if (std::optional<std::string> text = attribute(child, "offset")) {
            const std::optional<std::uint64_t> value = parseUnsigned64(*text);
            if (value && *value <= 0xFFFFFFFFu) {
                offset = *value;
            } else {
                warn(ColladaCode::BadNumber,
                     where + "input offset " + quoted(*text) + " is not an unsigned number", child);
            }
        }
        // The default offset is the running column count, which may itself pass 32 bits.
        if (offset > 0xFFFFFFFFu) {
            offset = 0xFFFFFFFFu;
        }
        columns = std::max(columns, offset + 1);
        std::int32_t set = -1;
        if (std::optional<std::string> text = attribute(child, "set")) {
            if (std::optional<std::int32_t> value = parseInt32(*text)) {
                set = *value;
            } else {
                warn(ColladaCode::BadNumber, where + "input set " + quoted(*text) + " is not a number",
                     child);
            }
        }
        const std::string semanticName = attributeOr(child, "semantic");
        const InputSemantic semantic = semanticOf(semanticName);
        if (semantic == InputSemantic::Vertex) {
            if (hasVertex) {
                warn(ColladaCode::ExtraVertexInput, where + "a second VERTEX input is ignored", child);
                continue;
            }
            hasVertex = true;
            for (const ColladaSource* source : mesh.vertexSources) {
                group.inputs.push_back(GroupInput{source, static_cast<std::uint32_t>(offset), set, 0});
            }
            continue;
        }
        if (semantic == InputSemantic::Unknown) {
            warn(ColladaCode::UnknownSemantic, where + "unknown input semantic " + quoted(semanticName),
                 child);
            continue;
        }
        const std::string reference = attributeOr(child, "source");
        const auto found = sourcesById_.find(withoutHash(reference));
        if (found == sourcesById_.end()) {
            warn(ColladaCode::InputSourceNotFound,
                 where + "input source " + quoted(reference) + " is not there", child);
            continue;
        }
        found->second->semantic = semantic;
        group.inputs.push_back(GroupInput{found->second, static_cast<std::uint32_t>(offset), set, 0});
    }
    group.columnCount = columns;

    // Inputs that share an offset share one index list.
    for (std::size_t i = 0; i < group.inputs.size(); ++i) {
        std::size_t list = group.indexLists.size();
        for (std::size_t j = 0; j < i; ++j) {
            if (group.inputs[j].offset == group.inputs[i].offset) {
                list = group.inputs[j].indexList;
                break;
            }
        }
        if (list == group.indexLists.size()) {
            group.indexLists.emplace_back();
        }
        group.inputs[i].indexList = list;
    }

    if (child == nullptr) {
        fail(ColladaCode::NoPrimitives, where + "no <p>, <ph> or <vcount>", node);
        return;
    }
    if (!hasVertex) {
        fail(ColladaCode::NoVertexInput, where + "no VERTEX input: the group has no faces", node);
        return;
    }
    for (; child != nullptr; child = nextElement(child)) {
        const std::string_view name = nameOf(child);
        if (name == "vcount") {
            if (kind != GroupKind::Polylist) {
                fail(ColladaCode::MisplacedVcount, where + "<vcount> outside a <polylist>", child);
                continue;
            }
            const std::size_t before = group.faceVertexCounts.size();
            unsignedOf(child, group.faceVertexCounts);
            if (group.faceVertexCounts.size() == before) {
                fail(ColladaCode::EmptyVcount, where + "empty <vcount>", child);
            }
        } else if (name == "p") {
            readFaces(child, group, false);
        } else if (name == "ph") {
            for (const xmlNode* part : elementsOf(child)) {
                const std::string_view partName = nameOf(part);
                if (partName == "p") {
                    readFaces(part, group, false);
                } else if (partName == "h") {
                    readFaces(part, group, true);
                } else {
                    warn(ColladaCode::UnexpectedHoleChild,
                         where + "unexpected <" + std::string(partName) + "> in <ph>", part);
                }
            }
        }
    }
    if (group.count != faceCount(group)) {
        fail(ColladaCode::CountMismatch,
             where + "count " + std::to_string(group.count) + " but " + std::to_string(faceCount(group)) +
                 " faces",
             node);
    }
}

void ColladaReader::readFaces(const xmlNode* node, PrimitiveGroup& group, bool hole)
{
    const std::uint64_t columns = group.columnCount;
    std::uint64_t integers = 0;
    std::size_t bad = 0;
    const char* text = textOf(node);
    if (columns <= 256) {
        // Usual case: deal each integer straight to its column's list, then drop the integers of
        // a last, incomplete face-vertex.
        std::array<std::vector<std::uint32_t>*, 256> lists{};
        std::array<std::size_t, 256> starts{};
        // Room for the face-vertices the group announces (vcount's sum, or count x 3 for
        // triangles), within what the document's size could hold.
        std::uint64_t expected = 0;
        if (group.kind == GroupKind::Polylist) {
            for (std::uint32_t count : group.faceVertexCounts) {
                expected += count;
            }
        } else if (group.kind == GroupKind::Triangles) {
            expected = std::uint64_t{group.count} * 3;
        }
        for (const GroupInput& input : group.inputs) {
            lists[input.offset] = &group.indexLists[input.indexList];
            starts[input.offset] = lists[input.offset]->size();
            if (starts[input.offset] == 0 && lists[input.offset]->capacity() == 0) {
                const std::uint64_t room = std::min(expected, reserveBudget_);
                reserveBudget_ -= room;
                lists[input.offset]->reserve(static_cast<std::size_t>(room));
            }
        }
        std::uint64_t column = 0;
        bad = forEachUnsigned(text, [&](std::uint32_t value) {
            if (lists[column] != nullptr) {
                lists[column]->push_back(value);
            }
            if (++column == columns) {
                column = 0;
            }
            ++integers;
        });
        for (std::uint64_t c = 0; c < columns; ++c) {
            if (lists[c] != nullptr) {
                lists[c]->resize(starts[c] + integers / columns);
            }
        }
    } else {
        indexScratch_.clear();
        bad = appendUnsigned(text, indexScratch_);
        integers = indexScratch_.size();
        const std::uint64_t faceVertices = integers / columns;
        std::vector<bool> filled(group.indexLists.size(), false);
        for (const GroupInput& input : group.inputs) {
            if (faceVertices == 0 || filled[input.indexList]) {
                continue;
            }
            filled[input.indexList] = true;
            std::vector<std::uint32_t>& list = group.indexLists[input.indexList];
            for (std::uint64_t v = 0; v < faceVertices; ++v) {
                list.push_back(indexScratch_[v * columns + input.offset]);
            }
        }
    }
    if (bad > 0) {
        warn(ColladaCode::BadNumber,
             "<" + std::string(nameOf(node)) + "> has " + std::to_string(bad) +
                 " entries that are not unsigned 32-bit numbers (read as past the data)",
             node);
    }

    const std::uint64_t faceVertices = integers / columns;
    if (hole) {
        group.holeFaces.push_back(static_cast<std::uint32_t>(group.faceVertexCounts.size()));
        group.faceVertexCounts.push_back(static_cast<std::uint32_t>(faceVertices));
    } else {
        switch (group.kind) {
        case GroupKind::Triangles:
            group.faceVertexCounts.insert(group.faceVertexCounts.end(), faceVertices / 3, 3u);
            break;
        case GroupKind::Lines:
            group.faceVertexCounts.insert(group.faceVertexCounts.end(), faceVertices / 2, 2u);
            break;
        case GroupKind::Polylist:
            break; // the counts come from <vcount>
        default:
            group.faceVertexCounts.push_back(static_cast<std::uint32_t>(faceVertices));
            break;
        }
    }
    group.faceVertexTotal += faceVertices;
}

} // namespace libkub
