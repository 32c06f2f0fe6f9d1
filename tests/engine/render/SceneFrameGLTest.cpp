// The frame on a real context, in all three render modes: light numbers, texture units and sampler
// values read back from GL, the ninth light, a context without framebuffer objects, and pictures read
// back from the frame (a box's shadow lies where it must and nowhere else, touches a box standing on
// the plane, is whole for a box rising above the light's near plane, keeps the ambient owner colour,
// and the spot light's lit disc follows the light).
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/resources/RenderSettings.h"
#include "engine/scene/Camera.h"
#include "engine/scene/PointLightSource.h"
#include "engine/render/SceneRenderer.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/scene/SpotLightSource.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/TestScene.h"

namespace libkub {
namespace {

using kubora::test::TestScene;

struct Point2 {
    double x = 0.0;
    double z = 0.0;
};

// A frame read back from the window's back buffer, with the camera matrices the frame left loaded.
class Frame {
  public:
    Frame()
    {
        glFinish();
        glReadBuffer(GL_BACK);
        width = glutGet(GLUT_WINDOW_WIDTH);
        height = glutGet(GLUT_WINDOW_HEIGHT);
        pixels = kubora::test::readPixelsRgb(0, 0, width, height);
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
    }

    // Window position of a world point; false when it falls outside the frame.
    bool project(Vector3f point, int& x, int& y) const
    {
        double wx = 0.0, wy = 0.0, wz = 0.0;
        gluProject(point.x, point.y, point.z, modelview, projection, viewport, &wx, &wy, &wz);
        x = static_cast<int>(wx);
        y = static_cast<int>(wy);
        return x >= 0 && y >= 0 && x < width && y < height && wz > 0.0 && wz < 1.0;
    }

    // Sum of the three channels at a window position.
    int brightness(int x, int y) const
    {
        const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
        return pixels[at] + pixels[at + 1] + pixels[at + 2];
    }

    // Brightness at a world point, averaged over 3 x 3 pixels; -1 when off screen.
    int brightnessAt(Vector3f point) const
    {
        int x = 0, y = 0;
        if (!project(point, x, y) || x < 1 || y < 1 || x + 1 >= width || y + 1 >= height) {
            return -1;
        }
        int sum = 0;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                sum += brightness(x + dx, y + dy);
            }
        }
        return sum / 9;
    }

    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    GLdouble modelview[16] = {};
    GLdouble projection[16] = {};
    GLint viewport[4] = {};
};

// Convex hull (counter-clockwise) of points in the x-z plane.
std::vector<Point2> convexHull(std::vector<Point2> points)
{
    std::sort(points.begin(), points.end(),
              [](Point2 a, Point2 b) { return a.x < b.x || (a.x == b.x && a.z < b.z); });
    auto cross = [](Point2 o, Point2 a, Point2 b) {
        return (a.x - o.x) * (b.z - o.z) - (a.z - o.z) * (b.x - o.x);
    };
    std::vector<Point2> hull(2 * points.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0) {
            --k;
        }
        hull[k++] = points[i];
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i > 0; --i) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], points[i - 1]) <= 0) {
            --k;
        }
        hull[k++] = points[i - 1];
    }
    hull.resize(k - 1);
    return hull;
}

// Signed distance from a counter-clockwise convex polygon's boundary: positive inside.
double insideDistance(const std::vector<Point2>& hull, Point2 p)
{
    double distance = 1e9;
    for (std::size_t i = 0; i < hull.size(); ++i) {
        const Point2 a = hull[i];
        const Point2 b = hull[(i + 1) % hull.size()];
        const double ex = b.x - a.x;
        const double ez = b.z - a.z;
        const double length = std::sqrt(ex * ex + ez * ez);
        distance = std::min(distance, (ex * (p.z - a.z) - ez * (p.x - a.x)) / length);
    }
    return distance;
}

// Where the box of the given centre and size throws its shadow on the plane y = planeY, seen from a
// point light at light.
std::vector<Point2> shadowOutline(Vector3f light, Vector3f centre, Vector3f size, float planeY)
{
    std::vector<Point2> corners;
    for (int i = 0; i < 8; ++i) {
        const Vector3f c{centre.x + ((i & 1) ? 0.5f : -0.5f) * size.x,
                         centre.y + ((i & 2) ? 0.5f : -0.5f) * size.y,
                         centre.z + ((i & 4) ? 0.5f : -0.5f) * size.z};
        const double t = (light.y - planeY) / (light.y - c.y);
        corners.push_back({light.x + (c.x - light.x) * t, light.z + (c.z - light.z) * t});
    }
    return convexHull(corners);
}

class SceneFrame : public testing::TestWithParam<RenderMode> {
  protected:
    void SetUp() override
    {
        RenderSettings::instance().renderMode = GetParam();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glEnable(GL_DEPTH_TEST);
        scene = std::make_unique<TestScene>();
    }

    void TearDown() override
    {
        RenderSettings::instance().renderMode = VBO;
        RenderSettings::instance().wireframe = false;
    }

    // The renderer with the game's two lights, the spot light hanging above (spotX, spotZ).
    void makeRenderer(Vector3f eye, Vector3f target, float spotX = -30.0f, float spotZ = -30.0f)
    {
        const float aspect = static_cast<float>(glutGet(GLUT_WINDOW_WIDTH)) / glutGet(GLUT_WINDOW_HEIGHT);
        camera =
            std::make_unique<Camera>(eye, target, Vector3f{0.0f, 1.0f, 0.0f}, 1.0f, 90.0f, aspect, 45.0f);
        renderer = std::make_unique<SceneRenderer>(camera.get());
        for (auto& object : scene->objects) {
            renderer->addObject(object.get());
        }
        kubora::test::configureGameLights(point, spot, spotX, spotZ);
        renderer->addLight(&point);
        renderer->addLight(&spot);
    }

    std::unique_ptr<TestScene> scene;
    std::unique_ptr<Camera> camera;
    std::unique_ptr<SceneRenderer> renderer;
    PointLightSource point;
    SpotLightSource spot;
};

TEST_P(SceneFrame, TwoLightsGetTheirNumbersUnitsAndSamplers)
{
    scene->addPlane({0.0f, -1.0f, 0.0f}, 10.0f, {0.8f, 0.8f, 0.8f, 1.0f});
    makeRenderer({-10.0f, 8.0f, -10.0f}, {-2.0f, 5.0f, -2.0f}, 3.0f, 4.0f);
    ASSERT_TRUE(renderer->shadowProgram);
    const GLuint program = renderer->shadowProgram->programId;
    EXPECT_EQ(point.lightNumber, static_cast<GLenum>(GL_LIGHT0));
    EXPECT_EQ(spot.lightNumber, static_cast<GLenum>(GL_LIGHT1));
    EXPECT_EQ(point.shadowIndex, 0);
    EXPECT_EQ(spot.shadowIndex, 1);
    EXPECT_EQ(point.shadowMapLocation, glGetUniformLocation(program, "shadowMap0"));
    EXPECT_EQ(spot.shadowMapLocation, glGetUniformLocation(program, "shadowMap1"));
    ASSERT_GE(point.shadowMapLocation, 0);
    ASSERT_GE(spot.shadowMapLocation, 0);

    testing::internal::CaptureStdout();
    renderer->render();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), ""); // complete framebuffers say nothing
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    GLint sampler = -1;
    glGetUniformiv(program, point.shadowMapLocation, &sampler);
    EXPECT_EQ(sampler, 1);
    glGetUniformiv(program, spot.shadowMapLocation, &sampler);
    EXPECT_EQ(sampler, 2);
    GLint bound = 0;
    glActiveTexture(GL_TEXTURE1);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), point.depthTexture);
    glActiveTexture(GL_TEXTURE2);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), spot.depthTexture);
    glActiveTexture(GL_TEXTURE0);

    // The frame leaves the colour unit active, no program current, culling off, the camera's matrices.
    GLint value = -1;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
    EXPECT_EQ(value, GL_TEXTURE0);
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    Matrix4f modelview;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(modelview[i], spot.cameraView[i], 1e-6f);
    }

    // The lights' parameters, positions kept in the camera's eye space.
    GLfloat values[4] = {};
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, values);
    EXPECT_FLOAT_EQ(values[0], 0.6f);
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, values);
    EXPECT_FLOAT_EQ(values[0], 0.3f);
    glGetLightfv(GL_LIGHT1, GL_SPOT_CUTOFF, values);
    EXPECT_FLOAT_EQ(values[0], 64.0f);
    glGetLightfv(GL_LIGHT1, GL_SPOT_EXPONENT, values);
    EXPECT_FLOAT_EQ(values[0], 36.0f);
    glGetLightfv(GL_LIGHT1, GL_POSITION, values);
    const Matrix4f& view = spot.cameraView;
    for (int row = 0; row < 3; ++row) {
        const float expected =
            view[row] * 3.0f + view[4 + row] * 6.0f + view[8 + row] * 4.0f + view[12 + row];
        EXPECT_NEAR(values[row], expected, 1e-4f) << "row " << row;
    }
    glGetLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, values);
    for (int row = 0; row < 3; ++row) {
        EXPECT_NEAR(values[row], -view[4 + row], 1e-5f) << "row " << row;
    }
}

TEST_P(SceneFrame, WireframeReachesTheWholeFrame)
{
    scene->addPlane({0.0f, -1.0f, 0.0f}, 10.0f, {0.8f, 0.8f, 0.8f, 1.0f});
    makeRenderer({-10.0f, 8.0f, -10.0f}, {-2.0f, 5.0f, -2.0f});
    RenderSettings::instance().wireframe = true;
    renderer->render();
    GLint modes[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_LINE);
    RenderSettings::instance().wireframe = false;
    renderer->render();
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The sampled plane points: inside the predicted shadow by a margin, and outside it by a margin.
struct ShadowSamples {
    std::vector<int> shadowed;
    std::vector<int> lit;
};

ShadowSamples sampleShadow(const Frame& frame, const std::vector<Point2>& outline, float planeY,
                           Vector3f boxCentre, Vector3f boxSize, float x0, float x1, float z0, float z1)
{
    // The box hides part of the plane from the camera: skip the window rectangle it covers.
    int left = frame.width, right = -1, bottom = frame.height, top = -1;
    for (int i = 0; i < 8; ++i) {
        const Vector3f c{boxCentre.x + ((i & 1) ? 0.5f : -0.5f) * boxSize.x,
                         boxCentre.y + ((i & 2) ? 0.5f : -0.5f) * boxSize.y,
                         boxCentre.z + ((i & 4) ? 0.5f : -0.5f) * boxSize.z};
        int x = 0, y = 0;
        frame.project(c, x, y);
        left = std::min(left, x - 3);
        right = std::max(right, x + 3);
        bottom = std::min(bottom, y - 3);
        top = std::max(top, y + 3);
    }
    ShadowSamples samples;
    for (float x = x0; x <= x1; x += 0.2f) {
        for (float z = z0; z <= z1; z += 0.2f) {
            int wx = 0, wy = 0;
            if (!frame.project({x, planeY, z}, wx, wy) ||
                (wx >= left && wx <= right && wy >= bottom && wy <= top)) {
                continue;
            }
            const double inside = insideDistance(outline, {x, z});
            const int value = frame.brightnessAt({x, planeY, z});
            if (value < 0) {
                continue;
            }
            if (inside > 0.12) {
                samples.shadowed.push_back(value);
            } else if (inside < -0.25) {
                samples.lit.push_back(value);
            }
        }
    }
    return samples;
}

int median(std::vector<int> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

TEST_P(SceneFrame, FloatingBoxShadowsThePlaneWhereThePointLightCannotSeeItAndNowhereElse)
{
    const float planeY = -4.0f;
    const Vector3f boxCentre{6.0f, -0.5f, 12.0f};
    const Vector3f boxSize{0.8f, 0.8f, 0.8f};
    scene->addPlane({8.0f, planeY, 12.0f}, 16.0f, {0.8f, 0.8f, 0.8f, 1.0f});
    scene->addBox(boxCentre, boxSize, {0.9f, 0.3f, 0.2f, 1.0f});
    makeRenderer({-2.0f, 6.0f, 20.0f}, {5.0f, planeY, 12.0f});
    renderer->render();
    const Frame frame;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const auto outline = shadowOutline({12.0f, 15.0f, 12.0f}, boxCentre, boxSize, planeY);
    const ShadowSamples samples =
        sampleShadow(frame, outline, planeY, boxCentre, boxSize, 1.0f, 14.0f, 6.0f, 18.0f);
    ASSERT_GE(samples.shadowed.size(), 8u);
    ASSERT_GE(samples.lit.size(), 100u);
    const int lit = median(samples.lit);
    ASSERT_GT(lit, 150) << "the plane must be lit";
    for (int value : samples.shadowed) {
        EXPECT_LT(value, lit * 0.75) << "a point inside the shadow is not dark";
    }
    for (int value : samples.lit) {
        EXPECT_GT(value, lit * 0.9) << "a point outside the shadow is dark (acne or a stray shadow)";
    }
}

TEST_P(SceneFrame, BoxRisingAboveTheLightsNearPlaneCastsItsWholeShadow)
{
    // The point light's depth range starts at y = 0; the box reaches from the plane at y = -1 to y = 1.
    const float planeY = -1.0f;
    const Vector3f boxCentre{4.0f, 0.0f, 12.0f};
    const Vector3f boxSize{0.6f, 2.0f, 0.6f};
    scene->addPlane({8.0f, planeY, 12.0f}, 16.0f, {0.8f, 0.8f, 0.8f, 1.0f});
    scene->addBox(boxCentre, boxSize, {0.9f, 0.3f, 0.2f, 1.0f});
    makeRenderer({-2.0f, 6.0f, 20.0f}, {5.0f, planeY, 12.0f});
    renderer->render();
    const Frame frame;

    const auto outline = shadowOutline({12.0f, 15.0f, 12.0f}, boxCentre, boxSize, planeY);
    const ShadowSamples samples =
        sampleShadow(frame, outline, planeY, boxCentre, boxSize, 0.5f, 14.0f, 6.0f, 18.0f);
    ASSERT_GE(samples.lit.size(), 100u);
    const int lit = median(samples.lit);
    ASSERT_GT(lit, 150);
    for (int value : samples.lit) {
        EXPECT_GT(value, lit * 0.9) << "a point outside the shadow is dark";
    }
    // The far end of the shadow is thrown by the part above y = 0 alone.
    const int tip = frame.brightnessAt({2.75f, planeY, 12.0f});
    ASSERT_GE(tip, 0);
    EXPECT_LT(tip, lit * 0.75) << "the top of the box casts no shadow";
    EXPECT_LT(frame.brightnessAt({3.4f, planeY, 12.0f}), lit * 0.75);
}

// Frame colour at a world point, averaged over 3 x 3 pixels.
struct Colour {
    int r = 0;
    int g = 0;
    int b = 0;
};

Colour colourAt(const Frame& frame, Vector3f point)
{
    int x = 0, y = 0;
    Colour sum;
    if (!frame.project(point, x, y)) {
        return sum;
    }
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const std::size_t at = (static_cast<std::size_t>(y + dy) * frame.width + x + dx) * 3;
            sum.r += frame.pixels[at];
            sum.g += frame.pixels[at + 1];
            sum.b += frame.pixels[at + 2];
        }
    }
    return {sum.r / 9, sum.g / 9, sum.b / 9};
}

TEST_P(SceneFrame, AmbientOwnerColourShowsInLightAndInShadow)
{
    // A grey tile painted with a player's colour as its ambient, as the game marks a tile's owner.
    const float planeY = -4.0f;
    const Vector3f boxCentre{6.0f, -0.5f, 12.0f};
    const Vector3f boxSize{0.8f, 0.8f, 0.8f};
    Model& tile = *scene->addPlane({8.0f, planeY, 12.0f}, 16.0f, {0.7f, 0.7f, 0.7f, 1.0f}).model();
    tile.material.ambient = {0.75f, 0.0f, 0.0f, 1.0f};
    scene->addBox(boxCentre, boxSize, {0.2f, 0.2f, 0.9f, 1.0f});
    makeRenderer({-2.0f, 6.0f, 20.0f}, {5.0f, planeY, 12.0f});
    renderer->render();
    const Frame frame;

    const auto outline = shadowOutline({12.0f, 15.0f, 12.0f}, boxCentre, boxSize, planeY);
    Vector3f inShadow{0.0f, planeY, 0.0f};
    for (float x = 3.0f; x < 6.0f; x += 0.05f) {
        if (insideDistance(outline, {x, 12.0}) > 0.2) {
            inShadow.x = x;
            inShadow.z = 12.0f;
            break;
        }
    }
    ASSERT_NE(inShadow.x, 0.0f);
    const Colour shadowed = colourAt(frame, inShadow);
    const Colour lit = colourAt(frame, {2.0f, planeY, 8.0f});
    EXPECT_GT(shadowed.r, shadowed.g + 60) << "the owner's red is lost in the shadow";
    EXPECT_GT(shadowed.r, shadowed.b + 60);
    EXPECT_GT(lit.r, lit.g + 60) << "the owner's red is lost in the light";
    EXPECT_GT(lit.g, shadowed.g + 40) << "the shadow takes the light's diffuse share";
}

TEST_P(SceneFrame, StandingBoxShadowStartsAtItsFoot)
{
    const float planeY = -4.0f;
    const Vector3f boxCentre{6.0f, planeY + 0.6f, 12.0f};
    const Vector3f boxSize{0.8f, 1.2f, 0.8f};
    scene->addPlane({8.0f, planeY, 12.0f}, 16.0f, {0.8f, 0.8f, 0.8f, 1.0f});
    scene->addBox(boxCentre, boxSize, {0.9f, 0.3f, 0.2f, 1.0f});
    makeRenderer({-2.0f, 6.0f, 20.0f}, {5.0f, planeY, 12.0f});
    renderer->render();
    const Frame frame;

    const int lit = frame.brightnessAt({2.0f, planeY, 8.0f});
    ASSERT_GT(lit, 150);
    // Just beyond the face turned away from the light, along the whole foot of that face.
    for (float z = 11.75f; z <= 12.25f; z += 0.1f) {
        const int value = frame.brightnessAt({5.6f - 0.08f, planeY, z});
        ASSERT_GE(value, 0);
        EXPECT_LT(value, lit * 0.75) << "no shadow at the foot of the box at z = " << z;
    }
    // Beside the box, towards the light: lit.
    EXPECT_GT(frame.brightnessAt({6.0f, planeY, 13.0f}), lit * 0.9);
}

TEST_P(SceneFrame, SpotLightsDiscFollowsTheLight)
{
    scene->addPlane({10.0f, -1.0f, 10.0f}, 24.0f, {0.8f, 0.8f, 0.8f, 1.0f});
    makeRenderer({10.0f, 16.0f, -6.0f}, {10.0f, -1.0f, 10.0f}, 5.0f, 5.0f);
    renderer->render();
    const Frame first;
    const int underA = first.brightnessAt({5.0f, -1.0f, 5.0f});
    const int underB = first.brightnessAt({15.0f, -1.0f, 15.0f});

    spot.position = {15.0f, spot.position.g, 15.0f, 1.0f};
    spot.direction = {0.0f, -1.0f, 0.0f};
    renderer->render();
    const Frame second;
    const int movedA = second.brightnessAt({5.0f, -1.0f, 5.0f});
    const int movedB = second.brightnessAt({15.0f, -1.0f, 15.0f});

    ASSERT_GE(std::min({underA, underB, movedA, movedB}), 0);
    EXPECT_GT(underA, underB + 120);
    EXPECT_GT(movedB, movedA + 120);
    EXPECT_NEAR(underB, movedA, 12); // both are lit by the point light only
}

TEST_P(SceneFrame, NinthLightIsIgnoredWithOneLine)
{
    makeRenderer({-10.0f, 8.0f, -10.0f}, {-2.0f, 5.0f, -2.0f});
    std::vector<std::unique_ptr<PointLightSource>> more;
    for (int i = 0; i < 7; ++i) {
        more.push_back(std::make_unique<PointLightSource>());
    }
    testing::internal::CaptureStderr();
    for (int i = 0; i < 6; ++i) {
        renderer->addLight(more[i].get());
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(more[5]->lightNumber, static_cast<GLenum>(GL_LIGHT7));
    testing::internal::CaptureStderr();
    renderer->addLight(more[6].get());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kubora: light 9: OpenGL numbers only 8 lights; this light is ignored\n");
    EXPECT_EQ(more[6]->lightNumber, noLightNumber);
    EXPECT_EQ(more[6]->depthTexture, 0xFFFFFFFFu);
    EXPECT_EQ(renderer->lights.size(), 8u);
    renderer->render();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_P(SceneFrame, WithoutFramebufferObjectsShadowsAreOffAndTheFrameStillDraws)
{
    const float planeY = -4.0f;
    const Vector3f boxCentre{6.0f, -0.5f, 12.0f};
    const Vector3f boxSize{0.8f, 0.8f, 0.8f};
    scene->addPlane({8.0f, planeY, 12.0f}, 16.0f, {0.8f, 0.8f, 0.8f, 1.0f});
    scene->addBox(boxCentre, boxSize, {0.9f, 0.3f, 0.2f, 1.0f});

    const GLboolean offered = __GLEW_EXT_framebuffer_object;
    __GLEW_EXT_framebuffer_object = GL_FALSE;
    testing::internal::CaptureStderr();
    makeRenderer({-2.0f, 6.0f, 20.0f}, {5.0f, planeY, 12.0f});
    const std::string lines = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStdout();
    renderer->render();
    const std::string printed = testing::internal::GetCapturedStdout();
    __GLEW_EXT_framebuffer_object = offered;

    EXPECT_NE(lines.find("kubora: shadows: this OpenGL offers no framebuffer objects; shadows are off\n"),
              std::string::npos)
        << lines;
    EXPECT_EQ(lines.find("shadows are off"), lines.rfind("shadows are off")) << "one line for both lights";
    EXPECT_EQ(spot.framebuffer, 0u);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(point.framebuffer, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const Frame frame;
    const auto outline = shadowOutline({12.0f, 15.0f, 12.0f}, boxCentre, boxSize, planeY);
    const ShadowSamples samples =
        sampleShadow(frame, outline, planeY, boxCentre, boxSize, 1.0f, 14.0f, 6.0f, 18.0f);
    ASSERT_GE(samples.lit.size(), 100u);
    const int lit = median(samples.lit);
    ASSERT_GT(lit, 150);
    for (int value : samples.shadowed) {
        EXPECT_GT(value, lit * 0.9) << "no shadow is drawn without framebuffer objects";
    }
}

INSTANTIATE_TEST_SUITE_P(RenderModes, SceneFrame, testing::Values(VBO, Immediate, DisplayList),
                         [](const testing::TestParamInfo<RenderMode>& info) {
                             return std::string(info.param == VBO         ? "VBO"
                                                : info.param == Immediate ? "Immediate"
                                                                          : "DisplayList");
                         });

} // namespace
} // namespace libkub
