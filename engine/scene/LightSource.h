#pragma once
// A shadow-casting light: the GL light state the shadow program reads, plus a depth texture rendered
// from the light's point of view and the texture matrix that looks fragments up in it. The texture is
// drawn again only when the light or what it sees changed.
#include <GL/glew.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/math/BoundingBox.h"
#include "engine/math/Color4f.h"
#include "engine/scene/DepthPassRecord.h"
#include "engine/math/Frustum.h"
#include "engine/math/Matrix4f.h"
#include "engine/math/Vector3f.h"

namespace libkub {

class Camera;
class DrawableObject;
class ShaderProgram;

// The light number of a light the renderer could not number (a ninth and later light).
inline constexpr GLenum noLightNumber = 0;
// The depth texture name of a light before its first createShadowTarget.
inline constexpr GLuint noDepthTexture = 0xFFFFFFFFu;

// A rectangle of texels of a depth texture, from its corner (x, y) up and to the right.
struct TexelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class LightSource {
  public:
    LightSource() = default;
    // Virtual, so that an owner may delete a light through this base. The GL texture and framebuffer
    // live as long as the context.
    virtual ~LightSource() = default;
    LightSource(const LightSource&) = delete;
    LightSource& operator=(const LightSource&) = delete;

    // Kind code: 1 point light, 2 spot light.
    virtual int type() const = 0;
    // Edge length in texels of the square depth texture.
    virtual int shadowMapSize() const = 0;
    // Rebuilds the light projection and light view from the position.
    virtual void computeLightMatrices() = 0;

    // One-time preparation: shadow target, matrices and the location of the sampler "shadowMap<index>".
    void setupShadowMap(ShaderProgram* program, int index, Camera* sceneCamera);
    // A framebuffer object and the depth texture it renders into, both new: the old ones, if any, are
    // deleted, and the next shadow pass is drawn whatever it draws.
    void createShadowTarget();
    // Copies the camera's projection and view, composed by GLU on the modelview stack.
    void computeCameraMatrices(const Camera& viewer);
    // Whether a depth pass can draw into the texture: without framebuffer objects the texture keeps
    // the far depth, and the light throws no shadow.
    bool drawsDepth() const { return framebuffer != 0; }
    // The record of the depth pass about to be drawn, for the frame's render code to fill.
    DepthPassRecord& pendingDepthPass() { return pendingPass; }
    // Whether the depth texture already holds exactly the pending pass (an equal DepthPassRecord).
    bool holdsPendingDepthPass() const { return drawnPass && pendingPass == *drawnPass; }
    // The record of the pass the depth texture holds; null while it holds none.
    const DepthPassRecord* heldDepthPass() const { return drawnPass ? &*drawnPass : nullptr; }
    // Makes the depth texture the target, through the light's matrices, of the depth pass the frame's
    // render code draws next (engine/render/DepthPass.h), and clears it: all of it, or only `only`, to
    // which the pass is then confined (scissored) until endDepthPass. The framebuffer and viewport found
    // bound are kept for endDepthPass.
    void beginDepthPass(std::optional<TexelRect> only = std::nullopt);
    // Binds again the framebuffer and viewport that beginDepthPass found (the window's, or an off-screen
    // frame's of any size), and takes the pending record as what the texture now holds.
    void endDepthPass();
    // Loads the camera matrices and, on texture unit 1 + shadowIndex, the shadow texture matrix. The
    // viewport is left as the caller set it.
    void prepareCameraPass(const Camera& viewer);
    // Texture matrix of the active unit := bias * light projection * light view * camera view^-1.
    void loadShadowTextureMatrix();

    Color4f position{-0.3f, -0.4f, 1.0f, 1.0f};
    Color4f ambient{0.0f, 0.0f, 0.0f, 0.0f};
    Color4f diffuse{1.0f, 1.0f, 1.0f, 1.0f};
    Color4f specular{1.0f, 1.0f, 1.0f, 1.0f};
    GLenum lightNumber = noLightNumber; // GL_LIGHT0 + index, given by SceneRenderer::addLight
    GLuint depthTexture = noDepthTexture;
    GLint shadowMapLocation = -1;
    GLuint framebuffer = 0;
    ShaderProgram* shadowProgram = nullptr; // owned by the renderer
    Camera* camera = nullptr;               // the scene's camera, not owned
    Matrix4f lightProjection;
    Matrix4f lightView;
    Matrix4f cameraProjection;
    Matrix4f cameraView;
    int shadowIndex = 0;
    // The light's view as planes, rebuilt with the light matrices: the shadow pass draws only what
    // lies inside its sides, since nothing else can reach the depth texture.
    Frustum lightFrustum;
    // Depth passes drawn so far (the frames in which the texture was reused are not counted).
    std::uint64_t depthPassesDrawn = 0;

    // The casters of the last depth pass, filled by the frame's render code; kept to reuse the storage.
    std::vector<DrawableObject*> casters;
    // The box each caster was drawn in, in drawing order: of the pass about to be drawn (filled by the
    // frame's render code), and of the pass the texture holds (where an object stood before it moved).
    // endDepthPass makes the pending boxes the held ones, as it does with the records.
    std::vector<BoundingBox> pendingCasterBoxes;
    std::vector<BoundingBox> heldCasterBoxes;
    // How many of the casters its last depth pass left out, confined to the texels around what moved
    // (ConfinedDepthRedraw.h), copies in columns counted one by one; 0 when it drew none or all.
    std::size_t castersLeftOut = 0;

  private:
    // The framebuffer and viewport bound when the depth pass began, and whether it clamps depth.
    GLint callerFramebuffer = 0;
    GLint callerViewport[4] = {0, 0, 0, 0};
    bool clampsDepth = false;
    std::optional<DepthPassRecord> drawnPass; // what the depth texture holds
    DepthPassRecord pendingPass;

  protected:
    // Composes the light's perspective (near plane at the light's height, far 20) and its look-at.
    void composeLightMatrices(float fieldOfView, Vector3f target);
};

} // namespace libkub
