#pragma once
// The lighting colours a model is drawn with.
#include "engine/math/Color4f.h"

namespace libkub {

struct Material {
    Color4f ambient{0.0f, 0.0f, 0.0f, 1.0f};
    Color4f diffuse{1.0f, 1.0f, 1.0f, 1.0f};
    Color4f specular{1.0f, 1.0f, 1.0f, 1.0f};
    Color4f emission{0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;
};

// Makes the material GL's current one, front and back: every way a model is drawn goes through here.
void applyMaterial(const Material& material);

} // namespace libkub
