// The reader's geometries: meshes, sources, primitive groups and their index data.
#include "collada/ColladaReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "collada/ColladaNumbers.h"
#include "collada/HugePages.h"
#include "collada/ColladaPath.h"
#include "collada/ColladaQueries.h"
#include "collada/ColladaXml.h"

namespace libkub {

using namespace xml;

namespace {

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

} // namespace

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
        // The array's own count only sizes the first allocation, and all such allocations together
        // stay within what the document's size could hold (a number takes at least two bytes).
        const std::uint64_t announced =
            std::min<std::uint64_t>(unsignedAttribute(array, "count", 0), reserveBudget_);
        reserveBudget_ -= announced;
        source.data.reserve(static_cast<std::size_t>(announced));
        adviseHugePages(source.data.data(), source.data.capacity() * sizeof(float));
        source.notNumbers = floatsOf(array, source.data);
        source.arrayValues = source.data.size();
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
                adviseHugePages(lists[input.offset]->data(),
                                lists[input.offset]->capacity() * sizeof(std::uint32_t));
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
