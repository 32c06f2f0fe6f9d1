// The function keys: F7's render-mode table with its console lines, and the F2, F3, F8 switches.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/InputCallbacks.h"
#include "engine/resources/RenderSettings.h"

using libkub::RenderSettings;

namespace {

// The settings are process-wide: every test starts from the defaults and leaves them behind.
class FunctionKeys : public testing::Test {
  protected:
    void SetUp() override { settings() = RenderSettings(); }
    void TearDown() override { settings() = RenderSettings(); }
    static RenderSettings& settings() { return RenderSettings::instance(); }
    static std::string pressCapturingStdout(int key)
    {
        testing::internal::CaptureStdout();
        Kubora::onSpecialKey(key, 0, 0);
        return testing::internal::GetCapturedStdout();
    }
};

} // namespace

TEST_F(FunctionKeys, F7InVertexBufferModeDoesNothingAndPrintsNothing)
{
    EXPECT_EQ(pressCapturingStdout(GLUT_KEY_F7), "");
    EXPECT_EQ(settings().renderMode, libkub::VBO);
}

TEST_F(FunctionKeys, F7SwapsImmediateModeAndDisplayListsWithALineEachTime)
{
    settings().renderMode = libkub::DisplayList;
    EXPECT_EQ(pressCapturingStdout(GLUT_KEY_F7), "changed RenderMode to: 1\n");
    EXPECT_EQ(settings().renderMode, libkub::Immediate);
    EXPECT_EQ(pressCapturingStdout(GLUT_KEY_F7), "changed RenderMode to: 2\n");
    EXPECT_EQ(settings().renderMode, libkub::DisplayList);
}

TEST_F(FunctionKeys, F2F3F8InvertTheirSwitchAndTwiceRestoresIt)
{
    const struct {
        int key;
        bool RenderSettings::*flag;
    } switches[] = {{GLUT_KEY_F2, &RenderSettings::showOverlay},
                    {GLUT_KEY_F3, &RenderSettings::wireframe},
                    {GLUT_KEY_F8, &RenderSettings::frustumCulling}};
    for (const auto& entry : switches) {
        const RenderSettings before = settings();
        EXPECT_EQ(pressCapturingStdout(entry.key), "");
        EXPECT_EQ(settings().*entry.flag, !(before.*entry.flag)) << "key " << entry.key;
        // Only its own switch changed.
        for (const auto& other : switches) {
            if (other.flag != entry.flag) {
                EXPECT_EQ(settings().*other.flag, before.*other.flag);
            }
        }
        Kubora::onSpecialKey(entry.key, 0, 0);
        EXPECT_EQ(settings().*entry.flag, before.*entry.flag);
    }
}

TEST_F(FunctionKeys, OtherFunctionKeysChangeNothing)
{
    for (int key :
         {GLUT_KEY_F1, GLUT_KEY_F4, GLUT_KEY_F5, GLUT_KEY_F6, GLUT_KEY_F9, GLUT_KEY_F12, GLUT_KEY_LEFT}) {
        EXPECT_EQ(pressCapturingStdout(key), "");
    }
    EXPECT_EQ(settings().renderMode, libkub::VBO);
    EXPECT_TRUE(settings().showOverlay);
    EXPECT_FALSE(settings().wireframe);
    EXPECT_FALSE(settings().frustumCulling);
}
