#include "tests/support/HostileModels.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

namespace kubora::test {

namespace {

struct Point {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    auto operator<=>(const Point&) const = default;
};

struct Corner {
    Point position;
    Point normal;
    float s = 0.0f;
    float t = 0.0f;
};

using Triangle = std::array<Corner, 3>;
using Triangles = std::vector<Triangle>;

// The normal of the triangle's winding (counter-clockwise front), not normalised.
Point windingNormal(const Point& a, const Point& b, const Point& c)
{
    const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    return {static_cast<float>(uy * vz - uz * vy), static_cast<float>(uz * vx - ux * vz),
            static_cast<float>(ux * vy - uy * vx)};
}

float dot(const Point& a, const Point& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// A quad of four corners in cyclic order as two triangles wound to face `outward`; each corner takes
// its own normal (the face's when none is given).
void addQuad(Triangles& out, std::array<Point, 4> corners, Point outward, std::array<Point, 4> normals = {})
{
    const bool given = normals[0].x != 0.0f || normals[0].y != 0.0f || normals[0].z != 0.0f;
    if (!given) {
        normals = {outward, outward, outward, outward};
    }
    std::array<std::array<float, 2>, 4> coords{{{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}}};
    if (dot(windingNormal(corners[0], corners[1], corners[2]), outward) < 0.0f) {
        std::swap(corners[1], corners[3]);
        std::swap(normals[1], normals[3]);
        std::swap(coords[1], coords[3]);
    }
    const auto corner = [&](int i) { return Corner{corners[i], normals[i], coords[i][0], coords[i][1]}; };
    out.push_back({corner(0), corner(1), corner(2)});
    out.push_back({corner(0), corner(2), corner(3)});
}

void addTriangle(Triangles& out, std::array<Point, 3> corners, Point outward)
{
    if (dot(windingNormal(corners[0], corners[1], corners[2]), outward) < 0.0f) {
        std::swap(corners[1], corners[2]);
    }
    out.push_back({Corner{corners[0], outward, 0.0f, 0.0f}, Corner{corners[1], outward, 1.0f, 0.0f},
                   Corner{corners[2], outward, 0.0f, 1.0f}});
}

// The six faces of the box, wound outwards; `withoutTop` leaves the +y face out.
Triangles box(Point lo, Point hi, bool withoutTop = false)
{
    Triangles out;
    addQuad(out, {{{hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}}},
            {1, 0, 0});
    addQuad(out, {{{lo.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z}}},
            {-1, 0, 0});
    if (!withoutTop) {
        addQuad(out, {{{lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}}},
                {0, 1, 0});
    }
    addQuad(out, {{{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}}},
            {0, -1, 0});
    addQuad(out, {{{lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}}},
            {0, 0, 1});
    addQuad(out, {{{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z}}},
            {0, 0, -1});
    return out;
}

// Every triangle wound the other way round, its normals left pointing outwards.
Triangles insideOut(Triangles triangles)
{
    for (Triangle& triangle : triangles) {
        std::swap(triangle[1], triangle[2]);
    }
    return triangles;
}

void append(Triangles& to, const Triangles& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

// A wedge along z: its cross-section is the right triangle (x0, y0), (x1, y0), (x0, y1).
Triangles wedge(float x0, float x1, float y0, float y1, float z0, float z1)
{
    Triangles out;
    addTriangle(out, {{{x0, y0, z1}, {x1, y0, z1}, {x0, y1, z1}}}, {0, 0, 1});
    addTriangle(out, {{{x0, y0, z0}, {x1, y0, z0}, {x0, y1, z0}}}, {0, 0, -1});
    addQuad(out, {{{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}}}, {0, -1, 0});
    addQuad(out, {{{x0, y0, z0}, {x0, y1, z0}, {x0, y1, z1}, {x0, y0, z1}}}, {-1, 0, 0});
    const float length = std::hypot(x1 - x0, y1 - y0);
    addQuad(out, {{{x1, y0, z0}, {x0, y1, z0}, {x0, y1, z1}, {x1, y0, z1}}},
            {(y1 - y0) / length, (x1 - x0) / length, 0});
    return out;
}

// Positions and normals mirrored in x, each triangle's corners left in their order.
Triangles mirroredInX(Triangles triangles)
{
    for (Triangle& triangle : triangles) {
        for (Corner& corner : triangle) {
            corner.position.x = -corner.position.x;
            corner.normal.x = -corner.normal.x;
        }
    }
    return triangles;
}

// An eight-sided prism around the y axis: caps as fans with flat normals, sides with smooth ones.
Triangles prism(float radius, float y0, float y1)
{
    constexpr int sides = 8;
    std::array<Point, sides> rim{};
    for (int k = 0; k < sides; ++k) {
        const double angle = 2.0 * 3.141592653589793 * k / sides;
        rim[k] = {static_cast<float>(radius * std::cos(angle)), 0.0f,
                  static_cast<float>(radius * std::sin(angle))};
    }
    Triangles out;
    for (int k = 0; k < sides; ++k) {
        const Point& a = rim[k];
        const Point& b = rim[(k + 1) % sides];
        const Point na{a.x / radius, 0.0f, a.z / radius};
        const Point nb{b.x / radius, 0.0f, b.z / radius};
        const Point middle{(na.x + nb.x) * 0.5f, 0.0f, (na.z + nb.z) * 0.5f};
        addQuad(out, {{{a.x, y0, a.z}, {b.x, y0, b.z}, {b.x, y1, b.z}, {a.x, y1, a.z}}}, middle,
                {na, nb, nb, na});
        addTriangle(out, {{{0.0f, y1, 0.0f}, {a.x, y1, a.z}, {b.x, y1, b.z}}}, {0, 1, 0});
        addTriangle(out, {{{0.0f, y0, 0.0f}, {a.x, y0, a.z}, {b.x, y0, b.z}}}, {0, -1, 0});
    }
    return out;
}

Triangles degenerate()
{
    const Point lo{-0.9f, -0.2f, -0.9f};
    const Point hi{0.9f, 0.25f, 0.9f};
    Triangles out = box(lo, hi);
    const Point a{lo.x, hi.y, lo.z};
    const Point b{hi.x, hi.y, lo.z};
    const Point middle{0.0f, hi.y, lo.z};
    const Point up{0.0f, 1.0f, 0.0f};
    const auto corner = [&](Point p) { return Corner{p, up, 0.5f, 0.5f}; };
    out.push_back({corner(a), corner(a), corner(b)});           // two equal corners
    out.push_back({corner(b), corner(b), corner(b)});           // three equal corners
    out.push_back({corner(a), corner(middle), corner(b)});      // zero area on one line
    out.push_back({corner(middle), corner(a), corner(middle)}); // and once more, the other way
    return out;
}

struct Colour {
    float r, g, b;
};

struct Design {
    Triangles triangles;
    Colour diffuse;
    bool sharePositions = true; // one position entry per distinct position, else one per corner
};

Design designOf(const std::string& name)
{
    if (name == "inside-out-part") {
        Triangles triangles = box({-1.0f, -0.2f, -1.0f}, {0.2f, 0.2f, 1.0f});
        append(triangles, insideOut(box({0.35f, -0.2f, -0.6f}, {0.95f, 0.35f, 0.6f})));
        return {triangles, {0.85f, 0.45f, 0.2f}};
    }
    if (name == "inside-out") {
        return {insideOut(box({-0.9f, -0.2f, -0.9f}, {0.9f, 0.3f, 0.9f})), {0.3f, 0.6f, 0.85f}};
    }
    if (name == "mirrored") {
        Triangles triangles = wedge(0.15f, 0.9f, -0.2f, 0.35f, -0.8f, 0.8f);
        append(triangles, mirroredInX(triangles));
        return {triangles, {0.6f, 0.8f, 0.3f}};
    }
    if (name == "open-box") {
        return {box({-0.9f, -0.2f, -0.9f}, {0.9f, 0.3f, 0.9f}, true), {0.9f, 0.8f, 0.3f}};
    }
    if (name == "degenerate") {
        return {degenerate(), {0.7f, 0.4f, 0.7f}};
    }
    if (name == "split-normals") {
        return {prism(0.9f, -0.2f, 0.3f), {0.4f, 0.75f, 0.7f}, false};
    }
    // far-thin
    return {box({59999.0f, -0.03125f, 79999.0f}, {60001.0f, 0.03125f, 80001.0f}), {0.8f, 0.8f, 0.8f}};
}

std::string number(float value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    return text;
}

std::string colladaText(const std::string& name, const Design& design)
{
    std::vector<Point> positions;
    std::map<Point, std::size_t> positionIndex;
    std::vector<Point> normals;
    std::map<Point, std::size_t> normalIndex;
    std::vector<std::array<float, 2>> coords;
    std::ostringstream indices;
    const auto indexOf = [](std::vector<Point>& list, std::map<Point, std::size_t>& index, Point p,
                            bool share) {
        if (share) {
            const auto found = index.find(p);
            if (found != index.end()) {
                return found->second;
            }
            index.emplace(p, list.size());
        }
        list.push_back(p);
        return list.size() - 1;
    };
    for (const Triangle& triangle : design.triangles) {
        for (const Corner& corner : triangle) {
            const std::size_t p = indexOf(positions, positionIndex, corner.position, design.sharePositions);
            const std::size_t n = indexOf(normals, normalIndex, corner.normal, true);
            coords.push_back({corner.s, corner.t});
            indices << p << ' ' << n << ' ' << coords.size() - 1 << ' ';
        }
    }
    const auto points = [](const std::vector<Point>& list) {
        std::string text;
        for (const Point& p : list) {
            text += number(p.x) + " " + number(p.y) + " " + number(p.z) + " ";
        }
        return text;
    };
    std::string coordText;
    for (const auto& c : coords) {
        coordText += number(c[0]) + " " + number(c[1]) + " ";
    }
    const Colour& d = design.diffuse;
    const std::string diffuse = number(d.r) + " " + number(d.g) + " " + number(d.b) + " 1";
    const std::string ambient =
        number(d.r * 0.8f) + " " + number(d.g * 0.8f) + " " + number(d.b * 0.8f) + " 1";
    std::ostringstream out;
    out << R"(<?xml version="1.0" encoding="utf-8"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
  <asset>
    <contributor><authoring_tool>tests/support/HostileModels.cpp</authoring_tool></contributor>
    <created>2026-01-01T00:00:00</created>
    <modified>2026-01-01T00:00:00</modified>
    <unit name="meter" meter="1"/>
    <up_axis>Y_UP</up_axis>
  </asset>
  <library_effects>
    <effect id="m-effect">
      <profile_COMMON>
        <technique sid="common">
          <phong>
            <emission><color>0 0 0 1</color></emission>
            <ambient><color>)"
        << ambient << R"(</color></ambient>
            <diffuse><color>)"
        << diffuse << R"(</color></diffuse>
            <specular><color>0.3 0.3 0.3 1</color></specular>
            <shininess><float>32</float></shininess>
          </phong>
        </technique>
      </profile_COMMON>
    </effect>
  </library_effects>
  <library_materials>
    <material id="m-material"><instance_effect url="#m-effect"/></material>
  </library_materials>
  <library_geometries>
    <geometry id=")"
        << name << R"(-geometry" name=")" << name << R"(">
      <mesh>
        <source id="positions">
          <float_array id="positions-array" count=")"
        << positions.size() * 3 << "\">" << points(positions) << R"(</float_array>
          <technique_common>
            <accessor source="#positions-array" count=")"
        << positions.size()
        << R"(" stride="3"><param name="X" type="float"/><param name="Y" type="float"/><param name="Z" type="float"/></accessor>
          </technique_common>
        </source>
        <source id="normals">
          <float_array id="normals-array" count=")"
        << normals.size() * 3 << "\">" << points(normals) << R"(</float_array>
          <technique_common>
            <accessor source="#normals-array" count=")"
        << normals.size()
        << R"(" stride="3"><param name="X" type="float"/><param name="Y" type="float"/><param name="Z" type="float"/></accessor>
          </technique_common>
        </source>
        <source id="texcoords">
          <float_array id="texcoords-array" count=")"
        << coords.size() * 2 << "\">" << coordText << R"(</float_array>
          <technique_common>
            <accessor source="#texcoords-array" count=")"
        << coords.size()
        << R"(" stride="2"><param name="S" type="float"/><param name="T" type="float"/></accessor>
          </technique_common>
        </source>
        <vertices id="vertices"><input semantic="POSITION" source="#positions"/></vertices>
        <triangles material="m-symbol" count=")"
        << design.triangles.size() << R"(">
          <input semantic="VERTEX" source="#vertices" offset="0"/>
          <input semantic="NORMAL" source="#normals" offset="1"/>
          <input semantic="TEXCOORD" source="#texcoords" offset="2" set="0"/>
          <p>)"
        << indices.str() << R"(</p>
        </triangles>
      </mesh>
    </geometry>
  </library_geometries>
  <library_visual_scenes>
    <visual_scene id="scene">
      <node id="node">
        <instance_geometry url="#)"
        << name << R"(-geometry">
          <bind_material><technique_common>
            <instance_material symbol="m-symbol" target="#m-material"/>
          </technique_common></bind_material>
        </instance_geometry>
      </node>
    </visual_scene>
  </library_visual_scenes>
  <scene><instance_visual_scene url="#scene"/></scene>
</COLLADA>
)";
    return out.str();
}

} // namespace

const std::vector<HostileModel>& hostileModels()
{
    static const std::vector<HostileModel> models{
        {"inside-out-part", "a correctly wound box beside a smaller one wound inside-out", false, true},
        {"inside-out", "one box wound inside-out", false, true},
        {"mirrored", "a wedge and its copy mirrored in x, the winding left as written", false, true},
        {"open-box", "a box without its top", false, true},
        {"degenerate", "a closed box with degenerate and zero-area triangles added", false, true},
        {"split-normals", "a prism with every position repeated per face and split normals", true, true},
        {"far-thin", "a thin closed box 100,000 units from the origin", true, false},
    };
    return models;
}

std::string writeHostileModel(const HostileModel& model, const std::string& folder)
{
    const std::string path = folder + "/" + model.name + ".dae";
    std::ofstream file(path, std::ios::binary);
    file << colladaText(model.name, designOf(model.name));
    file.close();
    return file ? path : std::string();
}

std::vector<std::string> writeHostileModels(const std::string& folder)
{
    std::vector<std::string> paths;
    for (const HostileModel& model : hostileModels()) {
        paths.push_back(writeHostileModel(model, folder));
    }
    return paths;
}

std::string hostileTestName(const std::string& name)
{
    std::string result;
    bool upper = true;
    for (const char c : name) {
        if (c == '-') {
            upper = true;
            continue;
        }
        result += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        upper = false;
    }
    return result;
}

} // namespace kubora::test
