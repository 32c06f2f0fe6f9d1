// The reader's core: text and numbers of elements, the document root, libraries, images and materials.
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

bool isSkippedLibrary(std::string_view name)
{
    static constexpr std::array<std::string_view, 11> skipped = {
        "library_animations",     "library_animation_clips", "library_controllers",
        "library_cameras",        "library_lights",          "library_force_fields",
        "library_visual_scenes",  "library_nodes",           "library_physics_materials",
        "library_physics_models", "library_physics_scenes"};
    return std::find(skipped.begin(), skipped.end(), name) != skipped.end();
}

// A library's <asset> and <extra> describe the library itself; COLLADA allows both before and
// after its entries, and neither is an entry.
bool isLibraryAnnotation(const xmlNode* node)
{
    return isNamed(node, "asset") || isNamed(node, "extra");
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

std::size_t ColladaReader::floatsOf(const xmlNode* node, std::vector<float>& out)
{
    const std::size_t bad = appendFloats(textOf(node), out);
    if (bad > 0) {
        warn(ColladaCode::BadNumber,
             "<" + std::string(nameOf(node)) + "> has " + std::to_string(bad) +
                 " entries that are not numbers (read as 0)",
             node);
    }
    return bad;
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
                if (isLibraryAnnotation(node)) {
                    continue;
                }
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
    // Every element child but the library's own <asset> and <extra> becomes an entry, so that
    // positions in the list follow the file.
    for (const xmlNode* node : elementsOf(library)) {
        if (isLibraryAnnotation(node)) {
            continue;
        }
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

} // namespace libkub
