#pragma once
// The sky's picture kept from one frame to the next. The sky drawn behind the scene gives each pixel the
// scene leaves uncovered a colour that depends only on the camera, the viewport, the clear colour and
// the polygon mode: while those stay, the sky's picture is the same in every frame. So the sky is drawn
// behind an empty scene into an off-screen buffer of the viewport's size when those change (the camera
// moved), and every frame copies that picture into the frame (a framebuffer blit) before the camera pass
// covers it: while the camera stands still no sky fragment is shaded at all. A frame in which the
// camera moved shades the whole sky once, where the sky drawn behind the scene shades only what shows.
// The bound it keeps: one level anywhere (the sky drawn into the off-screen buffer can round a few
// pixels a level apart from the sky drawn behind the scene in the window, as the sky drawn first does),
// and every frame draws its sky the same way, so frames of one scene are the same to the last bit. It
// stays off where a blit cannot copy the picture: without framebuffer objects or blits, or into a
// multisampled frame.
#include <array>
#include <cstdint>

namespace libkub {

class Camera;
class SkyBox;

class KeptSkyPicture {
  public:
    KeptSkyPicture() = default;
    ~KeptSkyPicture();
    KeptSkyPicture(const KeptSkyPicture&) = delete;
    KeptSkyPicture& operator=(const KeptSkyPicture&) = delete;

    // Copies the sky into the bound draw framebuffer's viewport (drawing it into the kept buffer first
    // when what it shows changed); returns false, having drawn nothing, when the frame must draw the sky
    // itself. Call it
    // where the frame would draw the sky behind the scene, before the scene: the camera's matrices
    // loaded, the sky's centre and the polygon mode (wireframe or not) set. Reads the same five GL values
    // in every frame.
    bool copyInto(SkyBox& sky, const Camera& camera, bool wireframe);
    // How many times the sky was drawn into the kept buffer.
    std::uint64_t drawsKept = 0;

  private:
    // What the sky's picture depends on, compared by value.
    using Key = std::array<float, 24>;
    static Key keyOf(const SkyBox& sky, const Camera& camera, const int (&viewport)[4],
                     const float (&clear)[4], bool wireframe);
    bool makeTarget(int width, int height);
    void release();

    Key lastKey{};
    bool haveLastKey = false;
    bool kept = false;
    unsigned framebuffer = 0;
    unsigned colour = 0;
    unsigned depth = 0;
    int width = 0;
    int height = 0;
};

} // namespace libkub
