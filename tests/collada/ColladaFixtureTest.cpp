// Reading the hand-written exporter-style fixtures: libraries, asset, effects, shader profiles and meshes.
#include <gtest/gtest.h>

#include <string>

#include "collada/ColladaDocument.h"
#include "tests/support/ColladaFixtures.h"
#include "collada/ColladaQueries.h"

using namespace libkub;

namespace {

const std::string fixtureFolder = kubora::test::colladaFixtureFolder();
const auto fixture = kubora::test::colladaFixture;

} // namespace

TEST(ColladaFixture, BlenderCubeWithPolylistAndZUp)
{
    ColladaDocument document;
    ASSERT_TRUE(document.loadFromFile(fixture("cube_blender_zup.dae")));
    EXPECT_TRUE(document.diagnostics().empty());
    EXPECT_EQ(document.version(), "1.4.1");
    EXPECT_EQ(document.filePath(), fixture("cube_blender_zup.dae"));
    EXPECT_EQ(document.baseFolder(), fixtureFolder);
    EXPECT_EQ(document.asset().upAxis, UpAxis::Z);
    EXPECT_EQ(document.sceneUrl(), "#Scene");

    ASSERT_EQ(document.images().size(), 1u);
    EXPECT_EQ(document.images()[0]->id, "cube_png");
    EXPECT_EQ(document.images()[0]->fileName, fixture("cube.png"));

    ASSERT_EQ(document.effects().size(), 1u);
    const CommonProfile* common = findCommonProfile(*document.effects()[0]);
    ASSERT_NE(common, nullptr);
    EXPECT_EQ(common->shadingModel, ShadingModel::Phong);
    EXPECT_EQ(common->diffuse, (ColladaColor{1, 1, 1, 1})); // a texture reads as white
    EXPECT_EQ(common->specular, (ColladaColor{0.5f, 0.5f, 0.5f, 1}));
    EXPECT_EQ(common->ambient, (ColladaColor{0, 0, 0, 1}));
    EXPECT_FLOAT_EQ(common->shininess, 50.0f);
    EXPECT_EQ(common->parameters.size(), 2u);

    ASSERT_EQ(document.materials().size(), 1u);
    EXPECT_EQ(document.materials()[0]->effect, document.effects()[0].get());

    ASSERT_EQ(document.geometries().size(), 1u);
    const ColladaGeometry& geometry = *document.geometries()[0];
    EXPECT_EQ(geometry.id, "Cube-mesh");
    EXPECT_EQ(geometry.name, "Cube");
    ASSERT_TRUE(geometry.mesh);
    const ColladaMesh& mesh = *geometry.mesh;
    ASSERT_EQ(mesh.sources.size(), 3u);
    EXPECT_EQ(mesh.sources[0]->data.size(), 24u);
    EXPECT_EQ(mesh.sources[0]->stride, 3u);
    EXPECT_EQ(mesh.sources[0]->semantic, InputSemantic::Position);
    EXPECT_EQ(mesh.sources[1]->semantic, InputSemantic::Normal);
    EXPECT_EQ(mesh.sources[2]->semantic, InputSemantic::Texcoord);
    ASSERT_EQ(mesh.vertexSources.size(), 1u);
    EXPECT_EQ(mesh.vertexSources[0], mesh.sources[0].get());

    ASSERT_EQ(mesh.groups.size(), 1u);
    const PrimitiveGroup& group = mesh.groups[0];
    EXPECT_EQ(group.kind, GroupKind::Polylist);
    EXPECT_EQ(group.material, "Material-material");
    EXPECT_EQ(group.faceVertexCounts.size(), 12u);
    EXPECT_EQ(group.faceVertexTotal, 36u);
    EXPECT_TRUE(isAllTriangles(group));
    ASSERT_EQ(group.inputs.size(), 3u);
    EXPECT_EQ(group.inputs[2].set, 0);
    const GroupInput* normal = findInput(group, InputSemantic::Normal);
    ASSERT_NE(normal, nullptr);
    const auto& normals = indicesOf(group, *normal);
    ASSERT_EQ(normals.size(), 36u);
    EXPECT_EQ(normals[0], 0u);
    EXPECT_EQ(normals[35], 5u);
    const auto& positions = indicesOf(group, *findInput(group, InputSemantic::Position));
    EXPECT_EQ((std::vector<std::uint32_t>(positions.begin(), positions.begin() + 6)),
              (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3}));
}

TEST(ColladaFixture, MaxDieWithTrianglesYUpAndLibrariesOutOfOrder)
{
    ColladaDocument document;
    ASSERT_TRUE(document.loadFromFile(fixture("die_max_yup.dae")));
    EXPECT_EQ(document.asset().upAxis, UpAxis::Y);
    EXPECT_FLOAT_EQ(document.asset().unitMeter, 0.01f);
    EXPECT_EQ(document.asset().unitName, "centimeter");
    ASSERT_EQ(document.images().size(), 1u);
    EXPECT_EQ(document.images()[0]->fileName, fixture("textures/die.png"));
    // The material was read after the effect although the images stand last in the file.
    ASSERT_EQ(document.materials().size(), 1u);
    EXPECT_EQ(document.materials()[0]->effect, document.effects()[0].get());
    const CommonProfile* common = findCommonProfile(*document.effects()[0]);
    ASSERT_NE(common, nullptr);
    EXPECT_EQ(common->shadingModel, ShadingModel::Blinn);
    EXPECT_EQ(common->ambient, (ColladaColor{0.588f, 0.588f, 0.588f, 1}));
    EXPECT_FLOAT_EQ(common->shininess, 32.0f);
    EXPECT_EQ(common->opaque, OpaqueMode::AOne);
    EXPECT_EQ(common->transparent, (ColladaColor{1, 1, 1, 1}));

    const ColladaMesh& mesh = *document.geometries()[0]->mesh;
    EXPECT_EQ(mesh.sources[2]->stride, 3u); // s, t, p texture coordinates
    const PrimitiveGroup& group = mesh.groups[0];
    EXPECT_EQ(group.kind, GroupKind::Triangles);
    EXPECT_EQ(group.count, 12u);
    EXPECT_EQ(group.columnCount, 3u);
    EXPECT_EQ(group.faceVertexCounts, std::vector<std::uint32_t>(12, 3));
}

TEST(ColladaFixture, GlslProfileWithIncludeAndInlineCode)
{
    ColladaDocument document;
    ASSERT_TRUE(document.loadFromFile(fixture("glsl_shadow_effect.dae")));
    EXPECT_EQ(document.images()[0]->fileName, fixture("images/board.png"));
    EXPECT_EQ(document.images()[0]->width, 256u);
    const ColladaEffect& effect = *document.effects()[0];
    ASSERT_EQ(effect.parameters.size(), 2u);
    EXPECT_EQ(effect.parameters[0].type, "float4");

    EXPECT_EQ(findProfile(effect, ProfileKind::GLSL), effect.profiles[0].get());
    EXPECT_EQ(findProfile(effect, ProfileKind::CG), nullptr);
    const ShaderProfile* glsl = findShaderProfile(effect, ProfileKind::GLSL);
    ASSERT_NE(glsl, nullptr);
    ASSERT_EQ(glsl->codeEntries.size(), 2u);
    EXPECT_TRUE(glsl->codeEntries[0]->isInclude);
    EXPECT_EQ(glsl->codeEntries[0]->fileName, fixture("shaders/shadow.vert"));
    EXPECT_FALSE(glsl->codeEntries[1]->isInclude);
    EXPECT_NE(glsl->codeEntries[1]->text.find("uniform sampler2D shadowMap;"), std::string::npos);

    ASSERT_EQ(glsl->techniques.size(), 1u);
    const ShaderTechnique& technique = glsl->techniques[0];
    EXPECT_EQ(technique.name, "default");
    ASSERT_EQ(technique.passes.size(), 2u);
    const ShaderPass& pass = technique.passes.back();
    EXPECT_EQ(pass.name, "shadow");
    ASSERT_EQ(pass.renderStates.size(), 2u);
    EXPECT_EQ(pass.renderStates[1].name, "cull_face");
    EXPECT_EQ(pass.renderStates[1].value, "BACK");
    const PassShader* vertex = vertexShader(pass);
    const PassShader* fragment = fragmentShader(pass);
    ASSERT_NE(vertex, nullptr);
    ASSERT_NE(fragment, nullptr);
    EXPECT_EQ(vertex->code, glsl->codeEntries[0].get());
    EXPECT_EQ(vertex->entryName, "main");
    EXPECT_EQ(vertex->compilerTarget, "110");
    EXPECT_EQ(vertex->compilerOptions, "-O2");
    EXPECT_EQ(fragment->code, glsl->codeEntries[1].get());
    EXPECT_EQ(fragmentShader(technique.passes[0]), nullptr);

    // Colours given as parameters of the effect: float4 as is, float3 with alpha 1.
    const CommonProfile* common = findCommonProfile(effect);
    ASSERT_NE(common, nullptr);
    EXPECT_EQ(common->diffuse, (ColladaColor{0.8f, 0.7f, 0.6f, 1}));
    EXPECT_EQ(common->ambient, (ColladaColor{0.2f, 0.2f, 0.25f, 1}));

    const ColladaMaterial& material = *document.materials()[0];
    ASSERT_EQ(material.techniqueHints.size(), 1u);
    EXPECT_EQ(material.techniqueHints[0].profile, "GLSL");
    ASSERT_EQ(material.setParams.size(), 1u);
    EXPECT_EQ(material.setParams[0].sid, "boardDiffuse");

    // Two vertex sources (POSITION and NORMAL) share the VERTEX offset and its indices.
    const PrimitiveGroup& group = document.geometries()[0]->mesh->groups[0];
    EXPECT_EQ(group.kind, GroupKind::Polygons);
    ASSERT_EQ(group.inputs.size(), 3u);
    EXPECT_EQ(&indicesOf(group, group.inputs[0]), &indicesOf(group, group.inputs[1]));
    EXPECT_EQ(indicesOf(group, group.inputs[2]), (std::vector<std::uint32_t>{0, 3, 2, 0, 2, 1}));
    EXPECT_EQ(group.faceVertexCounts, (std::vector<std::uint32_t>{3, 3}));
}

TEST(ColladaFixture, SeveralMaterialsAndGeometries)
{
    ColladaDocument document;
    ASSERT_TRUE(document.loadFromFile(fixture("several_materials.dae")));
    ASSERT_EQ(document.images().size(), 2u);
    EXPECT_EQ(document.images()[0]->fileName, "C:/Program Files/Kubora/duck.png");
    ASSERT_EQ(document.geometries().size(), 2u);
    const ColladaMesh& body = *document.geometries()[0]->mesh;
    // Polygons are listed before triangles, whatever the order in the file.
    ASSERT_EQ(body.groups.size(), 3u);
    EXPECT_EQ(body.groups[0].kind, GroupKind::Polygons);
    EXPECT_FALSE(isAllTriangles(body.groups[0]));
    EXPECT_TRUE(isAllTriangles(body.groups[1]));
    EXPECT_TRUE(isAllTriangles(body.groups[2]));
    EXPECT_EQ(document.findById("duck-beak"), document.geometries()[1].get());
    EXPECT_EQ(document.findById("beak-fx"), document.effects()[1].get());
}
