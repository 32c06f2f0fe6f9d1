// The shipped die drawn by the real model code: seen straight on, each of its six faces shows a different
// number of pips from 1 to 6, and opposite faces add up to seven, in every render mode.
#include <GL/glew.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "engine/resources/RenderSettings.h"
#include "engine/resources/Model.h"
#include "tests/support/DarkSpots.h"
#include "engine/resources/OffscreenFrame.h"

using libkub::OffscreenFrame;

namespace {

constexpr int frameEdge = 96;

struct Side {
    const char* name;
    float normal[3];
    float up[3];
};

constexpr std::array<Side, 6> sides{{
    {"+x", {1, 0, 0}, {0, 1, 0}},
    {"-x", {-1, 0, 0}, {0, 1, 0}},
    {"+y", {0, 1, 0}, {0, 0, -1}},
    {"-y", {0, -1, 0}, {0, 0, 1}},
    {"+z", {0, 0, 1}, {0, 1, 0}},
    {"-z", {0, 0, -1}, {0, 1, 0}},
}};

// Pips on the face of the die that points along side.normal, looking at it head-on so that the face
// (-1..1) fills the frame; unlit and white, so the texture shows as it is.
int pipsOn(libkub::Model& die, const Side& side)
{
    OffscreenFrame frame(frameEdge, frameEdge);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, 0.5, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(3.0 * side.normal[0], 3.0 * side.normal[1], 3.0 * side.normal[2], 0.0, 0.0, 0.0, side.up[0],
              side.up[1], side.up[2]);
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    die.draw();
    return kubora::test::countDarkSpots(frame.pixels(), frameEdge, frameEdge, 0.1);
}

} // namespace

TEST(DataDie, FacesShowOneToSixWithOppositesAddingToSeven)
{
    for (const libkub::RenderMode mode : {libkub::VBO, libkub::Immediate, libkub::DisplayList}) {
        SCOPED_TRACE(testing::Message() << "render mode " << mode);
        libkub::RenderSettings::instance().renderMode = mode;
        testing::internal::CaptureStderr();
        const auto die = libkub::loadModel("data/die.dae");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        ASSERT_TRUE(die);
        std::array<int, 6> pips{};
        for (std::size_t k = 0; k < sides.size(); ++k) {
            pips[k] = pipsOn(*die, sides[k]);
        }
        EXPECT_EQ(std::set<int>(pips.begin(), pips.end()), (std::set<int>{1, 2, 3, 4, 5, 6}))
            << "+x " << pips[0] << ", -x " << pips[1] << ", +y " << pips[2] << ", -y " << pips[3] << ", +z "
            << pips[4] << ", -z " << pips[5];
        for (std::size_t k = 0; k < sides.size(); k += 2) {
            EXPECT_EQ(pips[k] + pips[k + 1], 7) << sides[k].name << " and " << sides[k + 1].name;
        }
    }
    libkub::RenderSettings::instance().renderMode = libkub::VBO;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
