// The reader's documented edge cases: column defaults, group order, colours, accessor padding,
// image paths, the root name, library positions and the id index.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collada/ColladaDocument.h"
#include "tests/support/ColladaFixtures.h"
#include "collada/ColladaQueries.h"

using namespace libkub;

namespace {

const std::string fixtureFolder = kubora::test::colladaFixtureFolder();
using kubora::test::loadColladaFixture;

bool hasDiagnostic(const ColladaDocument& document, ColladaCode code, DiagnosticLevel level)
{
    for (const ColladaDiagnostic& diagnostic : document.diagnostics()) {
        if (diagnostic.code == code && diagnostic.level == level) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(ColladaEdgeCase, TwoColumnsSplitTwelveIntegersIntoSixIndicesEach)
{
    const auto document = loadColladaFixture("edge_offsets_and_columns.dae");
    const PrimitiveGroup& group = document->geometries()[0]->mesh->groups[0];
    EXPECT_EQ(group.faceVertexCounts, (std::vector<std::uint32_t>{3, 3}));
    EXPECT_EQ(group.columnCount, 2u);
    EXPECT_EQ(group.faceVertexTotal, 6u);
    const GroupInput& vertex = *findInput(group, InputSemantic::Position);
    const GroupInput& normal = *findInput(group, InputSemantic::Normal);
    EXPECT_EQ(indicesOf(group, vertex), (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(indicesOf(group, normal), (std::vector<std::uint32_t>{0, 1, 0, 1, 0, 1}));
}

TEST(ColladaEdgeCase, InputsWithoutOffsetsLandAtColumnsOneAndTwo)
{
    const auto document = loadColladaFixture("edge_offsets_and_columns.dae");
    const PrimitiveGroup& group = document->geometries()[0]->mesh->groups[1];
    ASSERT_EQ(group.inputs.size(), 2u);
    EXPECT_EQ(group.inputs[0].offset, 1u);
    EXPECT_EQ(group.inputs[1].offset, 2u);
    EXPECT_EQ(group.columnCount, 3u);
    // Column 0 (the 9s) belongs to no input.
    EXPECT_EQ(indicesOf(group, group.inputs[0]), (std::vector<std::uint32_t>{0, 1, 2}));
    EXPECT_EQ(indicesOf(group, group.inputs[1]), (std::vector<std::uint32_t>{0, 1, 0}));
}

TEST(ColladaEdgeCase, TrianglesAreListedBeforeAPolylistWrittenFirst)
{
    const auto document = loadColladaFixture("edge_group_order.dae");
    const auto& groups = document->geometries()[0]->mesh->groups;
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].kind, GroupKind::Triangles);
    EXPECT_EQ(groups[0].material, "first");
    EXPECT_EQ(groups[1].kind, GroupKind::Polylist);
    EXPECT_EQ(groups[1].faceVertexCounts, (std::vector<std::uint32_t>{3, 3}));
}

TEST(ColladaEdgeCase, AQuadMakesItsWholePolylistNotTriangles)
{
    const auto document = loadColladaFixture("edge_quad_in_polylist.dae");
    const auto& groups = document->geometries()[0]->mesh->groups;
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_TRUE(isAllTriangles(groups[0])); // the triangles element, listed first
    EXPECT_FALSE(isAllTriangles(groups[1]));
    EXPECT_EQ(groups[1].faceVertexCounts, (std::vector<std::uint32_t>{3, 4, 3}));
    EXPECT_EQ(groups[1].faceVertexTotal, 10u);
}

TEST(ColladaEdgeCase, ColoursDefaultsAndTextures)
{
    bool loaded = true;
    const auto document = loadColladaFixture("edge_effect_colours.dae", &loaded);
    const CommonProfile& grey = *findCommonProfile(*document->effects()[0]);
    EXPECT_EQ(grey.shadingModel, ShadingModel::Lambert);
    EXPECT_EQ(grey.emission, (ColladaColor{0.5f, 0.5f, 0.5f, 1.0f}));
    EXPECT_EQ(grey.diffuse, (ColladaColor{1, 1, 1, 1}));
    EXPECT_EQ(grey.ambient, (ColladaColor{0, 0, 0, 0}));
    EXPECT_EQ(grey.specular, (ColladaColor{0, 0, 0, 0}));
    EXPECT_FLOAT_EQ(grey.shininess, 20.0f);
    EXPECT_FLOAT_EQ(grey.specularFactor, 1.0f);
    EXPECT_EQ(grey.transparent, (ColladaColor{1, 1, 1, 1}));
    EXPECT_EQ(grey.opaque, OpaqueMode::RgbZero); // compared without regard to case
    EXPECT_FLOAT_EQ(grey.transparency, 1.0f);

    // A parameter that is not there is an error and leaves the colour; extra numbers are ignored.
    const ColladaEffect& odd = *document->effects()[1];
    ASSERT_EQ(odd.profiles.size(), 2u);
    const CommonProfile& first = *findCommonProfile(odd);
    EXPECT_EQ(first.ambient, (ColladaColor{0, 0, 0, 0}));
    EXPECT_EQ(first.specular, (ColladaColor{1, 2, 3, 4}));
    EXPECT_EQ(static_cast<const CommonProfile&>(*odd.profiles[1]).opaque, OpaqueMode::AOne);
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(hasDiagnostic(*document, ColladaCode::ParamNotFound, DiagnosticLevel::Error));
    EXPECT_TRUE(hasDiagnostic(*document, ColladaCode::UnknownOpaqueMode, DiagnosticLevel::Warning));
}

TEST(ColladaEdgeCase, ColoursThatAreNotNumbersReadAsZeroAndAreListed)
{
    // Written with decimal commas: the reader guesses nothing, reads 0 and says which values those were,
    // also for a colour taken from a parameter.
    const auto document = loadColladaFixture("exporter_decimal_comma_colours.dae");
    const CommonProfile& comma = *findCommonProfile(*document->effects()[0]);
    EXPECT_EQ(comma.diffuse, (ColladaColor{0, 0, 0, 0}));
    EXPECT_FLOAT_EQ(comma.shininess, 0.0f);
    EXPECT_EQ(comma.unreadable, (std::vector<std::string>{"emission", "ambient", "diffuse", "specular",
                                                          "shininess", "transparent", "transparency"}));
    EXPECT_EQ(findCommonProfile(*document->effects()[1])->unreadable, (std::vector<std::string>{"diffuse"}));
    const auto plain = loadColladaFixture("edge_effect_colours.dae");
    EXPECT_TRUE(findCommonProfile(*plain->effects()[0])->unreadable.empty());
}

TEST(ColladaEdgeCase, AccessorCountTimesStrideSizesTheData)
{
    const auto document = loadColladaFixture("edge_accessor_padding.dae");
    const auto& sources = document->geometries()[0]->mesh->sources;
    ASSERT_EQ(sources.size(), 3u);
    EXPECT_EQ(sources[0]->data, (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 0}));
    EXPECT_EQ(sources[1]->data, (std::vector<float>{1, 2, 3, 4, 5}));
    EXPECT_EQ(sources[1]->stride, 2u);
    EXPECT_EQ(sources[2]->stride, 1u);
    EXPECT_EQ(sources[2]->data.size(), 3u);
    EXPECT_TRUE(hasDiagnostic(*document, ColladaCode::ZeroStride, DiagnosticLevel::Warning));
}

TEST(ColladaEdgeCase, ImageFileNamesResolveAgainstTheDocumentFolder)
{
    bool loaded = true;
    const auto document = loadColladaFixture("edge_image_paths.dae", &loaded);
    const auto& images = document->images();
    ASSERT_EQ(images.size(), 9u);
    EXPECT_EQ(images[0]->fileName, fixtureFolder + "/tex/wood.png");
    EXPECT_EQ(images[1]->fileName, "C:/Users/artist/wood.png");
    EXPECT_EQ(images[2]->fileName, "D:/textures/wood.png");
    EXPECT_EQ(images[3]->fileName, "/usr/share/kubora/wood dark.png");
    EXPECT_EQ(images[4]->fileName, "/srv/wood.png");
    EXPECT_EQ(images[5]->fileName, "E:/art/wood.png");
    EXPECT_EQ(images[6]->fileName, fixtureFolder + "/textures/wood.png");
    EXPECT_EQ(images[7]->fileName, "/wood.png");
    // An image without a file name is an error, and stays in its place.
    EXPECT_EQ(images[8]->id, "empty");
    EXPECT_EQ(images[8]->fileName, "");
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(hasDiagnostic(*document, ColladaCode::EmptyImageFile, DiagnosticLevel::Error));
}

TEST(ColladaEdgeCase, ALowerCaseRootLoadsAsEmpty)
{
    bool loaded = true;
    const auto document = loadColladaFixture("edge_lowercase_root.dae", &loaded);
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(document->images().empty());
    EXPECT_EQ(document->version(), "1.4.1");
    ASSERT_EQ(document->diagnostics().size(), 1u);
    EXPECT_EQ(document->diagnostics()[0].code, ColladaCode::NotCollada);
    EXPECT_EQ(document->diagnostics()[0].line, 3);
}

TEST(ColladaEdgeCase, AssetAndExtraInALibraryAreNoEntries)
{
    bool loaded = false;
    const auto document = loadColladaFixture("edge_images_asset.dae", &loaded);
    EXPECT_TRUE(loaded); // warnings only
    const auto& images = document->images();
    ASSERT_EQ(images.size(), 4u);
    EXPECT_EQ(images[0]->id, "wood");
    EXPECT_EQ(images[1]->id, "unknown_object");
    EXPECT_EQ(images[1]->fileName, fixtureFolder + "/noid.png");
    EXPECT_EQ(images[2]->id, "wood_2"); // ids are made unique
    EXPECT_EQ(images[2]->fileName, fixtureFolder + "/wood2.png");
    EXPECT_EQ(images[3]->id, "inline-image"); // declared inside an effect: after library_images
    EXPECT_EQ(document->findById("wood"), images[0].get());
    EXPECT_EQ(document->findById("wood_2"), images[2].get());
    EXPECT_EQ(document->findById("fx"), document->effects()[0].get());
    EXPECT_EQ(document->findById("spin"), nullptr); // animations are not read
    EXPECT_EQ(document->extras(), (std::vector<std::string>{"kubora"}));
    EXPECT_FALSE(hasDiagnostic(*document, ColladaCode::WrongElement, DiagnosticLevel::Warning));
    EXPECT_TRUE(hasDiagnostic(*document, ColladaCode::DuplicateId, DiagnosticLevel::Warning));
    EXPECT_TRUE(hasDiagnostic(*document, ColladaCode::UnknownRootChild, DiagnosticLevel::Warning));

    // The same in the effect, material and geometry libraries of an exporter's file.
    const auto exported = loadColladaFixture("exporter_library_asset_extra.dae", &loaded);
    EXPECT_TRUE(loaded);
    ASSERT_EQ(exported->effects().size(), 1u);
    ASSERT_EQ(exported->materials().size(), 1u);
    EXPECT_EQ(exported->materials()[0]->effect, exported->effects()[0].get());
    ASSERT_EQ(exported->geometries().size(), 1u);
    EXPECT_EQ(exported->geometries()[0]->id, "Cube-mesh");
    EXPECT_TRUE(exported->diagnostics().empty());
}

TEST(ColladaEdgeCase, GroupKindsHolesAndMisplacedElements)
{
    bool loaded = true;
    const auto document = loadColladaFixture("edge_group_kinds.dae", &loaded);
    EXPECT_FALSE(loaded);
    const auto& groups = document->geometries()[0]->mesh->groups;
    ASSERT_EQ(groups.size(), 6u);
    // Polygons first, then the triangles, the polylist, strips and lines.
    const PrimitiveGroup& holed = groups[0];
    EXPECT_EQ(holed.kind, GroupKind::Polygons);
    EXPECT_EQ(holed.faceVertexCounts, (std::vector<std::uint32_t>{3, 3}));
    EXPECT_EQ(holed.holeFaces, (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(faceCount(holed), 1u);
    EXPECT_EQ(holed.faceVertexTotal, 6u);
    EXPECT_EQ(indicesOf(holed, holed.inputs[0]), (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));

    EXPECT_EQ(groups[1].material, "stray-vcount"); // the vcount is an error, the p still reads
    EXPECT_EQ(groups[1].faceVertexCounts, (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(groups[2].material, "no-p");
    EXPECT_TRUE(groups[2].faceVertexCounts.empty());
    EXPECT_EQ(groups[3].kind, GroupKind::Polylist);
    EXPECT_TRUE(groups[3].faceVertexCounts.empty());
    EXPECT_EQ(groups[4].kind, GroupKind::Tristrips);
    EXPECT_EQ(groups[5].kind, GroupKind::Lines);
    EXPECT_EQ(groups[5].faceVertexCounts, (std::vector<std::uint32_t>{2, 2}));
    EXPECT_FALSE(isAllTriangles(groups[4]));
    EXPECT_FALSE(isAllTriangles(groups[5]));
    EXPECT_TRUE(isAllTriangles(groups[2])); // no faces at all still counts, with nothing to draw

    EXPECT_TRUE(hasDiagnostic(*document, ColladaCode::UnexpectedHoleChild, DiagnosticLevel::Warning));
    EXPECT_TRUE(hasDiagnostic(*document, ColladaCode::MisplacedVcount, DiagnosticLevel::Error));
    EXPECT_TRUE(hasDiagnostic(*document, ColladaCode::NoPrimitives, DiagnosticLevel::Error));
    EXPECT_TRUE(hasDiagnostic(*document, ColladaCode::EmptyVcount, DiagnosticLevel::Error));
    EXPECT_FALSE(hasDiagnostic(*document, ColladaCode::CountMismatch, DiagnosticLevel::Error));
}
