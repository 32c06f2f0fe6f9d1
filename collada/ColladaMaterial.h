#pragma once
// A material: the effect it instantiates, with the parameters and hints it sets on it.
#include <string>
#include <vector>

#include "collada/ColladaEntity.h"
#include "collada/EffectParameter.h"

namespace libkub {

struct ColladaEffect;

struct TechniqueHint {
    std::string platform;
    std::string profile;
    std::string ref;
};

struct ColladaMaterial : ColladaEntity {
    ColladaMaterial() : ColladaEntity(EntityKind::Material) {}

    const ColladaEffect* effect = nullptr; // null when the url is missing, external or not found
    std::string effectUrl;                 // the url as written
    std::vector<EffectParameter> setParams;
    std::vector<TechniqueHint> techniqueHints;
};

} // namespace libkub
