#include "engine/scene/LightSource.h"

#include <GL/glew.h> // before any other GL header
#include <GL/glu.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/scene/Camera.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/ShadowMapping.h"
#include "engine/resources/Texture.h"

namespace libkub {

namespace {

// The light's depth range ends this far from it.
constexpr float lightFarDistance = 20.0f;

Matrix4f readModelview()
{
    Matrix4f matrix;
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix.data());
    return matrix;
}

void loadMatrix(GLenum mode, const Matrix4f& matrix)
{
    glMatrixMode(mode);
    glLoadIdentity();
    glLoadMatrixf(matrix.data());
}

} // namespace

void LightSource::setupShadowMap(ShaderProgram* program, int index, Camera* sceneCamera)
{
    camera = sceneCamera;
    shadowProgram = program;
    shadowIndex = index;
    createShadowTarget();
    glMatrixMode(GL_MODELVIEW);
    if (camera != nullptr) {
        computeCameraMatrices(*camera);
    }
    computeLightMatrices();
    if (shadowProgram != nullptr && shadowProgram->linked) {
        glUseProgram(shadowProgram->programId);
        shadowMapLocation =
            glGetUniformLocation(shadowProgram->programId, ("shadowMap" + std::to_string(index)).c_str());
        glUseProgram(0);
    }
}

void LightSource::createShadowTarget()
{
    // A target made again replaces the old one, which nothing else holds: the old names are released
    // once the new ones exist (so the new ones differ), and the new texture holds no pass yet.
    const GLuint oldTexture = depthTexture;
    const GLuint oldFramebuffer = framebuffer;
    framebuffer = 0;
    drawnPass.reset();
    const int size = shadowMapSize();
    glGenTextures(1, &depthTexture);
    glBindTexture(GL_TEXTURE_2D, depthTexture);
    if (framebufferObjectsAvailable()) {
        glGenFramebuffersEXT(1, &framebuffer);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, size, size, 0, GL_DEPTH_COMPONENT,
                     GL_UNSIGNED_BYTE, nullptr);
    } else {
        // No pass can render into this texture: fill it with the far depth so that every lookup sees
        // an unshadowed fragment.
        const std::vector<GLubyte> far(static_cast<std::size_t>(size) * size, 0xFF);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, size, size, 0, GL_DEPTH_COMPONENT,
                     GL_UNSIGNED_BYTE, far.data());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_BORDER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_BORDER);
    // Lookups outside the light's view see the far depth 1.0, i.e. no shadow.
    const GLfloat border[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, border);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_INTENSITY);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (oldTexture != noDepthTexture) {
        deleteTextures(1, &oldTexture);
    }
    if (oldFramebuffer != 0) {
        glDeleteFramebuffersEXT(1, &oldFramebuffer);
    }
}

void LightSource::composeLightMatrices(float fieldOfView, Vector3f target)
{
    const float nearDistance = position.g > 0.0f ? position.g : 1.0f; // g holds y
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(fieldOfView, 1.0, nearDistance, lightFarDistance);
    lightProjection = readModelview();
    glLoadIdentity();
    gluLookAt(position.r, position.g, position.b, target.x, target.y, target.z, 0.0, 0.0, 1.0);
    lightView = readModelview();
    glPopMatrix();
    lightFrustum.setLens(fieldOfView, 1.0f, nearDistance, lightFarDistance);
    lightFrustum.setPose({position.r, position.g, position.b}, target, {0.0f, 0.0f, 1.0f});
}

void LightSource::computeCameraMatrices(const Camera& viewer)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(viewer.fieldOfView, viewer.aspect, viewer.nearPlane, viewer.farPlane);
    cameraProjection = readModelview();
    glLoadIdentity();
    gluLookAt(viewer.eye.x, viewer.eye.y, viewer.eye.z, viewer.target.x, viewer.target.y, viewer.target.z,
              viewer.up.x, viewer.up.y, viewer.up.z);
    cameraView = readModelview();
    glPopMatrix();
}

void LightSource::beginDepthPass(std::optional<TexelRect> only)
{
    // The colour texture's unit: enabling texturing on a depth texture's unit would let the fixed-function
    // drawing of the sky and HUD sample a shadow map.
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &callerFramebuffer);
    glGetIntegerv(GL_VIEWPORT, callerViewport);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, depthTexture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    checkFramebufferStatus();
    const int size = shadowMapSize();
    glViewport(0, 0, size, size);
    glShadeModel(GL_FLAT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    loadMatrix(GL_PROJECTION, lightProjection);
    loadMatrix(GL_MODELVIEW, lightView);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(0.5f, 1.0f);
    if (only) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(only->x, only->y, only->width, only->height);
    }
    glClear(GL_DEPTH_BUFFER_BIT);
    // Depth clamping keeps what stands above the light's near plane (the plane y = 0 for a light looking
    // straight down) in the map at depth 0 instead of clipping it away, so tall dice stacks cast their
    // whole shadow.
    clampsDepth = GLEW_ARB_depth_clamp || GLEW_VERSION_3_2;
    if (clampsDepth) {
        glEnable(GL_DEPTH_CLAMP);
    }
}

void LightSource::endDepthPass()
{
    glDisable(GL_SCISSOR_TEST);
    if (clampsDepth) {
        glDisable(GL_DEPTH_CLAMP);
    }
    glDisable(GL_POLYGON_OFFSET_FILL);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(callerFramebuffer));
    glViewport(callerViewport[0], callerViewport[1], callerViewport[2], callerViewport[3]);
    glShadeModel(GL_SMOOTH);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glActiveTexture(GL_TEXTURE0);
    glDisable(GL_TEXTURE_2D);
    // The record just drawn becomes the one to compare with; the old one's storage is refilled next.
    if (!drawnPass) {
        drawnPass.emplace();
    }
    std::swap(*drawnPass, pendingPass);
    std::swap(heldCasterBoxes, pendingCasterBoxes);
    ++depthPassesDrawn;
}

void LightSource::prepareCameraPass(const Camera& viewer)
{
    computeCameraMatrices(viewer);
    loadMatrix(GL_PROJECTION, cameraProjection);
    loadMatrix(GL_MODELVIEW, cameraView);
    // The viewport stays the caller's (the shadow pass gave it back): the window's in the game, an
    // off-screen frame's when a picture is written.
    glActiveTexture(GL_TEXTURE1 + shadowIndex);
    loadShadowTextureMatrix();
}

void LightSource::loadShadowTextureMatrix()
{
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(0.5f, 0.5f, 0.5f);
    glScalef(0.5f, 0.5f, 0.5f);
    glMultMatrixf(lightProjection.data());
    glMultMatrixf(lightView.data());
    // A singular view (never built by gluLookAt from distinct points) leaves the identity here.
    Matrix4f inverseView = Matrix4f::identity();
    invertMatrix(cameraView, inverseView);
    glMultMatrixf(inverseView.data());
    glMatrixMode(GL_MODELVIEW);
}

} // namespace libkub
