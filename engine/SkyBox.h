#pragma once
// The sky: a textured cube 80 units on a side, drawn first around the eye without depth.

namespace libkub {

class SkyBox {
  public:
    SkyBox(); // loads data/SkyBox0.png to data/SkyBox5.png
    ~SkyBox();
    SkyBox(const SkyBox&) = delete;
    SkyBox& operator=(const SkyBox&) = delete;

    void draw();

    unsigned faceTextures[6] = {};
    int width = 0;
    int height = 0;
    int loadStatus = 0;
    float centre[3] = {0.0f, 0.0f, 0.0f};
};

} // namespace libkub
