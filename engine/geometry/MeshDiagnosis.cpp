#include "engine/geometry/MeshDiagnosis.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "collada/ColladaDocument.h"
#include "collada/ColladaQueries.h"
#include "engine/geometry/Triangle.h"

namespace libkub {

namespace {

const char* kindName(GroupKind kind)
{
    switch (kind) {
    case GroupKind::Polygons:
        return "polygons";
    case GroupKind::Triangles:
        return "triangles";
    case GroupKind::Polylist:
        return "polylist";
    case GroupKind::Tristrips:
        return "tristrips";
    case GroupKind::Trifans:
        return "trifans";
    case GroupKind::Lines:
        return "lines";
    case GroupKind::Linestrips:
        return "linestrips";
    }
    return "unknown";
}

// What keeps one group from drawing, e.g. "polylist groups with quads".
std::string groupShape(const PrimitiveGroup& group)
{
    const std::string kind = kindName(group.kind);
    if (faceCount(group) == 0) {
        return kind + " groups without faces";
    }
    switch (group.kind) {
    case GroupKind::Tristrips:
    case GroupKind::Trifans:
    case GroupKind::Lines:
    case GroupKind::Linestrips:
        return kind + " groups";
    default:
        break;
    }
    std::uint32_t most = 0;
    bool allQuads = true;
    for (std::uint32_t count : group.faceVertexCounts) {
        most = std::max(most, count);
        allQuads = allQuads && count == 4;
    }
    if (allQuads) {
        return kind + " groups with quads";
    }
    return kind + " groups with polygons of up to " + std::to_string(most) + " corners";
}

// Any non-zero component of the cross product of two edges: a triangle too small for the length of
// that product to be a float still counts.
bool hasArea(const Triangle& triangle)
{
    const Vector3f& a = triangle.corners[0].position;
    const Vector3f normal = cross(triangle.corners[1].position - a, triangle.corners[2].position - a);
    return normal.x != 0.0f || normal.y != 0.0f || normal.z != 0.0f;
}

// What the reader made of the position sources the triangles are built from.
struct PositionValues {
    bool anySource = false;
    std::size_t values = 0;
    std::size_t notNumbers = 0;
};

PositionValues positionValues(const ColladaDocument& document)
{
    std::set<const ColladaSource*> sources; // a source shared by several groups counts once
    for (const auto& geometry : document.geometries()) {
        if (!geometry->mesh) {
            continue;
        }
        for (const PrimitiveGroup& group : geometry->mesh->groups) {
            if (!isAllTriangles(group) || faceCount(group) == 0) {
                continue;
            }
            if (const GroupInput* input = findInput(group, InputSemantic::Position)) {
                sources.insert(input->source);
            }
        }
    }
    PositionValues read;
    read.anySource = !sources.empty();
    for (const ColladaSource* source : sources) {
        read.values += source->arrayValues;
        read.notNumbers += source->notNumbers;
    }
    return read;
}

} // namespace

std::string whyNoArea(const ColladaDocument& document, const Triangle* triangles, std::size_t count)
{
    if (count == 0 || std::any_of(triangles, triangles + count, hasArea)) {
        return {};
    }
    const PositionValues read = positionValues(document);
    std::string cause;
    if (!read.anySource) {
        cause = "no triangle group has a POSITION input";
    } else if (read.notNumbers > 0) {
        cause = (read.notNumbers == read.values
                     ? "all " + std::to_string(read.values)
                     : std::to_string(read.notNumbers) + " of " + std::to_string(read.values)) +
                " position values are not numbers (read as 0)";
    } else {
        cause = "the corners of every triangle lie on one line";
    }
    return "no triangle has any area: " + cause;
}

std::string whyNoTriangles(const ColladaDocument& document)
{
    if (document.geometries().empty()) {
        return "no geometry";
    }
    std::map<std::string, int> shapes; // sorted, so the text is the same from run to run
    int withoutMesh = 0;
    bool triangulate = false;
    for (const auto& geometry : document.geometries()) {
        if (!geometry->mesh) {
            ++withoutMesh;
            continue;
        }
        for (const PrimitiveGroup& group : geometry->mesh->groups) {
            if (isAllTriangles(group) && faceCount(group) > 0) {
                return {};
            }
            ++shapes[groupShape(group)];
            triangulate = triangulate || (group.kind != GroupKind::Lines &&
                                          group.kind != GroupKind::Linestrips && faceCount(group) > 0);
        }
    }
    std::string text;
    for (const auto& [shape, count] : shapes) {
        std::string phrase = std::to_string(count) + " " + shape;
        if (count == 1) {
            phrase.replace(phrase.find(" groups"), 7, " group");
        }
        text += (text.empty() ? "" : ", ") + phrase;
    }
    if (withoutMesh > 0) {
        text += (text.empty() ? "" : ", ") + std::to_string(withoutMesh) + " geometr" +
                (withoutMesh == 1 ? "y" : "ies") + " without a <mesh>";
    }
    if (text.empty()) {
        text = "meshes without primitive groups";
    }
    if (triangulate) {
        text += "; export triangulated";
    }
    return text;
}

} // namespace libkub
