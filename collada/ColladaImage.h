#pragma once
// An image entry: the texture file a document names, resolved to an absolute path.
#include <cstdint>
#include <string>

#include "collada/ColladaEntity.h"

namespace libkub {

struct ColladaImage : ColladaEntity {
    ColladaImage() : ColladaEntity(EntityKind::Image) {}

    std::uint32_t width = 0; // 0 when the attribute is absent
    std::uint32_t height = 0;
    std::uint32_t depth = 0;
    std::string fileName; // absolute, '/'-separated; empty when the document gave none
};

} // namespace libkub
