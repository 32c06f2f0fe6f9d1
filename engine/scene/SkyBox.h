#pragma once
// The sky: a textured cube 80 units on a side around the eye, behind everything else.

namespace libkub {

class SkyBox {
  public:
    // Loads data/SkyBox0.png to data/SkyBox5.png: top, bottom, +x, -x, +z, -z. A face that cannot
    // be loaded is named on standard error and shows a plain sky colour.
    SkyBox();
    ~SkyBox();
    SkyBox(const SkyBox&) = delete;
    SkyBox& operator=(const SkyBox&) = delete;

    // Draws the cube around centre on texture unit 0, with the depth test off while it draws: drawn
    // first, everything drawn after it covers it.
    void draw();
    // The same picture drawn after the scene: the cube is pushed to the far plane (depth range 1..1)
    // and drawn with the depth test on and depth writes off, so it lands only on pixels the scene left
    // at the cleared depth. Each sky pixel is then shaded once, and none that the scene covers.
    void drawBehindScene();

    unsigned faceTextures[6] = {};
    int width = 0; // of the face image read last
    int height = 0;
    int loadStatus = 0; // the PngStatus of the face read last
    float centre[3] = {0.0f, 0.0f, 0.0f};

  private:
    void drawFaces();
};

// The colour of a face whose image cannot be loaded.
inline constexpr unsigned char plainSkyColour[3] = {120, 165, 215};

} // namespace libkub
