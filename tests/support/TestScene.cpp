#include "tests/support/TestScene.h"

#include <GL/glew.h>

#include <cmath>

#include "engine/resources/RenderSettings.h"
#include "engine/scene/PointLightSource.h"
#include "engine/scene/SpotLightSource.h"

namespace kubora::test {

using libkub::Color4f;
using libkub::Corner;
using libkub::Mesh;
using libkub::Model;
using libkub::Triangle;
using libkub::Vector3f;

namespace {

// Two triangles of a quad given counter-clockwise as seen from the side its normal points to.
void addQuad(std::vector<Triangle>& triangles, Vector3f normal, const Vector3f (&corners)[4])
{
    const float s[4] = {0.0f, 1.0f, 1.0f, 0.0f};
    const float t[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    auto corner = [&](int i) { return Corner{corners[i], normal, s[i], t[i]}; };
    triangles.push_back(Triangle{{corner(0), corner(1), corner(2)}});
    triangles.push_back(Triangle{{corner(0), corner(2), corner(3)}});
}

Mesh recordMesh(std::vector<Triangle> triangles)
{
    Mesh mesh;
    mesh.triangleCount = static_cast<std::uint32_t>(triangles.size());
    mesh.triangles = std::move(triangles);
    if (libkub::RenderSettings::instance().renderMode == libkub::VBO) {
        libkub::fillVertexBuffer(mesh);
    } else {
        libkub::compileDisplayList(mesh);
    }
    return mesh;
}

unsigned makeWhiteTexture()
{
    const unsigned char white[2 * 2 * 3] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    GLuint name = 0;
    glActiveTexture(GL_TEXTURE0);
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, white);
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

} // namespace

std::vector<Triangle> unitBoxTriangles()
{
    const float h = 0.5f;
    std::vector<Triangle> triangles;
    addQuad(triangles, {0, 1, 0}, {{-h, h, -h}, {-h, h, h}, {h, h, h}, {h, h, -h}});      // top
    addQuad(triangles, {0, -1, 0}, {{-h, -h, -h}, {h, -h, -h}, {h, -h, h}, {-h, -h, h}}); // bottom
    addQuad(triangles, {1, 0, 0}, {{h, -h, -h}, {h, h, -h}, {h, h, h}, {h, -h, h}});      // +x
    addQuad(triangles, {-1, 0, 0}, {{-h, -h, -h}, {-h, -h, h}, {-h, h, h}, {-h, h, -h}}); // -x
    addQuad(triangles, {0, 0, 1}, {{-h, -h, h}, {h, -h, h}, {h, h, h}, {-h, h, h}});      // +z
    addQuad(triangles, {0, 0, -1}, {{-h, -h, -h}, {-h, h, -h}, {h, h, -h}, {h, -h, -h}}); // -z
    return triangles;
}

std::vector<Triangle> unitSquareTriangles()
{
    const float h = 0.5f;
    std::vector<Triangle> triangles;
    addQuad(triangles, {0, 1, 0}, {{-h, 0, -h}, {-h, 0, h}, {h, 0, h}, {h, 0, -h}});
    return triangles;
}

TestScene::TestScene()
    : box(recordMesh(unitBoxTriangles())), square(recordMesh(unitSquareTriangles())),
      whiteTexture(makeWhiteTexture())
{
}

std::unique_ptr<Model> TestScene::makeModel(const Mesh& prototype, Color4f colour) const
{
    auto model = std::make_unique<Model>();
    model->mesh = prototype; // shares the prototype's vertex buffer or display list
    model->textures.push_back(whiteTexture);
    model->material.ambient = colour;
    model->material.diffuse = colour;
    model->material.specular = {0.2f, 0.2f, 0.2f, 1.0f};
    model->material.shininess = 32.0f;
    return model;
}

ModelObject& TestScene::addBox(Vector3f centre, Vector3f size, Color4f colour)
{
    auto model = makeModel(box, colour);
    model->setSize(size.x, size.y, size.z);
    model->setPosition(centre.x, centre.y, centre.z);
    objects.push_back(std::make_unique<ModelObject>(std::move(model)));
    return *objects.back();
}

ModelObject& TestScene::addPlane(Vector3f centre, float edge, Color4f colour)
{
    auto model = makeModel(square, colour);
    model->setSize(edge, 1.0f, edge);
    model->setPosition(centre.x, centre.y, centre.z);
    objects.push_back(std::make_unique<ModelObject>(std::move(model)));
    return *objects.back();
}

void TestScene::addBoxField(int count)
{
    const int perRow = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    const float step = 21.0f / static_cast<float>(perRow > 1 ? perRow - 1 : 1);
    for (int i = 0; i < count; ++i) {
        const int row = i / perRow;
        const int column = i % perRow;
        const float height = 0.4f + 0.6f * static_cast<float>(i % 3); // the tallest rise above y = 0
        const Color4f colour{0.3f + 0.7f * static_cast<float>(row % 2),
                             0.3f + 0.5f * static_cast<float>(column % 2), 0.6f, 1.0f};
        addBox({step * static_cast<float>(row), -1.0f + height * 0.5f, step * static_cast<float>(column)},
               {0.4f, height, 0.4f}, colour);
    }
    // Last, as the game adds its board after the tiles and dice that stand on it.
    addPlane({10.5f, -1.0f, 10.5f}, 24.0f, {0.8f, 0.8f, 0.8f, 1.0f});
}

void configureGameLights(libkub::PointLightSource& point, libkub::SpotLightSource& spot, float spotX,
                         float spotZ)
{
    point.position = {12.0f, 15.0f, 12.0f, 0.0f};
    point.ambient = {0.3f, 0.3f, 0.3f, 0.4f};
    point.diffuse = {0.6f, 0.6f, 0.6f, 1.0f};
    point.specular = {0.1f, 0.1f, 0.2f, 0.5f};
    spot.position = {spotX, 6.0f, spotZ, 1.0f};
    spot.ambient = {0.0f, 0.0f, 0.0f, 0.0f};
    spot.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    spot.specular = {1.0f, 1.0f, 1.0f, 1.0f};
    spot.exponent = 36.0f;
    spot.cutOff = 64.0f;
    spot.direction = {0.0f, -1.0f, 0.0f};
}

} // namespace kubora::test
