// The frame's shortcuts as one plan: the exact frame has every one off, the default frame every one on,
// whatever members the plan gains.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/render/FramePlan.h"

namespace {

using libkub::FramePlan;

// The plan's bytes, one per switch: read as they are, not through the list of shortcuts, so that a
// member the list misses still counts.
std::vector<unsigned char> bytesOf(const FramePlan& plan)
{
    std::vector<unsigned char> bytes(sizeof(FramePlan));
    std::memcpy(bytes.data(), &plan, sizeof(FramePlan));
    return bytes;
}

TEST(FramePlan, TheExactFrameHasEveryShortcutOffAndTheDefaultFrameEveryOneOn)
{
    for (const unsigned char byte : bytesOf(FramePlan::exact())) {
        EXPECT_EQ(byte, 0u);
    }
    for (const unsigned char byte : bytesOf(FramePlan{})) {
        EXPECT_EQ(byte, 1u);
    }
    EXPECT_TRUE(FramePlan::exact().isExact());
    EXPECT_FALSE(FramePlan{}.isExact());
}

TEST(FramePlan, ListsEachShortcutOnce)
{
    // A shortcut listed twice would let the list reach the plan's size while missing another one.
    const auto& shortcuts = FramePlan::shortcuts;
    for (std::size_t i = 0; i < shortcuts.size(); ++i) {
        for (std::size_t j = i + 1; j < shortcuts.size(); ++j) {
            EXPECT_NE(shortcuts[i], shortcuts[j]) << "entries " << i << " and " << j;
        }
    }
    for (bool FramePlan::*shortcut : FramePlan::shortcuts) {
        FramePlan plan = FramePlan::exact();
        plan.*shortcut = true;
        EXPECT_FALSE(plan.isExact());
    }
}

} // namespace
