#pragma once
// Why a document gives nothing to draw, in words a modder can act on: no triangles, or triangles
// without any area.
#include <cstddef>
#include <string>

namespace libkub {

class ColladaDocument;
struct Triangle;

// Empty when the document has an all-triangle group with faces; otherwise what it has instead,
// for example "2 polylist groups with quads; export triangulated".
std::string whyNoTriangles(const ColladaDocument& document);

// Empty when no triangles were given or one of them has an area; otherwise why none has, from the
// numbers the reader could not read in the triangles' position sources, for example
// "no triangle has any area: all 1590 position values are not numbers (read as 0)".
std::string whyNoArea(const ColladaDocument& document, const Triangle* triangles, std::size_t count);

} // namespace libkub
