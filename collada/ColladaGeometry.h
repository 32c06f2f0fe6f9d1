#pragma once
// A geometry entry; only <mesh> geometries carry triangles.
#include <memory>

#include "collada/ColladaEntity.h"
#include "collada/ColladaMesh.h"

namespace libkub {

struct ColladaGeometry : ColladaEntity {
    ColladaGeometry() : ColladaEntity(EntityKind::Geometry) {}

    std::unique_ptr<ColladaMesh> mesh; // null unless the geometry's first shape is a <mesh>
};

} // namespace libkub
