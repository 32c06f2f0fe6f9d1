// The shipped sky faces drawn by the real sky box: looking straight at each of the cube's twelve edges,
// the picture runs on across the edge no more abruptly than it changes anywhere else.
#include <GL/glew.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "engine/scene/SkyBox.h"
#include "engine/resources/OffscreenFrame.h"

using libkub::OffscreenFrame;
using libkub::Rgb;

namespace {

constexpr int frameEdge = 128;

int difference(const Rgb& a, const Rgb& b)
{
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

} // namespace

TEST(DataSky, NoSeamAlongAnyEdgeOfTheCube)
{
    testing::internal::CaptureStderr();
    libkub::SkyBox sky; // reads data/SkyBox0.png .. data/SkyBox5.png from the source folder
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    OffscreenFrame frame(frameEdge, frameEdge);
    ASSERT_TRUE(frame.complete());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, 0.1, 200.0);

    // An edge runs along one axis between the faces of the two other axes; looking at its middle with
    // the edge as the up direction puts it on the line between the two middle columns of the frame.
    for (int along = 0; along < 3; ++along) {
        const int first = (along + 1) % 3;
        const int second = (along + 2) % 3;
        for (const float signFirst : {-1.0f, 1.0f}) {
            for (const float signSecond : {-1.0f, 1.0f}) {
                float forward[3] = {0.0f, 0.0f, 0.0f};
                float up[3] = {0.0f, 0.0f, 0.0f};
                forward[first] = signFirst;
                forward[second] = signSecond;
                up[along] = 1.0f;
                glMatrixMode(GL_MODELVIEW);
                glLoadIdentity();
                gluLookAt(0, 0, 0, forward[0], forward[1], forward[2], up[0], up[1], up[2]);
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                sky.draw();

                // Mean change between neighbouring columns across the edge and everywhere else, over
                // the middle half of the rows (away from the cube's corners).
                double acrossEdge = 0.0;
                double elsewhere = 0.0;
                int rows = 0;
                int pairs = 0;
                for (int y = frameEdge / 4; y < frameEdge * 3 / 4; ++y, ++rows) {
                    for (int x = 0; x + 1 < frameEdge; ++x) {
                        const int d = difference(frame.pixel(x, y), frame.pixel(x + 1, y));
                        if (x == frameEdge / 2 - 1) {
                            acrossEdge += d;
                        } else {
                            elsewhere += d;
                            ++pairs;
                        }
                    }
                }
                acrossEdge /= rows;
                elsewhere /= pairs;
                EXPECT_LE(acrossEdge, 2.0 * elsewhere + 3.0)
                    << "edge along axis " << along << " between faces " << signFirst << " on axis " << first
                    << " and " << signSecond << " on axis " << second;
            }
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
