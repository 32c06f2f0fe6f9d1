// The light classes on a real context: defaults, light and camera matrices read back from GL, the
// shadow target, the shadow texture matrix, the framebuffer messages of real framebuffers, and the
// state a shadow pass leaves behind.
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "engine/math/BoundingBox.h"
#include "engine/scene/Camera.h"
#include "engine/scene/DrawableObject.h"
#include "engine/resources/Model.h"
#include "engine/scene/PointLightSource.h"
#include "engine/render/DepthPass.h"
#include "engine/render/SceneRenderer.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/ShadowMapping.h"
#include "engine/scene/SpotLightSource.h"
#include "tests/support/GlTestContext.h"
#include "engine/resources/OffscreenFrame.h"

namespace libkub {
namespace {

using Vec4 = std::array<float, 4>;

Vec4 transform(const Matrix4f& matrix, Vec4 v)
{
    Vec4 result{};
    for (int row = 0; row < 4; ++row) {
        for (int k = 0; k < 4; ++k) {
            result[row] += matrix[k * 4 + row] * v[k];
        }
    }
    return result;
}

// Near and far distances of a gluPerspective matrix.
float nearOf(const Matrix4f& projection)
{
    return projection[14] / (projection[10] - 1.0f);
}
float farOf(const Matrix4f& projection)
{
    return projection[14] / (projection[10] + 1.0f);
}

// Vertical field of view in degrees of a gluPerspective matrix.
float fieldOfViewOf(const Matrix4f& projection)
{
    return 2.0f * std::atan(1.0f / projection[5]) * 180.0f / 3.14159265f;
}

void expectLooksAt(const Matrix4f& view, Vector3f target, const std::string& what)
{
    const Vec4 seen = transform(view, {target.x, target.y, target.z, 1.0f});
    EXPECT_NEAR(seen[0], 0.0f, 1e-4f) << what;
    EXPECT_NEAR(seen[1], 0.0f, 1e-4f) << what;
    EXPECT_LT(seen[2], 0.0f) << what;
}

Camera makeCamera()
{
    return Camera({-10.0f, 8.0f, -10.0f}, {-2.0f, 5.0f, -2.0f}, {0.0f, 1.0f, 0.0f}, 1.0f, 90.0f,
                  static_cast<float>(kubora::test::glTestWindowWidth) / kubora::test::glTestWindowHeight,
                  45.0f);
}

TEST(LightSource, DefaultsOfBothKinds)
{
    PointLightSource point;
    SpotLightSource spot;
    for (LightSource* light : {static_cast<LightSource*>(&point), static_cast<LightSource*>(&spot)}) {
        EXPECT_EQ(light->position, (Color4f{-0.3f, -0.4f, 1.0f, 1.0f}));
        EXPECT_EQ(light->ambient, (Color4f{0.0f, 0.0f, 0.0f, 0.0f}));
        EXPECT_EQ(light->diffuse, (Color4f{1.0f, 1.0f, 1.0f, 1.0f}));
        EXPECT_EQ(light->specular, (Color4f{1.0f, 1.0f, 1.0f, 1.0f}));
        EXPECT_EQ(light->depthTexture, 0xFFFFFFFFu);
        EXPECT_EQ(light->shadowMapLocation, -1);
    }
    EXPECT_EQ(point.type(), 1);
    EXPECT_EQ(point.shadowMapSize(), 1024);
    EXPECT_EQ(spot.type(), 2);
    EXPECT_EQ(spot.shadowMapSize(), 512);
    EXPECT_EQ(spot.direction, (Vector3f{0.0f, 0.0f, -1.0f}));
    EXPECT_EQ(spot.cutOff, 32.0f);
    EXPECT_EQ(spot.exponent, 20.0f);
}

TEST(LightMatrices, NearDistanceIsTheHeightOrOne)
{
    PointLightSource point;
    SpotLightSource spot;
    const float heights[] = {15.0f, 6.0f, 0.0f, -3.0f, 0.5f};
    const float nears[] = {15.0f, 6.0f, 1.0f, 1.0f, 0.5f};
    for (int i = 0; i < 5; ++i) {
        point.position = {12.0f, heights[i], 12.0f, 0.0f};
        spot.position = {3.0f, heights[i], 4.0f, 1.0f};
        point.computeLightMatrices();
        spot.computeLightMatrices();
        EXPECT_NEAR(nearOf(point.lightProjection), nears[i], 1e-3f * nears[i]) << "y = " << heights[i];
        EXPECT_NEAR(nearOf(spot.lightProjection), nears[i], 1e-3f * nears[i]) << "y = " << heights[i];
        EXPECT_NEAR(farOf(point.lightProjection), 20.0f, 0.02f);
        EXPECT_NEAR(farOf(spot.lightProjection), 20.0f, 0.02f);
    }
    EXPECT_NEAR(fieldOfViewOf(point.lightProjection), 90.0f, 1e-3f);
    EXPECT_NEAR(fieldOfViewOf(spot.lightProjection), 30.0f, 1e-3f);
    EXPECT_FLOAT_EQ(point.lightProjection[0], point.lightProjection[5]); // aspect 1
}

TEST(LightMatrices, PointLightLooksAtAFixedPointAndSpotLightStraightDown)
{
    PointLightSource point;
    point.position = {12.0f, 15.0f, 12.0f, 0.0f};
    point.computeLightMatrices();
    expectLooksAt(point.lightView, {12.0f, -2.0f, 12.0f}, "point light at (12, 15, 12)");
    const Vec4 eye = transform(point.lightView, {12.0f, 15.0f, 12.0f, 1.0f});
    EXPECT_NEAR(eye[0], 0.0f, 1e-4f);
    EXPECT_NEAR(eye[1], 0.0f, 1e-4f);
    EXPECT_NEAR(eye[2], 0.0f, 1e-4f);

    point.position = {2.0f, 9.0f, -5.0f, 1.0f};
    point.computeLightMatrices();
    expectLooksAt(point.lightView, {12.0f, -2.0f, 12.0f}, "moved point light still looks at (12, -2, 12)");

    SpotLightSource spot;
    spot.position = {0.0f, 6.0f, 0.0f, 1.0f};
    spot.computeLightMatrices();
    expectLooksAt(spot.lightView, {0.0f, -2.0f, 0.0f}, "spot light at the origin");
    spot.position = {9.0f, 6.0f, 15.0f, 1.0f};
    spot.computeLightMatrices();
    expectLooksAt(spot.lightView, {9.0f, -2.0f, 15.0f}, "spot light moved over (9, 15)");
    // Up is +z in the light's picture.
    const Vec4 ahead = transform(spot.lightView, {9.0f, -2.0f, 16.0f, 1.0f});
    EXPECT_GT(ahead[1], 0.0f);
}

TEST(LightMatrices, ComposingLeavesTheModelviewStackAsItWas)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, 3.0f);
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    SpotLightSource spot;
    spot.computeLightMatrices();
    Camera camera = makeCamera();
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, 3.0f);
    spot.computeCameraMatrices(camera);
    Matrix4f after;
    glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_EQ(after[12], 1.0f);
    EXPECT_EQ(after[13], 2.0f);
    EXPECT_EQ(after[14], 3.0f);
}

TEST(CameraMatrices, CopyTheCamerasProjectionAndView)
{
    Camera camera = makeCamera();
    camera.orbit(0.3f, 0.1f);
    Matrix4f projection;
    Matrix4f view;
    camera.applyProjection();
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    camera.applyView();
    glGetFloatv(GL_MODELVIEW_MATRIX, view.data());

    PointLightSource light;
    light.computeCameraMatrices(camera);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(light.cameraProjection[i], projection[i], 1e-6f) << i;
        EXPECT_NEAR(light.cameraView[i], view[i], 1e-6f) << i;
    }
}

TEST(ShadowTarget, DepthTextureComparesAndClampsToTheFarDepth)
{
    for (int kind = 0; kind < 2; ++kind) {
        PointLightSource point;
        SpotLightSource spot;
        LightSource& light = kind == 0 ? static_cast<LightSource&>(point) : spot;
        light.createShadowTarget();
        ASSERT_NE(light.depthTexture, 0xFFFFFFFFu);
        ASSERT_NE(light.framebuffer, 0u);
        glBindTexture(GL_TEXTURE_2D, light.depthTexture);
        GLint width = 0, height = 0, depthBits = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_DEPTH_SIZE, &depthBits);
        EXPECT_EQ(width, light.shadowMapSize());
        EXPECT_EQ(height, light.shadowMapSize());
        EXPECT_GE(depthBits, 16);
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
        EXPECT_EQ(value, GL_LINEAR);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
        EXPECT_EQ(value, GL_LINEAR);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
        EXPECT_EQ(value, GL_CLAMP_TO_BORDER);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
        EXPECT_EQ(value, GL_CLAMP_TO_BORDER);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, &value);
        EXPECT_EQ(value, GL_LEQUAL);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, &value);
        EXPECT_EQ(value, GL_COMPARE_R_TO_TEXTURE);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, &value);
        EXPECT_EQ(value, GL_INTENSITY);
        GLfloat border[4] = {};
        glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
        EXPECT_EQ(border[0], 1.0f);
        EXPECT_EQ(border[3], 1.0f);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ShadowTextureMatrix, CarriesEyeSpaceIntoTheLightsDepthTexture)
{
    Camera camera = makeCamera();
    SpotLightSource light;
    light.position = {3.0f, 6.0f, 4.0f, 1.0f};
    light.computeLightMatrices();
    light.computeCameraMatrices(camera);
    glActiveTexture(GL_TEXTURE2);
    light.loadShadowTextureMatrix();
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    Matrix4f textureMatrix;
    glMatrixMode(GL_TEXTURE);
    glGetFloatv(GL_TEXTURE_MATRIX, textureMatrix.data());
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glActiveTexture(GL_TEXTURE0);

    // The point straight below the light, on the light's near plane (y = 0): centre of the map, depth 0.
    const Vec4 belowEye = transform(light.cameraView, {3.0f, 0.0f, 4.0f, 1.0f});
    Vec4 coordinate = transform(textureMatrix, belowEye);
    EXPECT_NEAR(coordinate[0] / coordinate[3], 0.5f, 1e-4f);
    EXPECT_NEAR(coordinate[1] / coordinate[3], 0.5f, 1e-4f);
    EXPECT_NEAR(coordinate[2] / coordinate[3], 0.0f, 1e-4f);
    // Further down, 20 units from the light: the far depth 1.
    coordinate = transform(textureMatrix, transform(light.cameraView, {3.0f, -14.0f, 4.0f, 1.0f}));
    EXPECT_NEAR(coordinate[2] / coordinate[3], 1.0f, 1e-4f);
    // On the edge of the 30-degree view one unit below the near plane: s or t at the border.
    const float halfWidth = 7.0f * std::tan(15.0f * 3.14159265f / 180.0f);
    coordinate = transform(textureMatrix, transform(light.cameraView, {3.0f, -1.0f, 4.0f + halfWidth, 1.0f}));
    EXPECT_NEAR(coordinate[0] / coordinate[3], 0.5f, 1e-4f);
    EXPECT_NEAR(coordinate[1] / coordinate[3], 1.0f, 1e-4f);
}

TEST(FramebufferCheck, RealFramebuffersPrintTheirOwnStatus)
{
    GLuint framebuffer = 0;
    glGenFramebuffersEXT(1, &framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    testing::internal::CaptureStdout();
    checkFramebufferStatus();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "incomplete attachments");

    PointLightSource light;
    light.createShadowTarget();
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, light.depthTexture,
                              0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    testing::internal::CaptureStdout();
    checkFramebufferStatus();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glDeleteFramebuffersEXT(1, &framebuffer);
    testing::internal::CaptureStdout();
    checkFramebufferStatus();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(ShadowProgram, SourcesCompileAndLinkCleanlyWithBothShadowSamplers)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    ShaderProgram program("data/shadow.vert", "shadow", "data/shadow.frag");
    program.link();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "the compiler has something to say";
    GLint linked = GL_FALSE;
    glGetProgramiv(program.programId, GL_LINK_STATUS, &linked);
    ASSERT_EQ(linked, GL_TRUE);
    EXPECT_GE(glGetUniformLocation(program.programId, "shadowMap0"), 0);
    EXPECT_GE(glGetUniformLocation(program.programId, "shadowMap1"), 0);
    EXPECT_GE(glGetUniformLocation(program.programId, "colourMap"), 0);
}

// A unit square in the plane y = height, facing down or up, drawn in immediate mode.
class Square : public DrawableObject {
  public:
    Square(float squareHeight, bool facingUp) : height(squareHeight), up(facingUp) {}
    void draw() override
    {
        glBegin(GL_QUADS);
        glNormal3f(0.0f, up ? 1.0f : -1.0f, 0.0f);
        if (up) {
            glVertex3f(-1.0f, height, -1.0f);
            glVertex3f(-1.0f, height, 1.0f);
            glVertex3f(1.0f, height, 1.0f);
            glVertex3f(1.0f, height, -1.0f);
        } else {
            glVertex3f(-1.0f, height, -1.0f);
            glVertex3f(1.0f, height, -1.0f);
            glVertex3f(1.0f, height, 1.0f);
            glVertex3f(-1.0f, height, 1.0f);
        }
        glEnd();
    }
    Model* model() override { return &squareModel; }

  private:
    float height;
    bool up;
    Model squareModel;
};

float depthAtCentre(const LightSource& light)
{
    const int size = light.shadowMapSize();
    std::vector<float> depth(static_cast<std::size_t>(size) * size);
    glBindTexture(GL_TEXTURE_2D, light.depthTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return depth[static_cast<std::size_t>(size / 2) * size + size / 2];
}

TEST(ShadowPass, RendersDepthFromTheLightAndRestoresTheCallersState)
{
    Camera camera = makeCamera();
    SceneRenderer renderer(&camera);
    SpotLightSource light;
    light.position = {0.0f, 6.0f, 0.0f, 1.0f};
    light.setupShadowMap(nullptr, 0, &camera);
    Square downFacing(-2.0f, false);
    renderer.addObject(&downFacing);

    // The caller draws into an off-screen frame of another size than the window: the pass gives that
    // frame and its viewport back.
    libkub::OffscreenFrame frame(96, 72);
    GLint callerFramebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &callerFramebuffer);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    testing::internal::CaptureStdout();
    libkub::drawDepthPass(renderer, light);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    glDisable(GL_CULL_FACE);

    // Depth range from y = 0 (near, the light's height) to 20 units below the light: y = -2 lies at
    // eye distance 8, where the perspective depth is (1/6 - 1/8) / (1/6 - 1/20).
    const float expected = (1.0f / 6.0f - 1.0f / 8.0f) / (1.0f / 6.0f - 1.0f / 20.0f);
    EXPECT_NEAR(depthAtCentre(light), expected, 0.01f);

    GLint value = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &value);
    EXPECT_NE(callerFramebuffer, 0);
    EXPECT_EQ(value, callerFramebuffer);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 96);
    EXPECT_EQ(viewport[3], 72);
    GLboolean mask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_TRUE(mask[0] && mask[1] && mask[2] && mask[3]);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Culling front faces keeps an up-facing square out of the map: the far depth stays.
    Square upFacing(-2.0f, true);
    renderer.removeObject(&downFacing);
    renderer.addObject(&upFacing);
    glEnable(GL_CULL_FACE);
    libkub::drawDepthPass(renderer, light);
    glDisable(GL_CULL_FACE);
    EXPECT_EQ(depthAtCentre(light), 1.0f);
}

} // namespace
} // namespace libkub
