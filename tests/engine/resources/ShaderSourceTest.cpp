// readTextFile: whole files with Windows line ends translated, and null for missing or empty files.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "engine/resources/ShaderProgram.h"
#include "tests/support/PngWriter.h"

using kubora::test::temporaryFolder;
using kubora::test::writeFileBytes;

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

} // namespace

TEST(ReadTextFile, ReadsWholeFileWithTerminator)
{
    const std::string path = temporaryFolder() + "/plain.vert";
    ASSERT_TRUE(writeFileBytes(path, bytesOf("void main()\n{\n}\n")));
    const auto text = libkub::readTextFile(path);
    ASSERT_TRUE(text);
    EXPECT_STREQ(text.get(), "void main()\n{\n}\n");
}

TEST(ReadTextFile, TranslatesWindowsLineEndsAndEndsAfterLastByte)
{
    const std::string path = temporaryFolder() + "/windows.vert";
    ASSERT_TRUE(writeFileBytes(path, bytesOf("a\r\nb\r\n\r\nc")));
    const auto text = libkub::readTextFile(path);
    ASSERT_TRUE(text);
    EXPECT_STREQ(text.get(), "a\nb\n\nc");
    EXPECT_EQ(std::strlen(text.get()), 6u);
}

TEST(ReadTextFile, KeepsLoneCarriageReturns)
{
    const std::string path = temporaryFolder() + "/lone.vert";
    ASSERT_TRUE(writeFileBytes(path, bytesOf("a\rb\r")));
    const auto text = libkub::readTextFile(path);
    ASSERT_TRUE(text);
    EXPECT_STREQ(text.get(), "a\rb\r");
}

TEST(ReadTextFile, MissingOrEmptyFileGivesNull)
{
    const std::string path = temporaryFolder() + "/empty.frag";
    ASSERT_TRUE(writeFileBytes(path, {}));
    EXPECT_FALSE(libkub::readTextFile(path));
    EXPECT_FALSE(libkub::readTextFile(temporaryFolder() + "/absent.frag"));
    EXPECT_FALSE(libkub::readTextFile(temporaryFolder())); // a folder is no source
}

// The spot light's split draws an object under two programs, the second pass depth-testing against the
// first; the columns variants compile the vertex stage again with other macros. Every build must place a
// vertex at the same position: the stage declares gl_Position invariant, outside any conditional part.
TEST(ShadowVertexStage, DeclaresItsPositionInvariantForEveryVariant)
{
    const auto text = libkub::readTextFile("data/shadow.vert");
    ASSERT_TRUE(text);
    std::istringstream lines(text.get());
    int conditionalDepth = 0;
    bool declared = false;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t start = line.find_first_not_of(" \t");
        const std::string code = start == std::string::npos ? "" : line.substr(start);
        if (code.rfind("#if", 0) == 0) {
            ++conditionalDepth;
        } else if (code.rfind("#endif", 0) == 0) {
            --conditionalDepth;
        } else if (code.rfind("invariant gl_Position;", 0) == 0 && conditionalDepth == 0) {
            declared = true;
        }
    }
    EXPECT_TRUE(declared);
}
