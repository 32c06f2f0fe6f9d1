#pragma once
// The scene's lists (drawn objects, pickable objects, lights, HUD elements) and the frame that draws them.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/render/FramePlan.h"
#include "engine/math/Matrix4f.h"
#include "engine/math/Ray.h"
#include "engine/render/SpotLightReach.h"

namespace libkub {

class Camera;
class DepthPassRecord;
class BoxColumns;
class DrawableObject;
class HiddenObjects;
class Frustum;
class HUDElement;
class InstancedBatches;
class LightSource;
class PassFragmentCounter;
class NearBeforeFar;
class SelectableObject;
class ShaderProgram;
class SkyBox;
class SpotLightSource;

// What the frame shows where no object is: the game's sky box, or the colour the frame is cleared to
// (kubora-view, which needs neither the sky's files nor its busy picture behind a model).
enum class Backdrop { SkyBox, ClearColour };

class SceneRenderer {
  public:
    explicit SceneRenderer(Camera* camera, Backdrop backdrop = Backdrop::SkyBox);
    ~SceneRenderer();
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    // Appends to the drawn objects, and to the pickable ones when the object is selectable.
    void addObject(DrawableObject* object);
    // Removes every occurrence from the drawn objects.
    void removeObject(DrawableObject* object);
    // Draws every object in list order, skipping those outside the view while culling is on.
    void drawObjects();
    // The objects, in list order, that can reach a depth texture seen through the light's frustum:
    // culled by the light's sides, whatever the camera sees. An object that draws more than its model
    // is never culled.
    void collectShadowCasters(const Frustum& lightView, std::vector<DrawableObject*>& casters) const;
    // Records what a depth pass of these casters would draw through the light's matrices into its
    // depth texture.
    void recordShadowPass(const LightSource& light, const std::vector<DrawableObject*>& casters,
                          DepthPassRecord& record) const;
    // Draws the casters into the bound depth target (the shadow passes), the copies of one mesh together,
    // nearest the light (seen through lightView) first when the plan says so. Given `reaches` (a pass
    // confined to some texels, ConfinedDepthRedraw.h), a caster whose box it says cannot reach them is
    // left out, and a column of copies only as a whole; every other caster is drawn along the same path
    // as without it (how copies are batched is decided over all the casters). Returns the casters left
    // out, the copies in columns counted one by one.
    std::size_t drawShadowCasters(const std::vector<DrawableObject*>& casters, const Matrix4f& lightView,
                                  const std::function<bool(const BoundingBox&)>& reaches = {});
    // The camera pass under the current program: the picture of drawObjects, with the copies of one
    // mesh drawn together in the vertex-buffer mode.
    void drawCameraPass();
    // The camera pass as the frame draws it once lights and matrices are set: under the shadow program,
    // with the spot light's share computed only where it can show (under no program when the shadow
    // program did not link). Leaves a program current.
    void drawLitCameraPass();
    // Numbers the light and prepares its shadow map. OpenGL numbers eight lights: a ninth and later
    // light is left out of the frame, with one line saying so.
    void addLight(LightSource* light);
    // One whole frame: shadow passes, camera pass, the sky behind what it drew, pick test, HUD.
    void render();
    // Makes the nearest selectable object hit by the pick ray in front of the eye the picked object
    // (kept when none is hit).
    void pickTest();

    std::vector<DrawableObject*> objects;
    std::vector<SelectableObject*> selectables;
    std::vector<LightSource*> lights;
    std::vector<HUDElement*> hudElements;
    std::unique_ptr<ShaderProgram> shadowProgram;
    Camera* camera = nullptr;
    std::unique_ptr<SkyBox> skyBox;
    Ray* pickRay = nullptr;
    SelectableObject* pickedObject = nullptr;
    // The shortcuts this frame takes (FramePlan.h); FramePlan::exact() for the plain frame they are held
    // to (for tests, and for kubora-view --exact).
    FramePlan plan;
    // What draws an exact frame's edge map (EdgeMap.h) instead of its picture. While it is set, an
    // exact frame draws its camera pass under this program, calls beforeObject before drawing each
    // object, and draws neither the sky nor the HUD. Null in the game; read only when the plan is exact.
    struct ExactFrameProbe {
        unsigned program = 0;
        std::function<void(const DrawableObject&)> beforeObject;
    };
    const ExactFrameProbe* probe = nullptr;
    // What counts the fragments each pass of a frame shades (PassFragmentCounter.h): the frame starts
    // the counter's frame and names its passes (each light's depth pass, the camera pass or its two
    // parts, the sky, the HUD); the caller ends the counter's frame to read them. Null in a normal
    // frame, which then makes no query.
    PassFragmentCounter* fragmentCounter = nullptr;
    // The copies of one mesh gathered for drawing together.
    const InstancedBatches& instancedBatches() const { return *instanced; }
    // Whether a light may keep its depth texture when its pass would draw the same again.
    bool reusesDepthTextures() const { return plan.reuseDepthTextures; }
    // Where the last camera pass computed the spot light's share: the whole window, a rectangle of it
    // (with the objects shaded there again), or nowhere.
    struct SpotShading {
        enum Where { Everywhere, Rectangle, Nowhere } where = Everywhere;
        WindowRect rect;
        std::size_t objects = 0;
    } spotShading;
    // How many copies the last camera pass drew in columns, and in how many columns (both reset at the
    // start of every frame).
    struct ColumnShading {
        std::size_t columns = 0;
        std::size_t copies = 0;
    } columnShading;
    // How many shown objects the last camera pass left out as hidden (HiddenObjects.h).
    std::size_t hiddenObjects = 0;

  private:
    // Start and end a pass of the fragment counter, when there is one.
    void beginCounting(std::string_view pass);
    void endCounting(bool drew = true);
    // Whether the object may be drawn as an instance in this pass.
    bool batches(const DrawableObject& object) const;
    // Whether the program has the instance attributes bound (the shadow program and its spotless variant).
    bool drawsInstancesUnder(unsigned program) const;
    // Whether this frame's passes draw what stands nearest first (NearBeforeFar.h).
    bool nearFirstThisFrame() const;
    // Whether copies resting on one another are drawn as columns in this frame's passes.
    bool stacksColumns() const;
    // The program's variant for columns of copies (0 when the program has none or columns are off now).
    unsigned columnVariantOf(unsigned program) const;
    // The objects the camera pass draws, in list order: all, or those in view while culling is on (an
    // object that draws more than its model is always drawn: what it draws has no bounds to test).
    void collectShown(std::vector<DrawableObject*>& shown) const;
    // The modelview matrix of every shown object: the view times its placement, computed once a frame.
    void placeShown(const Matrix4f& view);
    // Draws the objects, each under its modelview matrix, under `program` (current), the copies of one
    // mesh together when the program draws instances, nearest the eye first when the plan says so.
    void drawShaded(const std::vector<DrawableObject*>& list, const std::vector<Matrix4f>& modelviews,
                    unsigned program);
    // The view the camera pass draws through: the lights' camera view in a frame, else GL's (read once).
    Matrix4f loadedView() const;
    // The projection likewise.
    Matrix4f loadedProjection() const;
    // The viewport of the camera pass, read from GL once a frame when first asked.
    const int (&frameViewport())[4];
    // The camera pass under the shadow program, with the spot light's share computed only in the window
    // rectangle where it can change a pixel and the spotless variant everywhere else.
    void drawCameraPassWithSpotWhereItShows(unsigned program, const Matrix4f& view);
    // Where the spot light's share can show among this frame's shown objects; for a rectangle, also
    // gathers the objects in its reach. Everywhere when any shown object draws more than its model.
    SpotShading spotReachInView(const SpotLightSource& spot, const Matrix4f& view, const int (&viewport)[4]);

    std::unique_ptr<InstancedBatches> instanced;
    std::unique_ptr<BoxColumns> columns;
    std::unique_ptr<NearBeforeFar> nearFirst;
    std::unique_ptr<HiddenObjects> hidden;
    // The shadow program without the spot light's share (0 when it did not build).
    unsigned spotlessProgram = 0;
    // The shadow program and its spotless variant built for columns (BOX_COLUMNS; 0 when not built).
    unsigned columnProgram = 0;
    unsigned spotlessColumnProgram = 0;
    // Each frame's lists, kept so that their storage is reused.
    std::vector<DrawableObject*> shown;
    std::vector<Matrix4f> shownModelviews;
    std::vector<std::uint32_t> alone;
    std::vector<std::uint32_t> unstackedIndices;
    std::vector<DrawableObject*> unstacked;
    std::vector<std::uint32_t> casterOrder;
    std::vector<DrawableObject*> spotLit;
    std::vector<Matrix4f> spotLitModelviews;
    // The camera view and projection of the frame being drawn (set by render, from the lights when
    // there are any), so that the camera pass reads neither back from GL.
    std::optional<Matrix4f> frameView;
    std::optional<Matrix4f> frameProjection;
    int cameraViewport[4] = {0, 0, 0, 0};
    bool viewportRead = false;
    std::vector<BoundingBox> shownBounds;
    // Copies per vertex buffer among a depth pass's instanceable casters (a handful of meshes).
    std::vector<std::pair<unsigned, std::size_t>> meshCopies;
};

} // namespace libkub
