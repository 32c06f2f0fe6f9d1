// File references in documents: separators, file URIs, drive letters and the folding of segments.
#include <gtest/gtest.h>

#include "collada/ColladaPath.h"

using namespace libkub;

TEST(ColladaPath, ConvertsSeparatorsUrisAndDriveBars)
{
    EXPECT_EQ(convertFileReference("tex\\wood.png"), "tex/wood.png");
    EXPECT_EQ(convertFileReference("file:///C:/a/b.png"), "C:/a/b.png");
    EXPECT_EQ(convertFileReference("file:///C|/a/b.png"), "C:/a/b.png");
    EXPECT_EQ(convertFileReference("file:///C:\\a\\b.png"), "C:/a/b.png");
    EXPECT_EQ(convertFileReference("file:///home/art/b%20c.png"), "/home/art/b c.png");
    EXPECT_EQ(convertFileReference("file://localhost/home/b.png"), "/home/b.png");
    EXPECT_EQ(convertFileReference("file://server/share/b.png"), "//server/share/b.png");
    EXPECT_EQ(convertFileReference("C|/a.png"), "C:/a.png");
    EXPECT_EQ(convertFileReference("a%20b.png"), "a%20b.png"); // only URIs are escaped
    EXPECT_EQ(convertFileReference("file://"), "//");
    EXPECT_EQ(convertFileReference("file:///C:"), "/C:"); // too short for a drive URI
}

TEST(ColladaPath, ResolvesAgainstTheBaseFolderAndFoldsSegments)
{
    EXPECT_EQ(resolvePath("/game/data", "tex/wood.png"), "/game/data/tex/wood.png");
    EXPECT_EQ(resolvePath("/game/data", "./a/../b/./c.png"), "/game/data/b/c.png");
    EXPECT_EQ(resolvePath("/game/data", "../../../../x.png"), "/x.png");
    EXPECT_EQ(resolvePath("/game/data", "/abs//x.png"), "/abs/x.png");
    EXPECT_EQ(resolvePath("/game/data", "C:/x/../y.png"), "C:/y.png");
    EXPECT_EQ(resolvePath("/game/data", "D:/../../y.png"), "D:/y.png");
    EXPECT_EQ(resolvePath("/game/data", ""), "");
    EXPECT_EQ(resolvePath("relative/base", "../../../x.png"), "../x.png");
    EXPECT_EQ(resolveFileReference("/game", "  \n\ttex\\wood.png \n"), "/game/tex/wood.png");
    EXPECT_EQ(resolveFileReference("/game", " \n "), "");
}
