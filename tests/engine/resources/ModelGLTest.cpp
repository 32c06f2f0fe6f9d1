// Models on a real context: loading the hand-made textured cube, drawing it alike in the three render
// modes, the GL state a draw leaves, materials and programs read from documents, and files that
// lack what a model needs.
#include <GL/glew.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/resources/RenderSettings.h"
#include "engine/resources/Model.h"
#include "engine/resources/ProgramCache.h"
#include "engine/resources/TextureCache.h"
#include "engine/resources/OffscreenFrame.h"
#include "tests/support/PngWriter.h"

using libkub::OffscreenFrame;
using libkub::RenderMode;
using libkub::Rgb;

namespace {

const std::string cubePath = std::string(KUBORA_SOURCE_DIR) + "/tests/fixtures/models/texcube.dae";
constexpr int frameEdge = 96;

// Restores the render mode a test changes.
class ModelGLTest : public testing::Test {
  protected:
    void TearDown() override { libkub::RenderSettings::instance().renderMode = libkub::VBO; }
};

std::unique_ptr<libkub::Model> loadIn(RenderMode mode, const std::string& path)
{
    libkub::RenderSettings::instance().renderMode = mode;
    return libkub::loadModel(path);
}

// Looks at the model from (eye) with a 40-degree lens; lit by one white light when asked, otherwise
// unlit with a white colour so the texture shows as it is.
void setUpView(const float eye[3], bool lit)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, 1.0, 0.5, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat direction[4] = {-0.5f, 0.7f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    gluLookAt(eye[0], eye[1], eye[2], 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glEnable(GL_DEPTH_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (lit) {
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
    } else {
        glDisable(GL_LIGHTING);
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<std::uint8_t> renderIn(RenderMode mode, libkub::Model& model, bool lit)
{
    OffscreenFrame frame(frameEdge, frameEdge);
    const float eye[3] = {1.6f, 1.3f, 2.6f};
    setUpView(eye, lit);
    libkub::RenderSettings::instance().renderMode = mode;
    model.draw();
    glDisable(GL_LIGHTING);
    return frame.pixels();
}

std::size_t countNonBlack(const std::vector<std::uint8_t>& pixels)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
        count += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0 ? 1 : 0;
    }
    return count;
}

std::string readText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Writes a document into a fresh folder beside a one-pixel image "skin.png"; returns its path.
std::string writeDocument(const std::string& name, const std::string& text)
{
    const std::string folder = kubora::test::temporaryFolder() + "/" + name;
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(kubora::test::writeRgbPng(folder + "/skin.png", 1, 1, {200, 100, 50}));
    const std::string path = folder + "/model.dae";
    EXPECT_TRUE(kubora::test::writeFileBytes(path, {text.begin(), text.end()}));
    return path;
}

// The fixture cube with its effects, materials or images replaced.
std::string cubeWith(const std::string& from, const std::string& to)
{
    std::string text = readText(cubePath);
    const auto start = text.find(from);
    EXPECT_NE(start, std::string::npos) << from;
    if (start != std::string::npos) {
        text.replace(start, from.size(), to);
    }
    return text;
}

std::string between(const std::string& text, const std::string& open, const std::string& close)
{
    const auto start = text.find(open);
    const auto end = text.find(close, start);
    return text.substr(start, end + close.size() - start);
}

void expectEmpty(const libkub::Model& model)
{
    EXPECT_TRUE(model.textures.empty());
    EXPECT_EQ(model.mesh.triangleCount, 0u);
    EXPECT_EQ(model.mesh.vertexBuffer, 0u);
    EXPECT_EQ(model.mesh.displayList, 0u);
    EXPECT_TRUE(model.mesh.triangles.empty());
}

} // namespace

TEST_F(ModelGLTest, CubeShowsItsTextureUpright)
{
    auto model = loadIn(libkub::VBO, cubePath);
    ASSERT_EQ(model->textures.size(), 1u);
    OffscreenFrame frame(frameEdge, frameEdge);
    const float front[3] = {0.0f, 0.0f, 3.0f}; // the +z face fills the middle of the frame
    setUpView(front, false);
    model->draw();
    const int low = frameEdge / 2 - 12;
    const int high = frameEdge / 2 + 12;
    EXPECT_EQ(frame.pixel(low, high), (Rgb{220, 60, 60}));  // top left: red
    EXPECT_EQ(frame.pixel(high, high), (Rgb{60, 200, 80})); // top right: green
    EXPECT_EQ(frame.pixel(low, low), (Rgb{60, 90, 220}));   // bottom left: blue
    EXPECT_EQ(frame.pixel(high, low), (Rgb{230, 210, 60})); // bottom right: yellow
    EXPECT_EQ(frame.pixel(2, 2), (Rgb{0, 0, 0}));           // beside the cube
}

TEST_F(ModelGLTest, ThreeRenderModesDrawTheSamePicture)
{
    auto vbo = loadIn(libkub::VBO, cubePath);
    auto immediate = loadIn(libkub::Immediate, cubePath);
    auto displayList = loadIn(libkub::DisplayList, cubePath);
    for (const bool lit : {false, true}) {
        const auto fromVbo = renderIn(libkub::VBO, *vbo, lit);
        const auto fromImmediate = renderIn(libkub::Immediate, *immediate, lit);
        const auto fromDisplayList = renderIn(libkub::DisplayList, *displayList, lit);
        // The cube covers a good part of the frame, so equal pictures are not equal emptiness.
        EXPECT_GT(countNonBlack(fromVbo), static_cast<std::size_t>(frameEdge * frameEdge / 5)) << lit;
        EXPECT_TRUE(fromVbo == fromImmediate) << "lit " << lit;
        EXPECT_TRUE(fromVbo == fromDisplayList) << "lit " << lit;
        // A model loaded for immediate mode also has its display list (F7 switches between them).
        EXPECT_TRUE(renderIn(libkub::DisplayList, *immediate, lit) == fromImmediate) << "lit " << lit;
    }
}

TEST_F(ModelGLTest, VertexBufferDrawLeavesNoClientStateOrBuffer)
{
    auto model = loadIn(libkub::VBO, cubePath);
    ASSERT_NE(model->mesh.vertexBuffer, 0u);
    OffscreenFrame frame(frameEdge, frameEdge);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -3.0f);
    glActiveTexture(GL_TEXTURE1); // the frame leaves a shadow unit active before the camera pass
    model->setPosition(0.1f, 0.2f, 0.3f);
    model->draw();
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    GLint value = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
    EXPECT_EQ(value, GL_TEXTURE0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[14], -3.0f); // the model's placement was popped
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelGLTest, SecondModelOfAFileSharesTextureAndBuffer)
{
    auto first = loadIn(libkub::VBO, cubePath);
    auto second = loadIn(libkub::VBO, cubePath);
    ASSERT_EQ(first->textures.size(), 1u);
    ASSERT_EQ(second->textures.size(), 1u);
    EXPECT_EQ(first->textures[0], second->textures[0]);
    EXPECT_EQ(first->mesh.vertexBuffer, second->mesh.vertexBuffer);
    const std::string image = std::filesystem::path(cubePath).replace_filename("texcube.png").string();
    ASSERT_NE(libkub::TextureCache::instance().find(image), nullptr);
    EXPECT_EQ(libkub::TextureCache::instance().find(image)->textureName, first->textures[0]);
}

TEST_F(ModelGLTest, MaterialComesFromTheInstantiatedCommonProfile)
{
    auto model = loadIn(libkub::VBO, cubePath);
    const libkub::Material& material = model->material;
    EXPECT_EQ(material.ambient, (libkub::Color4f{0.3f, 0.3f, 0.3f, 1.0f}));
    EXPECT_EQ(material.diffuse, (libkub::Color4f{1.0f, 1.0f, 1.0f, 1.0f})); // given as a texture
    EXPECT_EQ(material.specular, (libkub::Color4f{0.2f, 0.2f, 0.2f, 1.0f}));
    EXPECT_EQ(material.emission, (libkub::Color4f{0.0f, 0.0f, 0.0f, 1.0f}));
    EXPECT_FLOAT_EQ(material.shininess, 16.0f);
}

TEST_F(ModelGLTest, MaterialDefaultsLaterProfilesAndMissingColours)
{
    const std::string effects = between(readText(cubePath), "<library_effects>", "</library_effects>");
    const std::string materials = between(readText(cubePath), "<library_materials>", "</library_materials>");

    // No common profile: the defaults stay.
    auto plain =
        loadIn(libkub::VBO,
               writeDocument("no-common", cubeWith(effects, "<library_effects><effect id=\"texcube-effect\"/>"
                                                            "</library_effects>")));
    EXPECT_EQ(plain->material.ambient, (libkub::Color4f{0.0f, 0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(plain->material.diffuse, (libkub::Color4f{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(plain->material.specular, (libkub::Color4f{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(plain->material.shininess, 0.0f);

    // Two materials: the second one's effect wins. Its phong has no ambient: the reader's zero.
    const std::string twoEffects =
        "<library_effects>"
        "<effect id=\"first\"><profile_COMMON><technique sid=\"t\"><phong>"
        "<ambient><color>0.1 0.2 0.3 1</color></ambient><diffuse><color>0.9 0.9 0.9 1</color></diffuse>"
        "</phong></technique></profile_COMMON></effect>"
        "<effect id=\"second\"><profile_COMMON><technique sid=\"t\"><phong>"
        "<diffuse><color>0.5 0.25 0.125</color></diffuse><shininess><float>7</float></shininess>"
        "</phong></technique></profile_COMMON></effect>"
        "</library_effects>";
    const std::string twoMaterials = "<library_materials>"
                                     "<material id=\"m1\"><instance_effect url=\"#first\"/></material>"
                                     "<material id=\"m2\"><instance_effect url=\"#second\"/></material>"
                                     "</library_materials>";
    std::string text = cubeWith(effects, twoEffects);
    text.replace(text.find(materials), materials.size(), twoMaterials);
    auto second = loadIn(libkub::VBO, writeDocument("two-materials", text));
    EXPECT_EQ(second->material.diffuse, (libkub::Color4f{0.5f, 0.25f, 0.125f, 1.0f}));
    EXPECT_EQ(second->material.ambient, (libkub::Color4f{0.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_FLOAT_EQ(second->material.shininess, 7.0f);
}

TEST_F(ModelGLTest, GlslPassBuildsOneProgramPerPassName)
{
    const std::string folder = kubora::test::temporaryFolder() + "/glsl";
    std::filesystem::create_directories(folder + "/shaders");
    const std::string vertex = "void main()\n{\n    gl_Position = ftransform();\n}\n";
    const std::string fragment = "void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n";
    ASSERT_TRUE(kubora::test::writeFileBytes(folder + "/shaders/plain.vert", {vertex.begin(), vertex.end()}));
    ASSERT_TRUE(
        kubora::test::writeFileBytes(folder + "/shaders/plain.frag", {fragment.begin(), fragment.end()}));
    const std::string glslEffect =
        "<effect id=\"glsl-effect\"><profile_GLSL>"
        "<include sid=\"vs\" url=\"shaders/plain.vert\"/><include sid=\"fs\" url=\"shaders/plain.frag\"/>"
        "<technique sid=\"t\"><pass sid=\"unused\"/><pass sid=\"model-test-pass\">"
        "<shader stage=\"VERTEX\"><name source=\"vs\">main</name></shader>"
        "<shader stage=\"FRAGMENT\"><name source=\"fs\">main</name></shader>"
        "</pass></technique></profile_GLSL></effect>";
    const std::string text = cubeWith("</library_effects>", glslEffect + "</library_effects>");
    const std::string path = folder + "/model.dae";
    ASSERT_TRUE(kubora::test::writeFileBytes(path, {text.begin(), text.end()}));
    ASSERT_TRUE(kubora::test::writeFileBytes(
        folder + "/texcube.png",
        kubora::test::readFileBytes(
            std::filesystem::path(cubePath).replace_filename("texcube.png").string())));

    testing::internal::CaptureStderr();
    auto first = loadIn(libkub::VBO, path);
    auto second = loadIn(libkub::Immediate, path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(first->programs.size(), 1u);
    ASSERT_EQ(second->programs.size(), 1u);
    EXPECT_EQ(first->programs[0], second->programs[0]);
    const libkub::ShaderProgram* program = libkub::ProgramCache::instance().find("model-test-pass");
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(program->programId, first->programs[0]);
    EXPECT_TRUE(program->linked);
    EXPECT_EQ(program->vertexShader->file, folder + "/shaders/plain.vert");
    EXPECT_EQ(libkub::ProgramCache::instance().find("unused"), nullptr);
}

TEST_F(ModelGLTest, MissingOrUnreadableFileGivesAnEmptyModelThatStillPlaces)
{
    const std::string missing = kubora::test::temporaryFolder() + "/nowhere.dae";
    const std::string notXml = writeDocument("not-xml", "this is not a model");
    for (const auto& [path, problem] : {std::pair{missing, std::string("model file not found")},
                                        std::pair{notXml, std::string("not a readable COLLADA document")}}) {
        testing::internal::CaptureStderr();
        auto model = loadIn(libkub::VBO, path);
        const std::string printed = testing::internal::GetCapturedStderr();
        // The parser may say more about the XML before our line; ours is the last.
        const std::string line = "kubora: " + path + ": " + problem + "; the object is left empty\n";
        EXPECT_GE(printed.size(), line.size());
        EXPECT_EQ(printed.substr(printed.size() - std::min(printed.size(), line.size())), line);
        expectEmpty(*model);

        model->setPosition(3.0f, 0.0f, 0.0f);
        EXPECT_EQ(model->bounds().min, (libkub::Vector3f{2.5f, -0.5f, -0.5f}));
        OffscreenFrame frame(frameEdge, frameEdge);
        for (const RenderMode mode : {libkub::VBO, libkub::Immediate, libkub::DisplayList}) {
            const auto pixels = renderIn(mode, *model, true);
            EXPECT_EQ(countNonBlack(pixels), 0u) << mode;
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(ModelGLTest, WithoutTrianglesTheModelIsLeftEmptyAndSaysWhy)
{
    const std::string text = readText(cubePath);
    const std::string path =
        writeDocument("no-triangles", cubeWith(between(text, "<triangles", "</triangles>"), ""));
    testing::internal::CaptureStderr();
    auto model = loadIn(libkub::Immediate, path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kubora: " + path + ": no geometry with a triangle group; the object is left empty\n");
    expectEmpty(*model);
}

TEST_F(ModelGLTest, WithoutImageOrEffectTheModelStillDrawsInItsMaterialColours)
{
    const std::string text = readText(cubePath);
    const std::string noImage = cubeWith(between(text, "<library_images>", "</library_images>"), "");
    std::string noEffect = noImage;
    const std::string instance = "<instance_effect url=\"#texcube-effect\"/>";
    noEffect.replace(noEffect.find(instance), instance.size(), "");
    for (const RenderMode mode : {libkub::VBO, libkub::Immediate, libkub::DisplayList}) {
        const std::string name = "untextured-" + std::to_string(mode);
        const std::string imageless = writeDocument(name, noImage);
        testing::internal::CaptureStderr();
        auto model = loadIn(mode, imageless);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        ASSERT_EQ(model->textures.size(), 1u);
        EXPECT_EQ(model->textures[0], libkub::TextureCache::instance().white());
        // Lit, the faces show the material's colour unchanged by the white texture: no texel of
        // the fixture's four-colour texture, and not black.
        const std::vector<std::uint8_t> pixels = renderIn(mode, *model, true);
        EXPECT_GT(countNonBlack(pixels), 1000u) << mode;

        const std::string effectless = writeDocument(name + "-no-effect", noEffect);
        testing::internal::CaptureStderr();
        auto plain = loadIn(mode, effectless);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "kubora: " + effectless +
                      ": material \"texcube-material\" names no effect of this file; it is skipped\n");
        EXPECT_EQ(plain->material.diffuse, (libkub::Color4f{1.0f, 1.0f, 1.0f, 1.0f}));
        EXPECT_GT(countNonBlack(renderIn(mode, *plain, true)), 1000u) << mode;
    }
}

TEST_F(ModelGLTest, AFileChangedOnDiskGetsABufferOfItsOwn)
{
    // The same path and geometry id, but other positions after the change.
    const std::string text = cubeWith("<init_from>texcube.png", "<init_from>skin.png");
    const std::string path = writeDocument("changing", text);
    auto before = loadIn(libkub::VBO, path);
    std::string moved = text;
    const std::string open = "<float_array id=\"texcube-positions-array\" count=\"24\">";
    moved.insert(moved.find(open) + open.size(), "2 "); // a number in front shifts every position
    ASSERT_TRUE(kubora::test::writeFileBytes(path, {moved.begin(), moved.end()}));
    testing::internal::CaptureStderr();
    auto after = loadIn(libkub::VBO, path);
    testing::internal::GetCapturedStderr();
    ASSERT_NE(before->mesh.vertexBuffer, 0u);
    ASSERT_NE(after->mesh.vertexBuffer, 0u);
    EXPECT_NE(after->mesh.vertexBuffer, before->mesh.vertexBuffer);
}

TEST_F(ModelGLTest, MissingTextureImageDrawsThePlaceholder)
{
    const std::string path =
        writeDocument("lost-image", cubeWith("<init_from>texcube.png", "<init_from>lost.png"));
    const std::string image = std::filesystem::path(path).replace_filename("lost.png").string();
    testing::internal::CaptureStderr();
    auto model = loadIn(libkub::VBO, path);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kubora: " + image +
                  ": cannot be opened (No such file or directory); drawing a placeholder texture instead\n");
    ASSERT_EQ(model->textures.size(), 1u);
    OffscreenFrame frame(frameEdge, frameEdge);
    const float front[3] = {0.0f, 0.0f, 3.0f};
    setUpView(front, false);
    model->draw();
    // Somewhere on the face the magenta squares of the placeholder show.
    const auto pixels = frame.pixels();
    bool magenta = false;
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
        magenta = magenta || (pixels[i] == 255 && pixels[i + 1] == 0 && pixels[i + 2] == 255);
    }
    EXPECT_TRUE(magenta);
}

TEST_F(ModelGLTest, GlslPassWithInlineStageIsNamedAndGetsNoProgram)
{
    const std::string glslEffect = "<effect id=\"inline-effect\"><profile_GLSL>"
                                   "<code sid=\"vs\">void main() { gl_Position = ftransform(); }</code>"
                                   "<technique sid=\"t\"><pass sid=\"inline-pass\">"
                                   "<shader stage=\"VERTEX\"><name source=\"vs\">main</name></shader>"
                                   "</pass></technique></profile_GLSL></effect>";
    const std::string path =
        writeDocument("inline-glsl", cubeWith("</library_effects>", glslEffect + "</library_effects>"));
    std::filesystem::copy_file(std::filesystem::path(cubePath).replace_filename("texcube.png"),
                               std::filesystem::path(path).replace_filename("texcube.png"));
    testing::internal::CaptureStderr();
    auto model = loadIn(libkub::VBO, path);
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        "kubora: " + path +
            ": shader pass \"inline-pass\" of effect \"inline-effect\" lacks a vertex or fragment shader "
            "file; it gets no program\n");
    EXPECT_TRUE(model->programs.empty());
    EXPECT_EQ(model->textures.size(), 1u); // the model itself is whole
    EXPECT_EQ(libkub::ProgramCache::instance().find("inline-pass"), nullptr);
}
