#pragma once
// The document's <asset> unit and up axis. Kept for inspection only: coordinates are never converted.
#include <string>

namespace libkub {

enum class UpAxis : int {
    X = 0,
    Y = 1,
    Z = 2,
};

struct ColladaAsset {
    float unitMeter = 1.0f;
    std::string unitName = "meter";
    UpAxis upAxis = UpAxis::Y;
};

} // namespace libkub
