#pragma once
// Why a document gives no triangles to draw, in words a modder can act on.
#include <string>

namespace libkub {

class ColladaDocument;

// Empty when the document has an all-triangle group with faces; otherwise what it has instead,
// for example "2 polylist groups with quads; export triangulated".
std::string whyNoTriangles(const ColladaDocument& document);

} // namespace libkub
