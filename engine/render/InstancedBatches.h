#pragma once
// Many copies of one mesh drawn as what they are: models that share a vertex buffer, texture and
// material and differ only in translation and scale are gathered per pass and drawn with one
// instanced call, their state set once. Vertex-buffer mode only; the other modes keep drawing each
// object through its own immediate calls or list.
#include <cstdint>
#include <vector>

#include "engine/resources/Material.h"
#include "engine/math/Vector3f.h"
#include "engine/render/NearBeforeFar.h"

namespace libkub {

class Model;
struct Matrix4f;

// Attribute locations of an instance's place and size, bound in every program that draws instances
// (high enough to stay clear of the locations the built-in attributes alias).
inline constexpr int instancePlaceLocation = 6;
inline constexpr int instanceSizeLocation = 7;
// The four columns of an instance's modelview matrix in the camera pass (clear of the texture
// coordinate sets the game uses), named instanceModelview0 to instanceModelview3.
inline constexpr int instanceModelviewLocation = 12;

class InstancedBatches {
  public:
    InstancedBatches();
    ~InstancedBatches();
    InstancedBatches(const InstancedBatches&) = delete;
    InstancedBatches& operator=(const InstancedBatches&) = delete;

    // True when the driver offers instanced drawing and the depth program built.
    bool available() const { return depthProgram != 0; }
    // True when the model can be drawn as an instance: a vertex buffer, no rotation, flat normals (an
    // instance's normal comes out a last bit off a plain draw's, which near a smooth mesh's shadow line
    // can turn a face from the light or towards it).
    static bool batchable(const Model& model);
    // Adds the model to the batch of its mesh, texture and material (in the order added). With a
    // modelview matrix (the camera pass), the instance takes that matrix: the one the plain draw of the
    // model loads (Model::drawPlaced), so that the camera pass places its vertices, and so its shadow
    // lookups, to the last bit as a plain draw does. Without (the depth passes), only its place and
    // size go to the buffer, all the depth program reads. The adds of one pass are all of one kind.
    void add(const Model& model, const Matrix4f* modelview = nullptr);
    // Draws every batch under the current program, whose attributes instancePlace and instanceSize
    // are bound at the locations above, then empties the batches. The materials are set as
    // Model::draw sets them. With nearFirst (NearBeforeFar.h), each batch's copies of a closed mesh are
    // drawn nearest the eye first, and the batches of one closed mesh added one after the other in the
    // order of their nearest copies (where all those copies stand apart), so that the depth test turns away
    // the hidden fragments of those behind before they are shaded; else the copies and batches are drawn in
    // the order added. With cullBackFaces, the back faces of closed meshes (none of them mirrored) are not
    // drawn; culling is off afterwards.
    void drawShaded(Vector3f eye, bool cullBackFaces, bool nearFirst);
    // Draws every batch into the depth buffer only, under the batches' own depth program, then
    // empties them. No program is current afterwards.
    void drawDepth();
    // Ends a frame: a batch that no instance used in the last framesKept frames is released. A tile's
    // colour comes back from a selection only up to float rounding, so each click can make a batch
    // of a colour that never comes again.
    void endFrame();
    // The batches kept, in use or not.
    std::size_t batchCount() const { return batches.size(); }

    static constexpr unsigned framesKept = 8;

  private:
    struct Batch {
        unsigned vertexBuffer = 0;
        unsigned vertexCount = 0;
        unsigned texture = 0;
        Material material;
        bool closed = false; // the mesh's back faces never show
        Vector3f meshMin;    // the mesh's corners in its own coordinates (min > max for no geometry)
        Vector3f meshMax;
        bool mirrored = false; // a copy in this pass is scaled to its mirror image, which turns its faces
        std::vector<float> instances;  // per instance: x, y, z, 0 (an instance), size x, y, z[, modelview]
        std::size_t firstInstance = 0; // where its instances start in the uploaded buffer
        unsigned idleFrames = 0;       // frames ended since an instance last used it
    };
    // Sorts the copies of each batch of a closed mesh nearest the eye first, and the batches in use of
    // one closed mesh, added one after the other, by their nearest copies, where all their copies stand
    // apart.
    void sortNearestFirst(Vector3f eye);
    // Sorts the batch's copies nearest the eye first; returns the nearest one's squared distance.
    float sortCopies(Batch& batch, Vector3f eye);
    // Appends the drawn box of each of the batch's copies to copyBoxes.
    void appendCopyBoxes(const Batch& batch);
    // Puts the instances of the batches in use into the instance buffer, one after the other.
    void upload();
    // Empties the batches in use; they stay, with their storage, for the next pass.
    void empty();
    void drawBatch(const Batch& batch, int placeLocation, int sizeLocation);

    // The batches used in the last frames (a handful: one per mesh, texture and material), kept with
    // their storage so that no pass allocates; `inUse` lists those with instances in this pass, in the
    // order added.
    std::vector<Batch> batches;
    std::vector<std::size_t> inUse;
    std::vector<float> staging;
    std::vector<DistanceKey> order;      // distance and index, for sorting one batch
    std::vector<DistanceKey> batchOrder; // nearest copy and place in `inUse`, for sorting the batches
    std::vector<std::size_t> added;      // `inUse` as added, while it is sorted
    std::vector<BoundingBox> copyBoxes;  // one batch's copies, for the check that they stand apart
    ApartCheck apart;
    std::vector<float> sorted;
    std::size_t instanceFloats = 7; // per instance in this pass: 7, or 23 with the modelview matrix
    unsigned instanceBuffer = 0;
    unsigned depthProgram = 0;
};

} // namespace libkub
