// The sky box on a real context: each face seen in its direction and orientation, faces whose rows
// are not 4-byte multiples without skew, the cube following its centre, and a missing face.
#include <GL/glew.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/scene/SkyBox.h"
#include "engine/resources/OffscreenFrame.h"
#include "tests/support/PngWriter.h"

using libkub::OffscreenFrame;
using libkub::Rgb;

namespace {

constexpr int faceEdge = 6; // rows of 18 bytes: skewed under the default unpack alignment of 4

// Face f's picture: four quadrants told apart by red (left/right) and green (top/bottom), the face
// by blue.
Rgb faceColour(int face, bool right, bool top)
{
    return {static_cast<std::uint8_t>(right ? 200 : 50), static_cast<std::uint8_t>(top ? 200 : 50),
            static_cast<std::uint8_t>(20 + 40 * face)};
}

void writeFace(const std::string& folder, int face)
{
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < faceEdge; ++y) {
        for (int x = 0; x < faceEdge; ++x) {
            const Rgb c = faceColour(face, x >= faceEdge / 2, y < faceEdge / 2);
            rgb.insert(rgb.end(), {c.r, c.g, c.b});
        }
    }
    ASSERT_TRUE(kubora::test::writeRgbPng(folder + "/data/SkyBox" + std::to_string(face) + ".png", faceEdge,
                                          faceEdge, rgb));
}

// Builds a sky box from faces written into a fresh data folder (all six unless one is left out).
std::unique_ptr<libkub::SkyBox> makeSky(const std::string& name, int leftOut = -1)
{
    const std::string folder = kubora::test::temporaryFolder() + "/" + name;
    std::filesystem::create_directories(folder + "/data");
    for (int face = 0; face < 6; ++face) {
        if (face != leftOut) {
            writeFace(folder, face);
        }
    }
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4); // as OpenGL starts
    auto sky = std::make_unique<libkub::SkyBox>();
    std::filesystem::current_path(previous);
    return sky;
}

struct View {
    const char* name;
    float forward[3];
    float up[3];
    int face;
    // Texture coordinates seen at screen point (a, b), a to the right and b up, both in -1..1:
    // s = (1 + sa * a + sb * b) / 2 and t = (1 + ta * a + tb * b) / 2.
    float sa, sb, ta, tb;
};

// Derived from the cube's faces: z faces and x faces carry s across and t up; y faces carry s along z
// and t against x. Seen from inside, the -z and +x faces therefore run right to left.
constexpr View views[] = {
    {"+z", {0, 0, 1}, {0, 1, 0}, 4, 1, 0, 0, 1},  {"-z", {0, 0, -1}, {0, 1, 0}, 5, -1, 0, 0, 1},
    {"+x", {1, 0, 0}, {0, 1, 0}, 2, -1, 0, 0, 1}, {"-x", {-1, 0, 0}, {0, 1, 0}, 3, 1, 0, 0, 1},
    {"+y", {0, 1, 0}, {0, 0, 1}, 0, 0, 1, -1, 0}, {"-y", {0, -1, 0}, {0, 0, 1}, 1, 0, 1, 1, 0},
};

constexpr int frameEdge = 64;

void drawSkyFrom(libkub::SkyBox& sky, const float eye[3], const View& view)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, 0.1, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], eye[0] + view.forward[0], eye[1] + view.forward[1],
              eye[2] + view.forward[2], view.up[0], view.up[1], view.up[2]);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    sky.draw();
}

// The pixel at screen point (a, b) of the frame, a and b in -1..1.
Rgb seenAt(const OffscreenFrame& frame, float a, float b)
{
    return frame.pixel(static_cast<int>((a + 1.0f) * 0.5f * frameEdge),
                       static_cast<int>((b + 1.0f) * 0.5f * frameEdge));
}

void expectFacesInPlace(libkub::SkyBox& sky, const float eye[3])
{
    OffscreenFrame frame(frameEdge, frameEdge);
    ASSERT_TRUE(frame.complete());
    for (const View& view : views) {
        drawSkyFrom(sky, eye, view);
        for (const float a : {-0.6f, 0.6f}) {
            for (const float b : {-0.6f, 0.6f}) {
                const float s = (1.0f + view.sa * a + view.sb * b) * 0.5f;
                const float t = (1.0f + view.ta * a + view.tb * b) * 0.5f;
                // t = 1 is the top of the picture: the loader puts the file's first row last.
                EXPECT_EQ(seenAt(frame, a, b), faceColour(view.face, s > 0.5f, t > 0.5f))
                    << "looking " << view.name << " at screen (" << a << ", " << b << ")";
            }
        }
    }
}

} // namespace

TEST(SkyBoxFaces, EachFaceAppearsInItsDirectionAndOrientation)
{
    testing::internal::CaptureStderr();
    auto sky = makeSky("sky-all");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(sky->width, faceEdge);
    EXPECT_EQ(sky->height, faceEdge);
    EXPECT_EQ(sky->loadStatus, 1);
    const float eye[3] = {0.0f, 0.0f, 0.0f};
    expectFacesInPlace(*sky, eye);
}

TEST(SkyBoxFaces, CubeFollowsItsCentre)
{
    auto sky = makeSky("sky-moved");
    const float eye[3] = {100.0f, -30.0f, 55.0f};
    sky->centre[0] = eye[0];
    sky->centre[1] = eye[1];
    sky->centre[2] = eye[2];
    expectFacesInPlace(*sky, eye);
}

TEST(SkyBoxFaces, DrawRestoresDepthTestTexturingAndMatrix)
{
    auto sky = makeSky("sky-state");
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, 3.0f);
    glEnable(GL_DEPTH_TEST);
    glActiveTexture(GL_TEXTURE2); // where the frame leaves the active unit after the shadow passes
    sky->draw();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint unit = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(unit, GL_TEXTURE0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[12], 1.0f);
    EXPECT_FLOAT_EQ(matrix[13], 2.0f);
    EXPECT_FLOAT_EQ(matrix[14], 3.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(SkyBoxFaces, MissingFaceIsNamedAndShowsPlainSky)
{
    testing::internal::CaptureStderr();
    auto sky = makeSky("sky-missing", 5);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kubora: data/SkyBox5.png: cannot be opened (No such file "
              "or directory); drawing a plain sky colour instead\n");
    EXPECT_EQ(sky->loadStatus, 0);

    OffscreenFrame frame(frameEdge, frameEdge);
    const float eye[3] = {0.0f, 0.0f, 0.0f};
    drawSkyFrom(*sky, eye, views[1]); // towards -z, face 5
    const Rgb plain{libkub::plainSkyColour[0], libkub::plainSkyColour[1], libkub::plainSkyColour[2]};
    EXPECT_EQ(seenAt(frame, 0.0f, 0.0f), plain);
    drawSkyFrom(*sky, eye, views[0]); // the others are still there
    EXPECT_EQ(seenAt(frame, 0.6f, 0.6f), faceColour(4, true, true));
}
