// Hostile and broken documents: huge counts, bad numbers, indices past the data, dangling and
// cyclic references, deep nesting, entity bombs, cut-off files; each read to a bounded, defined result.
#include <gtest/gtest.h>

#include <string>

#include "collada/ColladaDocument.h"
#include "tests/support/ColladaFixtures.h"
#include "collada/ColladaQueries.h"
#include "engine/geometry/TriangleExtraction.h"

using namespace libkub;

namespace {

using kubora::test::loadColladaFixture;

std::size_t countOf(const ColladaDocument& document, ColladaCode code)
{
    std::size_t count = 0;
    for (const ColladaDiagnostic& diagnostic : document.diagnostics()) {
        count += diagnostic.code == code ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(ColladaRobustness, CountsThatWouldAllocateGigabytesAreNotBelieved)
{
    bool loaded = true;
    const auto document = loadColladaFixture("hostile_counts.dae", &loaded);
    EXPECT_FALSE(loaded); // the group count does not match
    EXPECT_EQ(document->images()[0]->width, 0u);
    EXPECT_EQ(document->images()[0]->height, 4294967295u);
    const ColladaMesh& mesh = *document->geometries()[0]->mesh;
    EXPECT_EQ(mesh.sources[0]->data.size(), 9u);
    EXPECT_EQ(mesh.sources[0]->stride, 4294967295u);
    EXPECT_EQ(mesh.sources[1]->data.size(), 3u);
    EXPECT_EQ(countOf(*document, ColladaCode::PaddingLimited), 2u);
    // An offset of 2^32 - 1 makes 2^32 columns: no whole face-vertex in nine integers.
    EXPECT_EQ(mesh.groups[0].columnCount, 4294967296u);
    EXPECT_TRUE(mesh.groups[0].faceVertexCounts.empty());
    EXPECT_EQ(countOf(*document, ColladaCode::CountMismatch), 1u);
    // The second group reads; positions of the huge stride point past the data and stay zero.
    const std::vector<Triangle> triangles = extractTriangles(*document);
    ASSERT_EQ(triangles.size(), 1u);
    EXPECT_EQ(triangles[0].corners[0].position, (Vector3f{0, 0, 0}));
    EXPECT_EQ(triangles[0].corners[0].s, 0.5f);
    EXPECT_EQ(triangles[0].corners[1].s, 0.0f); // uv 1 of a source holding one pair
}

TEST(ColladaRobustness, NegativeAndNonNumericNumbersReadAsDefinedValues)
{
    const auto document = loadColladaFixture("hostile_numbers.dae");
    const CommonProfile& common = *findCommonProfile(*document->effects()[0]);
    EXPECT_EQ(common.diffuse, (ColladaColor{0, 0.5f, -0.25f, 1}));
    EXPECT_FLOAT_EQ(common.shininess, 0.0f);

    const ColladaMesh& mesh = *document->geometries()[0]->mesh;
    // Bad floats read as 0 in place; a bad count or stride falls back to its default.
    EXPECT_EQ(mesh.sources[0]->data, (std::vector<float>{1, 0, 3, -4, 5, 6, 0.5f, -0.0f, 0}));
    EXPECT_EQ(mesh.sources[0]->stride, 1u);

    const PrimitiveGroup& triangles = mesh.groups[0];
    EXPECT_EQ(triangles.count, 0u);
    EXPECT_EQ(triangles.inputs[0].offset, 1u); // a bad offset takes the default column
    EXPECT_EQ(triangles.inputs[0].set, -1);
    // Bad indices read as 2^32 - 1: past any data.
    EXPECT_EQ(indicesOf(triangles, triangles.inputs[0]),
              (std::vector<std::uint32_t>{4294967295u, 4294967295u, 4294967295u, 1}));
    const PrimitiveGroup& polylist = mesh.groups[1];
    EXPECT_EQ(polylist.faceVertexCounts, (std::vector<std::uint32_t>{4294967295u}));
    EXPECT_FALSE(isAllTriangles(polylist));

    const std::vector<Triangle> built = extractTriangles(*document);
    ASSERT_EQ(built.size(), 1u);
    EXPECT_EQ(built[0].corners[0].position, (Vector3f{0, 0, 0}));
    EXPECT_GE(countOf(*document, ColladaCode::BadNumber), 8u);
}

TEST(ColladaRobustness, IndicesPastTheDataLeaveCornersAtZero)
{
    const auto document = loadColladaFixture("hostile_indices.dae");
    const std::vector<Triangle> triangles = extractTriangles(*document);
    // Three face-vertices from seven integers in two columns; the polylist promises three faces
    // but its p holds one: the faces without any index data are left out.
    ASSERT_EQ(triangles.size(), 2u);
    EXPECT_EQ(triangles[0].corners[0].position, (Vector3f{1, 1, 1}));
    EXPECT_EQ(triangles[0].corners[0].s, 0.1f);
    EXPECT_EQ(triangles[0].corners[1].position, (Vector3f{0, 0, 0})); // index 3 of 3 positions
    // uv 2 would need floats 4 and 5 of five: the whole pair stays zero.
    EXPECT_EQ(triangles[0].corners[1].s, 0.0f);
    EXPECT_EQ(triangles[0].corners[1].t, 0.0f);
    EXPECT_EQ(triangles[0].corners[2].position, (Vector3f{0, 0, 0})); // index 2^32 - 1
    EXPECT_EQ(triangles[0].corners[2].s, 0.3f);
    EXPECT_EQ(triangles[0].corners[2].t, 0.4f);
    EXPECT_EQ(triangles[1].corners[0].position, (Vector3f{3, 3, 3}));
    EXPECT_EQ(triangles[1].corners[2].position, (Vector3f{1, 1, 1}));
}

TEST(ColladaRobustness, FacesPromisedWithoutIndexDataAreNotAllocated)
{
    // A polylist whose vcount announces a million triangles over a p of one.
    std::string vcount;
    for (int i = 0; i < 1000000; ++i) {
        vcount += "3 ";
    }
    const std::string text = "<COLLADA><library_geometries><geometry id='g'><mesh>"
                             "<source id='p'><float_array>1 2 3</float_array>"
                             "<technique_common><accessor count='1' stride='3'/></technique_common></source>"
                             "<vertices id='v'><input semantic='POSITION' source='#p'/></vertices>"
                             "<polylist count='1000000'><input semantic='VERTEX' source='#v' offset='0'/>"
                             "<vcount>" +
                             vcount +
                             "</vcount><p>0 0 0</p></polylist>"
                             "</mesh></geometry></library_geometries></COLLADA>";
    ColladaDocument document;
    EXPECT_TRUE(document.loadFromMemory(text, "/models"));
    EXPECT_EQ(document.geometries()[0]->mesh->groups[0].faceVertexCounts.size(), 1000000u);
    const std::vector<Triangle> triangles = extractTriangles(document);
    ASSERT_EQ(triangles.size(), 1u);
    EXPECT_EQ(triangles[0].corners[2].position, (Vector3f{1, 2, 3}));
}

TEST(ColladaRobustness, DanglingAndCyclicReferencesEndInDefinedStates)
{
    bool loaded = true;
    const auto document = loadColladaFixture("hostile_references.dae", &loaded);
    EXPECT_FALSE(loaded);
    const auto& materials = document->materials();
    ASSERT_EQ(materials.size(), 6u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(materials[i]->effect, nullptr) << materials[i]->id;
    }
    EXPECT_EQ(materials[5]->effect, document->effects()[0].get());

    const ColladaEffect& effect = *document->effects()[0];
    ASSERT_EQ(effect.profiles.size(), 2u); // the unknown profile is skipped
    const ShaderPass& pass = findShaderProfile(effect, ProfileKind::GLSL)->techniques[0].passes[0];
    ASSERT_NE(vertexShader(pass), nullptr);
    EXPECT_EQ(vertexShader(pass)->code, nullptr);
    EXPECT_EQ(pass.shaders[1].stage, ShaderStage::Other);
    EXPECT_EQ(fragmentShader(pass), nullptr);
    EXPECT_EQ(findCommonProfile(effect)->diffuse, (ColladaColor{0, 0, 0, 0}));

    const auto& geometries = document->geometries();
    ASSERT_EQ(geometries.size(), 3u);
    // A vertices input naming a missing source (or the vertices themselves) ends that mesh.
    EXPECT_TRUE(geometries[0]->mesh->groups.empty());
    EXPECT_TRUE(geometries[2]->mesh->groups.empty());
    EXPECT_EQ(countOf(*document, ColladaCode::VertexSourceNotFound), 2u);
    // Inputs naming what is not a source of the mesh are dropped; a group without VERTEX has no faces.
    const auto& groups = geometries[1]->mesh->groups;
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].inputs.size(), 1u);
    EXPECT_EQ(groups[0].faceVertexCounts, (std::vector<std::uint32_t>{3}));
    EXPECT_TRUE(groups[1].faceVertexCounts.empty());
    EXPECT_EQ(countOf(*document, ColladaCode::NoVertexInput), 1u);
    EXPECT_EQ(extractTriangles(*document).size(), 1u);
}

TEST(ColladaRobustness, DeepNestingIsWalkedPast)
{
    bool loaded = false;
    const auto document = loadColladaFixture("hostile_deep_nesting.dae", &loaded);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(extractTriangles(*document).size(), 1u);
}

TEST(ColladaRobustness, EntityBombsAreRefusedAtOnce)
{
    bool loaded = true;
    const auto document = loadColladaFixture("hostile_entities.dae", &loaded);
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(document->images().empty());
    ASSERT_EQ(document->diagnostics().size(), 1u);
    EXPECT_EQ(document->diagnostics()[0].code, ColladaCode::EntityDeclared);
}

TEST(ColladaRobustness, BrokenAndMissingFilesLeaveAnEmptyDocument)
{
    bool loaded = true;
    const auto cut = loadColladaFixture("hostile_not_well_formed.dae", &loaded);
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(cut->geometries().empty());
    ASSERT_EQ(cut->diagnostics().size(), 1u);
    EXPECT_EQ(cut->diagnostics()[0].code, ColladaCode::NotWellFormed);
    EXPECT_NE(cut->diagnostics()[0].message.find("Premature end of data"), std::string::npos);

    const auto missing = loadColladaFixture("no_such_file.dae", &loaded);
    EXPECT_FALSE(loaded);
    ASSERT_EQ(missing->diagnostics().size(), 1u);
    EXPECT_EQ(missing->diagnostics()[0].code, ColladaCode::FileNotReadable);

    const auto folder = loadColladaFixture("", &loaded); // the fixture folder itself
    EXPECT_FALSE(loaded);
    EXPECT_EQ(folder->diagnostics()[0].code, ColladaCode::FileNotReadable);
}

TEST(ColladaRobustness, EmptyAndBinaryBuffersFromMemory)
{
    ColladaDocument document;
    EXPECT_FALSE(document.loadFromMemory("", "/models"));
    const std::string binary("\0\xff\xfe<COLLADA>\0", 13);
    EXPECT_FALSE(document.loadFromMemory(binary, "/models"));
    EXPECT_TRUE(document.images().empty());
    // Loading again starts from scratch.
    EXPECT_TRUE(document.loadFromMemory("<COLLADA version='1.5'/>", "/models"));
    EXPECT_EQ(document.version(), "1.5");
    EXPECT_TRUE(document.diagnostics().empty());
}
