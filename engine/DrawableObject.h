#pragma once
// The interface of everything drawn in the 3D scene.

namespace libkub {

class Model;

class DrawableObject {
  public:
    virtual void draw() = 0;
    virtual Model* model() = 0;
    virtual ~DrawableObject() = default;
};

} // namespace libkub
