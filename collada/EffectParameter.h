#pragma once
// A <newparam> or <setparam> of an effect, profile or material: its name and value.
#include <string>
#include <vector>

namespace libkub {

struct EffectParameter {
    std::string sid;           // sid of a newparam, ref of a setparam
    std::string type;          // element name of the value: "float", "float3", "float4", "surface", ...
    std::vector<float> values; // the numbers of a float-typed value
    bool unreadable = false;   // some of those were not numbers (and read as 0)
    std::string text;          // for other values: the text of their first child with text (a surface's
                               // init_from, a sampler's source)
};

} // namespace libkub
