// Warnings and errors: level, code, message and line reach every registered handler, are kept
// in the document, decide the load result (errors only), and never reach the console.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collada/ColladaDocument.h"

using namespace libkub;

namespace {

const std::string brokenMesh = R"(<?xml version="1.0"?>
<COLLADA version="1.4.1">
  <library_geometries>
    <geometry id="g">
      <mesh>
        <vertices id="v"><input semantic="POSITION" source="#nowhere"/></vertices>
      </mesh>
    </geometry>
    <geometry/>
  </library_geometries>
</COLLADA>
)";

} // namespace

TEST(ColladaDiagnostics, HandlersReceiveEachDiagnosticAsItIsRecorded)
{
    ColladaDocument document;
    std::vector<ColladaDiagnostic> first;
    int secondCalls = 0;
    document.addHandler([&](const ColladaDiagnostic& diagnostic) { first.push_back(diagnostic); });
    document.addHandler([&](const ColladaDiagnostic&) { ++secondCalls; });
    EXPECT_FALSE(document.loadFromMemory(brokenMesh, "/models"));

    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].level, DiagnosticLevel::Error);
    EXPECT_EQ(static_cast<int>(first[0].level), 2);
    EXPECT_EQ(first[0].code, ColladaCode::VertexSourceNotFound);
    EXPECT_EQ(first[0].message, "geometry 'g': <vertices> names source '#nowhere' that is not there");
    EXPECT_EQ(first[0].line, 6);
    EXPECT_EQ(first[1].level, DiagnosticLevel::Warning);
    EXPECT_EQ(static_cast<int>(first[1].level), 1);
    EXPECT_EQ(first[1].code, ColladaCode::MissingId);
    EXPECT_EQ(first[1].line, 9);
    EXPECT_EQ(secondCalls, 2);
    EXPECT_EQ(document.diagnostics().size(), 2u);
    EXPECT_EQ(document.errorCount(), 1u);
    EXPECT_STREQ(levelName(DiagnosticLevel::Warning), "warning");
    EXPECT_STREQ(levelName(DiagnosticLevel::Error), "error");
    // The geometry without an id is indexed as "unknown_object".
    EXPECT_EQ(document.geometries()[1]->id, "unknown_object");
}

TEST(ColladaDiagnostics, WarningsAloneStillLoadButAnErrorFailsTheLoad)
{
    ColladaDocument document;
    EXPECT_TRUE(document.loadFromMemory("<COLLADA><library_images><image><init_from>a.png</init_from></"
                                        "image></library_images><foo/></COLLADA>",
                                        "/m"));
    EXPECT_EQ(document.diagnostics().size(), 2u); // unknown <foo>, image without id
    EXPECT_EQ(document.errorCount(), 0u);
    EXPECT_EQ(document.images()[0]->fileName, "/m/a.png");

    EXPECT_FALSE(
        document.loadFromMemory("<COLLADA><library_images><image id='i'/></library_images></COLLADA>", "/m"));
    ASSERT_EQ(document.diagnostics().size(), 1u); // the image names no file
    EXPECT_EQ(document.errorCount(), 1u);
    EXPECT_EQ(document.images().size(), 1u); // but it stays
}

TEST(ColladaDiagnostics, TheReaderPrintsNothingEvenForBrokenXml)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ColladaDocument document;
    document.loadFromMemory(brokenMesh, "/models");
    document.loadFromMemory("<COLLADA><unclosed></COLLADA>", "/models");
    document.loadFromMemory(
        std::string("<?xml version=\"1.0\" encoding=\"UTF-16\"?><COLLADA>\xd4\x61</COLLADA>"), "/models");
    document.loadFromFile("/no/such/folder/model.dae");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // libxml2's words about the broken document become the reader's diagnostic, on one line.
    ASSERT_EQ(document.diagnostics().size(), 1u);
    EXPECT_EQ(document.diagnostics()[0].message, "cannot read /no/such/folder/model.dae");
}
