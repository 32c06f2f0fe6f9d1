#pragma once
// The sky: a textured cube 80 units on a side, drawn first around the eye without depth.

namespace libkub {

class SkyBox {
  public:
    // Loads data/SkyBox0.png to data/SkyBox5.png: top, bottom, +x, -x, +z, -z. A face that cannot
    // be loaded is named on standard error and shows a plain sky colour.
    SkyBox();
    ~SkyBox();
    SkyBox(const SkyBox&) = delete;
    SkyBox& operator=(const SkyBox&) = delete;

    // Draws the cube around centre on texture unit 0, with the depth test off while it draws.
    void draw();

    unsigned faceTextures[6] = {};
    int width = 0; // of the face image read last
    int height = 0;
    int loadStatus = 0; // the PngStatus of the face read last
    float centre[3] = {0.0f, 0.0f, 0.0f};
};

// The colour of a face whose image cannot be loaded.
inline constexpr unsigned char plainSkyColour[3] = {120, 165, 215};

} // namespace libkub
