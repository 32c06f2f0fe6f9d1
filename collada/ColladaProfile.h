#pragma once
// Effect profiles: the common profile with its lighting colours; shader profiles are in ShaderProfile.h.
#include <string>
#include <vector>

#include "collada/EffectParameter.h"

namespace libkub {

// From the profile element's name; Unknown profiles are skipped.
enum class ProfileKind : int {
    CG = 0,
    HLSL = 1,
    GLSL = 2,
    GLES = 3,
    Common = 4,
    Unknown = 5,
};

enum class ShadingModel : int {
    Constant = 0,
    Lambert = 1,
    Phong = 2,
    Blinn = 3,
};

// How <transparent> is combined with <transparency>.
enum class OpaqueMode : int {
    AOne = 0,
    RgbZero = 1,
};

struct ColladaColor {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
    friend bool operator==(const ColladaColor&, const ColladaColor&) = default;
};

struct ColladaProfile {
    explicit ColladaProfile(ProfileKind kind) : kind(kind) {}
    virtual ~ColladaProfile() = default;
    ColladaProfile(const ColladaProfile&) = delete;
    ColladaProfile& operator=(const ColladaProfile&) = delete;

    ProfileKind kind;
    std::vector<EffectParameter> parameters; // the profile's own <newparam>s
};

// profile_COMMON. A colour given as a texture reads as white, a scalar given as a texture as 1.
struct CommonProfile : ColladaProfile {
    CommonProfile() : ColladaProfile(ProfileKind::Common) {}

    ShadingModel shadingModel = ShadingModel::Constant;
    ColladaColor emission;
    ColladaColor ambient;
    ColladaColor diffuse;
    ColladaColor specular;
    float shininess = 20.0f;
    float specularFactor = 1.0f;
    ColladaColor reflective;
    float reflectivity = 0.0f;
    ColladaColor transparent;
    OpaqueMode opaque = OpaqueMode::AOne;
    float transparency = 1.0f;
    float indexOfRefraction = 1.0f;
    // The colours and values above, by element name ("diffuse", "shininess"), whose text held tokens
    // that are not numbers. Those tokens read as 0 as everywhere, so such a value is no colour the file
    // meant; users decide what to show instead.
    std::vector<std::string> unreadable;
};

} // namespace libkub
