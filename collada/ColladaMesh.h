#pragma once
// A <mesh>: its sources, the sources its <vertices> gathers, and its primitive groups.
#include <memory>
#include <vector>

#include "collada/ColladaSource.h"
#include "collada/PrimitiveGroup.h"

namespace libkub {

struct ColladaMesh {
    std::vector<std::unique_ptr<ColladaSource>> sources;
    std::vector<const ColladaSource*> vertexSources; // the inputs of <vertices>, in order
    // Polygons first, then triangles, then polylists (then strips, fans and lines), each in
    // document order.
    std::vector<PrimitiveGroup> groups;
};

} // namespace libkub
