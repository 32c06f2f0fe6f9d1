#pragma once
// The interface of everything drawn over the scene, last in every frame.

namespace libkub {

class HUDElement {
  public:
    virtual void draw() = 0;

  protected:
    ~HUDElement() = default;
};

} // namespace libkub
