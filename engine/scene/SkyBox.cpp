#include "engine/scene/SkyBox.h"

#include <GL/glew.h>

#include <string>

#include "engine/resources/Diagnostics.h"
#include "engine/resources/DataFolder.h"
#include "engine/image/PngLoader.h"

namespace libkub {

namespace {

// One face of the cube: its texture element and four corners, texture coordinate then vertex.
struct SkyFace {
    int element;
    float corners[4][5];
};

// Faces and corner order as the images are painted: each face is seen from inside the cube.
constexpr SkyFace skyFaces[6] = {
    {4, {{1, 0, -1, -1, 1}, {1, 1, -1, 1, 1}, {0, 1, 1, 1, 1}, {0, 0, 1, -1, 1}}},
    {5, {{1, 0, -1, -1, -1}, {1, 1, -1, 1, -1}, {0, 1, 1, 1, -1}, {0, 0, 1, -1, -1}}},
    {3, {{1, 1, -1, 1, -1}, {0, 1, -1, 1, 1}, {0, 0, -1, -1, 1}, {1, 0, -1, -1, -1}}},
    {2, {{1, 1, 1, 1, -1}, {0, 1, 1, 1, 1}, {0, 0, 1, -1, 1}, {1, 0, 1, -1, -1}}},
    {0, {{0, 0, 1, 1, -1}, {1, 0, 1, 1, 1}, {1, 1, -1, 1, 1}, {0, 1, -1, 1, -1}}},
    {1, {{0, 0, 1, -1, -1}, {1, 0, 1, -1, 1}, {1, 1, -1, -1, 1}, {0, 1, -1, -1, -1}}},
};

constexpr float skyHalfEdge = 40.0f;

} // namespace

SkyBox::SkyBox()
{
    // Face rows are 3 x width bytes: without this, widths that are not a multiple of 4 pixels skew.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(6, faceTextures);
    for (int i = 0; i < 6; ++i) {
        const std::string fileName = dataFile("SkyBox" + std::to_string(i) + ".png");
        PngImage image;
        std::string reason;
        loadStatus = loadPng(fileName, image, &reason);
        const unsigned char* pixels = image.pixels.get();
        if (loadStatus != PngLoaded) {
            reportProblem(fileName, reason + "; drawing a plain sky colour instead");
            image.width = 1;
            image.height = 1;
            pixels = plainSkyColour;
        }
        width = image.width;
        height = image.height;

        glBindTexture(GL_TEXTURE_2D, faceTextures[i]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    }
}

SkyBox::~SkyBox() = default;

void SkyBox::draw()
{
    glDisable(GL_DEPTH_TEST);
    drawFaces();
    glEnable(GL_DEPTH_TEST);
}

void SkyBox::drawBehindScene()
{
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    GLint depthFunction = GL_LEQUAL;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL); // the cleared depth 1.0 passes, anything the scene drew does not
    glDepthMask(GL_FALSE);
    glDepthRange(1.0, 1.0);
    drawFaces();
    glDepthRange(0.0, 1.0);
    glDepthMask(depthWrites);
    glDepthFunc(static_cast<GLenum>(depthFunction));
}

void SkyBox::drawFaces()
{
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    // The frame leaves a shadow map's unit active; the faces' coordinates feed unit 0 only.
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glTranslatef(centre[0], centre[1], centre[2]);
    glScalef(skyHalfEdge, skyHalfEdge, skyHalfEdge);
    for (const SkyFace& face : skyFaces) {
        glBindTexture(GL_TEXTURE_2D, faceTextures[face.element]);
        glBegin(GL_QUADS);
        for (const auto& corner : face.corners) {
            glTexCoord2f(corner[0], corner[1]);
            glVertex3f(corner[2], corner[3], corner[4]);
        }
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

} // namespace libkub
