// Why a model with triangles shows nothing: each cause of triangles without area, named from what the
// reader could not read in the positions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collada/ColladaDocument.h"
#include "engine/resources/Mesh.h"
#include "engine/geometry/MeshDiagnosis.h"

namespace {

// A document of one mesh: two sources of three values a vertex, the first one gathered by <vertices>
// as POSITION unless `positionInput` is false, and one triangles group over both.
std::string meshDocument(const std::string& positions, const std::string& indices, bool positionInput = true)
{
    const std::string vertexInput =
        positionInput ? "<input semantic='POSITION' source='#p'/>" : "<input semantic='NORMAL' source='#p'/>";
    return "<COLLADA><library_geometries><geometry id='g'><mesh>"
           "<source id='p'><float_array id='pa'>" +
           positions +
           "</float_array><technique_common><accessor source='#pa' count='4' stride='3'/></technique_common>"
           "</source>"
           "<source id='n'><float_array id='na'>0 0 1</float_array><technique_common>"
           "<accessor source='#na' count='1' stride='3'/></technique_common></source>"
           "<vertices id='v'>" +
           vertexInput +
           "</vertices>"
           "<triangles count='2'><input semantic='VERTEX' source='#v' offset='0'/>"
           "<input semantic='NORMAL' source='#n' offset='1'/><p>" +
           indices + "</p></triangles></mesh></geometry></library_geometries></COLLADA>";
}

std::string whyNoAreaOf(const std::string& text)
{
    libkub::ColladaDocument document;
    document.loadFromMemory(text, "/models");
    const std::vector<libkub::Triangle> triangles = libkub::extractTriangles(document);
    return libkub::whyNoArea(document, triangles.data(), triangles.size());
}

} // namespace

TEST(MeshDiagnosis, TrianglesWithoutAreaNameWhatTheReaderCouldNotRead)
{
    const std::string twoTriangles = "0 0 1 0 2 0 0 0 2 0 3 0";
    struct Case {
        const char* what;
        std::string document;
        std::string why;
    };
    const Case cases[] = {
        {"a square", meshDocument("0 0 0 1 0 0 1 1 0 0 1 0", twoTriangles), ""},
        {"every number with a decimal comma",
         meshDocument("0,0 0,0 0,0 1,0 0,0 0,0 1,0 1,0 0,0 0,0 1,0 0,0", twoTriangles),
         "no triangle has any area: all 12 position values are not numbers (read as 0)"},
        // Only the numbers that give each triangle its height are unreadable.
        {"some numbers with a decimal comma", meshDocument("0 0 0 1 0 0 1 1,5 0 0 1,5 0", twoTriangles),
         "no triangle has any area: 2 of 12 position values are not numbers (read as 0)"},
        // One unreadable number beside triangles that keep their area: nothing to explain.
        {"one unreadable number, area left", meshDocument("0 0 0 1 0 0 1 1 0 0 1 0,5", twoTriangles), ""},
        {"corners on one line", meshDocument("0 0 0 1 1 1 2 2 2 3 3 3", twoTriangles),
         "no triangle has any area: the corners of every triangle lie on one line"},
        {"no POSITION input", meshDocument("0 0 0 1 0 0 1 1 0 0 1 0", twoTriangles, false),
         "no triangle has any area: no triangle group has a POSITION input"},
        // Without triangles there is no area to miss: whyNoTriangles speaks for that.
        {"no triangles", meshDocument("0,0 0,0 0,0 1,0 0,0 0,0 1,0 1,0 0,0 0,0 1,0 0,0", ""), ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(whyNoAreaOf(c.document), c.why) << c.what;
    }
}
