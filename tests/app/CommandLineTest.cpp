// The command line: every argument count, the mode words, the game-mode string and window sizes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

using Kubora::DisplayForm;
using Kubora::LaunchOptions;
using Kubora::parseCommandLine;

namespace {

void expectDefaultWindow(const LaunchOptions& options)
{
    EXPECT_EQ(options.form, DisplayForm::Window);
    EXPECT_EQ(options.widthText, "640");
    EXPECT_EQ(options.heightText, "480");
    EXPECT_FALSE(options.renderMode.has_value());
}

} // namespace

TEST(CommandLine, CountsOtherThanTwoToFiveGiveTheDefaultWindowAndIgnoreEverything)
{
    expectDefaultWindow(parseCommandLine({}));
    expectDefaultWindow(parseCommandLine({"800"}));
    expectDefaultWindow(parseCommandLine({"DisplayList"}));
    expectDefaultWindow(parseCommandLine({"1024", "768", "32", "60", "DisplayList", "extra"}));
    expectDefaultWindow(parseCommandLine({"1", "2", "3", "4", "5", "6", "7"}));
}

TEST(CommandLine, TwoArgumentsGiveAWindowOfThatSize)
{
    const LaunchOptions options = parseCommandLine({"800", "600"});
    EXPECT_EQ(options.form, DisplayForm::Window);
    EXPECT_EQ(options.widthText, "800");
    EXPECT_EQ(options.heightText, "600");
    EXPECT_FALSE(options.renderMode.has_value());
}

TEST(CommandLine, ThreeArgumentsAddTheRenderModeWord)
{
    EXPECT_EQ(parseCommandLine({"800", "600", "DisplayList"}).renderMode, libkub::DisplayList);
    EXPECT_EQ(parseCommandLine({"800", "600", "ImmediateMode"}).renderMode, libkub::Immediate);
    const LaunchOptions options = parseCommandLine({"800", "600", "VBO"});
    EXPECT_EQ(options.form, DisplayForm::Window);
    EXPECT_EQ(options.renderMode, libkub::VBO);
}

TEST(CommandLine, ModeWordsAreExactAndCaseSensitive)
{
    EXPECT_EQ(Kubora::renderModeFromWord("DisplayList"), libkub::DisplayList);
    EXPECT_EQ(Kubora::renderModeFromWord("ImmediateMode"), libkub::Immediate);
    for (const char* word :
         {"displaylist", "DISPLAYLIST", "DisplayList ", "Immediate", "immediatemode", "", "2"}) {
        EXPECT_EQ(Kubora::renderModeFromWord(word), libkub::VBO) << word;
    }
}

TEST(CommandLine, FourArgumentsGiveGameModeWithTheTextsAsTyped)
{
    const LaunchOptions options = parseCommandLine({"1024", "768", "32", "60"});
    EXPECT_EQ(options.form, DisplayForm::FullScreen);
    EXPECT_EQ(options.gameModeString(), "1024x768:32@60");
    EXPECT_FALSE(options.renderMode.has_value());
    // Not converted: whatever was typed goes to GLUT.
    EXPECT_EQ(parseCommandLine({"01024", "768px", "x", ""}).gameModeString(), "01024x768px:x@");
}

TEST(CommandLine, FiveArgumentsGiveGameModeAndTheRenderMode)
{
    const LaunchOptions options = parseCommandLine({"1024", "768", "16", "75", "ImmediateMode"});
    EXPECT_EQ(options.form, DisplayForm::FullScreen);
    EXPECT_EQ(options.gameModeString(), "1024x768:16@75");
    EXPECT_EQ(options.renderMode, libkub::Immediate);
    EXPECT_EQ(parseCommandLine({"1024", "768", "16", "75", "immediatemode"}).renderMode, libkub::VBO);
}

TEST(WindowDimension, ReadsTheNumberAtTheStartOfTheText)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(Kubora::windowDimension("800", 640, "width"), 800);
    EXPECT_EQ(Kubora::windowDimension("600px", 480, "height"), 600);
    EXPECT_EQ(Kubora::windowDimension(" 300", 480, "height"), 300);
    EXPECT_EQ(Kubora::windowDimension("+42", 480, "height"), 42);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(WindowDimension, TextWithoutAUsableNumberGivesTheFallbackAndOneLine)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(Kubora::windowDimension("abc", 640, "width"), 640);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kubora: width \"abc\": does not start with a number; using 640\n");

    testing::internal::CaptureStderr();
    EXPECT_EQ(Kubora::windowDimension("", 480, "height"), 480);
    EXPECT_EQ(Kubora::windowDimension("x600", 480, "height"), 480);
    EXPECT_EQ(Kubora::windowDimension("99999999999", 480, "height"), 480);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kubora: height \"\": does not start with a number; using 480\n"
              "kubora: height \"x600\": does not start with a number; using 480\n"
              "kubora: height \"99999999999\": does not start with a number; using 480\n");

    testing::internal::CaptureStderr();
    EXPECT_EQ(Kubora::windowDimension("0", 640, "width"), 640);
    EXPECT_EQ(Kubora::windowDimension("-800", 640, "width"), 640);
    EXPECT_EQ(Kubora::windowDimension("20000", 640, "width"), 640);
    EXPECT_EQ(Kubora::windowDimension("16384", 640, "width"), 16384);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kubora: width \"0\": is not between 1 and 16384; using 640\n"
              "kubora: width \"-800\": is not between 1 and 16384; using 640\n"
              "kubora: width \"20000\": is not between 1 and 16384; using 640\n");
}
