#pragma once
// An effect: its parameters and its profiles (common, or shader profiles), in document order.
#include <memory>
#include <vector>

#include "collada/ColladaEntity.h"
#include "collada/ColladaProfile.h"
#include "collada/EffectParameter.h"
#include "collada/ShaderProfile.h"

namespace libkub {

struct ColladaEffect : ColladaEntity {
    ColladaEffect() : ColladaEntity(EntityKind::Effect) {}

    std::vector<EffectParameter> parameters; // <newparam> and <setparam> children of <effect>
    std::vector<std::unique_ptr<ColladaProfile>> profiles;
};

} // namespace libkub
