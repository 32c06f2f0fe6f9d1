// Only boxes that rest on one another become one occluding box: a gap a pixel centre could look through
// keeps them apart, as does a step of the footprint.
#include <gtest/gtest.h>

#include <vector>

#include "engine/render/HiddenObjects.h"

namespace {

using libkub::CornerBox;

// A die-sized box at x, with its foot at y.
CornerBox dieAt(float x, float foot)
{
    return {{x - 0.25f, foot, -0.25f}, {x + 0.25f, foot + 0.5f, 0.25f}};
}

struct Case {
    const char* what;
    std::vector<CornerBox> copies;
    std::size_t stacks;
};

TEST(StackRestingBoxes, JoinsOnlyCopiesThatRestOnOneAnother)
{
    // The top of a die placed at 40.4 and the foot of the next, placed in float steps of 0.5 above it,
    // meet within float rounding of one another.
    const float foot = 0.4f + 80.0f * 0.5f;
    const Case cases[] = {
        {"three resting, given out of order", {dieAt(1, 0.9f), dieAt(1, 0.4f), dieAt(1, 1.4f)}, 1},
        {"a foot a float step above the top below",
         {dieAt(1, foot), dieAt(1, std::nextafter(foot + 0.5f, 99.0f))},
         1},
        {"pressed into the one below", {dieAt(1, 0.4f), dieAt(1, 0.8f)}, 1},
        {"a gap of a tenth of a die", {dieAt(1, 0.4f), dieAt(1, 0.95f)}, 2},
        {"a gap where a die was lifted out", {dieAt(1, 0.4f), dieAt(1, 1.4f), dieAt(1, 1.9f)}, 2},
        {"side by side", {dieAt(1, 0.4f), dieAt(2, 0.9f)}, 2},
        {"one a hair wider", {dieAt(1, 0.4f), {{0.75f, 0.9f, -0.25f}, {1.25f, 1.4f, 0.2500001f}}}, 2},
    };
    for (const Case& c : cases) {
        std::vector<CornerBox> copies = c.copies;
        std::vector<CornerBox> stacks{dieAt(9, 9)}; // cleared first
        libkub::stackRestingBoxes(copies, stacks);
        EXPECT_EQ(stacks.size(), c.stacks) << c.what;
        if (c.stacks == 1 && !stacks.empty()) {
            float lowest = c.copies.front().min.y;
            float highest = c.copies.front().max.y;
            for (const CornerBox& copy : c.copies) {
                lowest = std::min(lowest, copy.min.y);
                highest = std::max(highest, copy.max.y);
            }
            EXPECT_EQ(stacks.front().min.y, lowest) << c.what;
            EXPECT_EQ(stacks.front().max.y, highest) << c.what;
        }
    }
}

} // namespace
