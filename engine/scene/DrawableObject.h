#pragma once
// The interface of everything drawn in the 3D scene.

namespace libkub {

class Model;

class DrawableObject {
  public:
    virtual void draw() = 0;
    virtual Model* model() = 0;
    // True when draw() does nothing but draw the model: the renderer may then draw the model itself,
    // together with its copies.
    virtual bool drawsOnlyItsModel() const { return false; }
    virtual ~DrawableObject() = default;
};

} // namespace libkub
